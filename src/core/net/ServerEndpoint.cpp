#include "core/net/ServerEndpoint.h"

#include <mutex>
#include <utility>

namespace mvr {

namespace {

std::mutex gMutex;
ServerEndpoint gEndpoint{PrimaryServerHost(), kDefaultServerPort};

} // namespace

const char* PrimaryServerHost() {
    return MVR_PRIMARY_SERVER_HOST;
}

ServerEndpoint GetServerEndpoint() {
    std::lock_guard lock(gMutex);
    return gEndpoint;
}

void SetServerEndpoint(ServerEndpoint endpoint) {
    std::lock_guard lock(gMutex);
    gEndpoint = std::move(endpoint);
}

CScopedServerEndpoint::CScopedServerEndpoint(ServerEndpoint endpoint) {
    std::lock_guard lock(gMutex);
    previous_ = std::exchange(gEndpoint, std::move(endpoint));
}

CScopedServerEndpoint::~CScopedServerEndpoint() {
    SetServerEndpoint(std::move(previous_));
}

} // namespace mvr
