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

// Points the process at another server for as long as it lives (a test's
// server), then puts back the endpoint it found, whatever was set between.
class CScopedServerEndpoint {
public:
    explicit CScopedServerEndpoint(ServerEndpoint endpoint);
    ~CScopedServerEndpoint();
    CScopedServerEndpoint(const CScopedServerEndpoint&) = delete;
    CScopedServerEndpoint& operator=(const CScopedServerEndpoint&) = delete;

private:
    ServerEndpoint previous_;
};

} // namespace mvr
