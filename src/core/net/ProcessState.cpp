#include "core/net/ProcessState.h"

#include "core/net/RequestHeader.h"

#include <atomic>
#include <mutex>

namespace mvr {

namespace {

std::atomic<std::int32_t> gLoginNumber{0};
ReferenceTables gReferenceTables;
std::mutex gClientInfoMutex;
ClientInfo gClientInfo;

} // namespace

std::int32_t LoginNumber() {
    return gLoginNumber.load();
}

const ReferenceTables& LoginReferenceTables() {
    return gReferenceTables;
}

ClientInfo CurrentClientInfo() {
    std::lock_guard lock(gClientInfoMutex);
    return gClientInfo;
}

void StoreClientInfo(const ClientInfo& info) {
    std::lock_guard lock(gClientInfoMutex);
    gClientInfo = info;
}

CCatalogueTables& ProcessCatalogueTables() {
    static CCatalogueTables tables;
    return tables;
}

void SetLoginNumber(std::int32_t number) {
    gLoginNumber.store(number);
}

ReferenceTables& ReferenceTablesForLogin() {
    return gReferenceTables;
}

void ResetProcessStateForTesting() {
    gLoginNumber.store(0);
    gReferenceTables = ReferenceTables{};
    StoreClientInfo(ClientInfo{});
    ProcessCatalogueTables().Clear();
    SetProtocolVersion(kProtocolVersion);
}

} // namespace mvr
