#pragma once

// The process-wide address of the price server: read from the configuration
// before any connection, replaced by the login functions when the port is 0.

#include <string>

namespace mvr {

struct ServerEndpoint {
    std::string name;
    int port = 0;
};

// Default host when the configuration names none (a deployment value).
const char* PrimaryServerHost();
inline constexpr int kDefaultServerPort = 443;
// The port used with the primary host when the configured port is 0.
inline constexpr int kFallbackServerPort = 5000;

ServerEndpoint GetServerEndpoint();
void SetServerEndpoint(ServerEndpoint endpoint);

} // namespace mvr
