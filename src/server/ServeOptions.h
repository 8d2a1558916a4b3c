#pragma once

// How mvr-priceserver serves: where it listens, how many connections it works
// on at once, how long a connection may take, and the faults it injects for
// tests of the client's failure handling.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace mvr {

struct FaultOptions {
    // Close the connection once this many bytes of the answer (the status
    // bytes of the handshake included) have been sent.
    std::optional<std::int64_t> closeAfterBytes;
    // Wait this long before each block (and each raw value) of the answer.
    std::chrono::milliseconds blockDelay{0};
    // Refuse every request with the status byte 2 ("request running").
    bool refuse = false;
    // End every answer section with this status marker (-1 or -2) instead of 0.
    std::int32_t sectionMarker = 0;

    bool operator==(const FaultOptions&) const = default;
};

struct ServeOptions {
    static constexpr int kDefaultConnections = 16;
    static constexpr int kMaxConnections = 1024;
    static constexpr std::chrono::milliseconds kDefaultIoTimeout{10000};
    static constexpr std::chrono::milliseconds kDefaultConnectionLimit{120000};

    std::string address = "127.0.0.1";
    int port = 5000; // 0: any free port (the chosen one is printed)
    // Connections worked on at once; further ones wait in the listen queue.
    int connections = kDefaultConnections;
    // Longest wait for one receive or send.
    std::chrono::milliseconds ioTimeout = kDefaultIoTimeout;
    // Longest time one connection may take from its acceptance on.
    std::chrono::milliseconds connectionLimit = kDefaultConnectionLimit;
    FaultOptions faults;
    // Serve no bars after this day number, as if the data ended there: a
    // later run without it then has new days to bring.
    std::optional<std::int32_t> dataUntilDay;

    bool operator==(const ServeOptions&) const = default;
};

} // namespace mvr
