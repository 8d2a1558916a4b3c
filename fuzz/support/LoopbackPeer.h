#pragma once

// The server's end of the client's requests. The client functions open
// their own socket to the configured server, so their answer readers are
// reached only over a connection: a listener on 127.0.0.1 takes the
// connection of each run, sends it the bytes of the run, ends its side and
// keeps what the client sent until the client closes. The process's server
// endpoint points at it from the first use on.

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace mvr::fuzz {

// Runs `client`, which must open exactly one connection to the server, with
// `answer` served on it; returns once the client has closed it, with the
// bytes the client sent (request header and body).
std::vector<std::uint8_t> ServeOneConnection(std::span<const std::uint8_t> answer,
                                             const std::function<void()>& client);

} // namespace mvr::fuzz
