// The client's readers of the account answers on any bytes a server may
// send: the login (63) with its user record and reference sections, the
// account check (55) and the client information (43). The first byte picks
// the request, the rest is the answer stream from the go-ahead on. Each
// exchange must end with a result, never a crash, and what it keeps must fit
// the fields it came in.

#include "support/LoopbackPeer.h"
#include "support/RecordChecks.h"

#include "core/net/UserRequests.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace {

using mvr::fuzz::Require;
using mvr::fuzz::RequireFits;

void FuzzLogin(std::span<const std::uint8_t> answer) {
    const mvr::RunFlag run{1};
    mvr::ReferenceTables tables;
    mvr::LoginUser user;
    std::string message;
    std::int32_t result = -1;
    mvr::fuzz::ServeOneConnection(answer, [&] {
        result = mvr::ExchangeLogin("A", "P", tables, user, message, run);
    });
    // A success needs the user record; a failure is 0, never a code.
    Require(result >= 0);
    Require(result == 0 || user.received);
    RequireFits(message, mvr::kServerMessageSize);
    for (const auto& [number, type] : tables.securityTypes) {
        Require(type.number == number);
        RequireFits(type.name, mvr::kReferenceNameSize);
    }
    for (const auto& [number, exchange] : tables.exchanges) {
        Require(exchange.number == number);
        RequireFits(exchange.name, mvr::kReferenceNameSize);
    }
    for (const mvr::MVRSUCHART& kind : tables.searchKinds) {
        RequireFits(kind.name, mvr::kSearchKindNameSize);
    }
}

void FuzzCheckAccount(std::span<const std::uint8_t> answer) {
    const mvr::RunFlag run{1};
    std::int32_t result = 0;
    mvr::fuzz::ServeOneConnection(
        answer, [&] { result = mvr::CheckAccount("A", "P", run); });
    // The server was reached: whatever it sent is its own answer.
    Require(result != mvr::kCheckSocketsUnavailable);
}

void FuzzClientInfo(std::span<const std::uint8_t> answer) {
    const mvr::RunFlag run{1};
    mvr::ClientInfo info;
    info.message = "kept";
    int result = 0;
    mvr::fuzz::ServeOneConnection(answer, [&] {
        mvr::CWinSocket socket;
        result = mvr::GetClientInfo(socket, info, run);
    });
    Require(result >= -1 && result <= 1);
    // Only a complete answer replaces what the caller had.
    Require(result == 1 || info.message == "kept");
    RequireFits(info.message, mvr::kClientMessageSize);
    RequireFits(info.reservedText, mvr::kClientInfoTextSize);
    RequireFits(info.infoAddress, mvr::kClientInfoTextSize);
    RequireFits(info.linkCaption, mvr::kClientInfoTextSize);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::span<const std::uint8_t> answer(data + 1, size - 1);
    switch (data[0] % 3) {
    case 0:
        FuzzLogin(answer);
        break;
    case 1:
        FuzzCheckAccount(answer);
        break;
    default:
        FuzzClientInfo(answer);
        break;
    }
    return 0;
}
