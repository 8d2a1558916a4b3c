#include "server/RequestDispatcher.h"

#include "core/net/IOException.h"
#include "core/net/RunFlag.h"
#include "core/net/ServerRequest.h"
#include "core/platform/ExceptionText.h"

#include <chrono>

namespace mvr {

namespace {

// A zero before the go-ahead: clients must pass over any number of them.
constexpr std::uint8_t kGoAhead[] = {0, 1};
constexpr std::uint8_t kRefusal[] = {0, kStatusRequestRunning};

void SendStatus(CConnectionSocket& socket, const std::uint8_t (&status)[2]) {
    if (!socket.Send(status, sizeof status)) {
        throw CIOException("writeStatus", socket.Error());
    }
}

} // namespace

void CRequestDispatcher::Register(std::uint8_t code, std::uint8_t kind, HeaderNumber number,
                                  RequestHandler handler) {
    routes_[code] = Route{kind, number, std::move(handler)};
}

bool CRequestDispatcher::IsKnownNumber(HeaderNumber number, std::int32_t parameter) const {
    switch (number) {
    case HeaderNumber::None:
        return true;
    case HeaderNumber::LoginNumber:
        return data_.AccountByLoginNumber(parameter) != nullptr;
    case HeaderNumber::CheckNumber:
        return data_.AccountByCheckNumber(parameter) != nullptr;
    case HeaderNumber::LoginOrCheckNumber:
        return data_.AccountByLoginNumber(parameter) != nullptr ||
               data_.AccountByCheckNumber(parameter) != nullptr;
    }
    return false;
}

std::optional<std::string> CRequestDispatcher::Refusal(const RequestHeader& header) const {
    if (header.protocolVersion != kProtocolVersion) {
        return "unsupported-protocol-version";
    }
    const std::optional<Route>& route = routes_[header.code];
    if (!route) {
        return "unknown-request";
    }
    if (route->kind != header.kind) {
        return "wrong-request-kind";
    }
    if (!IsKnownNumber(route->number, header.parameter)) {
        return "unknown-account-number";
    }
    return std::nullopt;
}

std::string CRequestDispatcher::Answer(CClientRequest& connection, CConnectionSocket& socket,
                                       const RequestHeader& header) {
    if (const auto refusal = Refusal(header)) {
        socket.Close();
        return *refusal;
    }
    if (options_.faults.refuse) {
        SendStatus(socket, kRefusal);
        socket.CloseGracefully();
        return "refused";
    }
    SendStatus(socket, kGoAhead);
    CRequestContext request(connection, data_, header, options_.faults);
    routes_[header.code]->handler(request);
    socket.CloseGracefully();
    return request.Result();
}

void CRequestDispatcher::Serve(CConnectionSocket& socket, const PeerAddress& peer) {
    const auto start = std::chrono::steady_clock::now();
    RequestLogEntry entry;
    entry.peer = peer.address + ":" + std::to_string(peer.port);
    try {
        if (!socket.Begin()) {
            throw CIOException("Begin", socket.Error());
        }
        const RunFlag run{1};
        CClientRequest connection(socket, run);
        const RequestHeader header = connection.readRequestHeader();
        entry.code = header.code;
        entry.result = Answer(connection, socket, header);
    } catch (...) {
        // A CIOException, a malformed body, out of memory, a handler's own
        // fault: each ends this connection only.
        entry.result = "failed: " + CurrentExceptionText();
    }
    socket.Close();
    entry.bytesIn = socket.BytesReceived();
    entry.bytesOut = socket.BytesSent();
    entry.milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(
                             std::chrono::steady_clock::now() - start)
                             .count();
    log_.Write(entry);
}

} // namespace mvr
