#pragma once

// Serves one connection: reads the request header, checks it against the
// handler registered for its code (request kind, the account number it
// carries), gives the go-ahead and lets the handler answer. An unknown code,
// a wrong header, a malformed body or anything a handler throws (out of
// memory included) closes only this connection. Every request leaves one
// line in the log.

#include "core/net/WinSocket.h"
#include "server/ConnectionSocket.h"
#include "server/RequestContext.h"
#include "server/RequestLog.h"
#include "server/ServeOptions.h"
#include "server/ServerData.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace mvr {

// Which number the header parameter of a request must be.
enum class HeaderNumber {
    None,               // any (the account requests send 0)
    LoginNumber,        // the login number of a valid account
    CheckNumber,        // the account check result of a valid account
    LoginOrCheckNumber, // either (the catalogue contents serve both)
};

using RequestHandler = std::function<void(CRequestContext& request)>;

class CRequestDispatcher {
public:
    CRequestDispatcher(const CServerData& data, const ServeOptions& options, CRequestLog& log)
        : data_(data), options_(options), log_(log) {}

    // The handler of request `code`, sent with request objects of `kind`.
    void Register(std::uint8_t code, std::uint8_t kind, HeaderNumber number,
                  RequestHandler handler);

    // Serves the connection from its header to its close and logs it. Throws
    // only when even the log line cannot be made.
    void Serve(CConnectionSocket& socket, const PeerAddress& peer);

private:
    struct Route {
        std::uint8_t kind = 0;
        HeaderNumber number = HeaderNumber::None;
        RequestHandler handler;
    };

    // The reason to refuse the header, or nothing when it may be answered.
    std::optional<std::string> Refusal(const RequestHeader& header) const;
    bool IsKnownNumber(HeaderNumber number, std::int32_t parameter) const;
    std::string Answer(CClientRequest& connection, CConnectionSocket& socket,
                       const RequestHeader& header);

    const CServerData& data_;
    const ServeOptions& options_;
    CRequestLog& log_;
    std::array<std::optional<Route>, 256> routes_;
};

} // namespace mvr
