#include "core/net/ServerEndpoint.h"

#include <mutex>

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

} // namespace mvr
