#pragma once

// A socket without a network for tests of the request handlers: receives
// come from bytes the test prepared, sends are collected. Running out of
// prepared bytes fails like a peer that closed.

#include "core/net/SocketError.h"
#include "core/net/WinSocket.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace mvr::test {

class MemorySocket : public CWinSocket {
public:
    explicit MemorySocket(std::vector<std::uint8_t> input = {}) : input_(std::move(input)) {}

    using CWinSocket::Receive;
    bool Receive(void* buffer, int length, int* received, int = 0) override {
        const auto available = static_cast<int>(input_.size() - read_);
        const int count = std::min(length, available);
        std::memcpy(buffer, input_.data() + read_, static_cast<std::size_t>(count));
        read_ += static_cast<std::size_t>(count);
        if (received != nullptr) {
            *received = count;
        }
        if (count < length) {
            SetError(kSockErrConnectionAborted);
            return false;
        }
        return true;
    }

    bool Send(const void* buffer, int length, int = 0) override {
        const auto* bytes = static_cast<const std::uint8_t*>(buffer);
        output_.insert(output_.end(), bytes, bytes + length);
        return true;
    }

    const std::vector<std::uint8_t>& Output() const { return output_; }
    bool InputConsumed() const { return read_ == input_.size(); }

private:
    std::vector<std::uint8_t> input_;
    std::size_t read_ = 0;
    std::vector<std::uint8_t> output_;
};

// Hex text ("00 0A ff") to bytes; blanks and line breaks are ignored.
inline std::vector<std::uint8_t> Hex(const char* text) {
    std::vector<std::uint8_t> bytes;
    int high = -1;
    for (const char* p = text; *p != '\0'; ++p) {
        const char c = *p;
        int nibble = -1;
        if (c >= '0' && c <= '9') {
            nibble = c - '0';
        } else if (c >= 'a' && c <= 'f') {
            nibble = c - 'a' + 10;
        } else if (c >= 'A' && c <= 'F') {
            nibble = c - 'A' + 10;
        }
        if (nibble < 0) {
            continue;
        }
        if (high < 0) {
            high = nibble;
        } else {
            bytes.push_back(static_cast<std::uint8_t>(high * 16 + nibble));
            high = -1;
        }
    }
    return bytes;
}

} // namespace mvr::test
