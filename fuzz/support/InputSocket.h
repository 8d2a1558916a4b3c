#pragma once

// A connection whose receives replay the fuzzer's bytes and whose sends are
// kept (or dropped). Running out of bytes fails like a peer that closed, as
// CWinSocket reports it, so a reader meets the end of input exactly as it
// meets a broken connection.

#include "core/net/SocketError.h"
#include "core/net/WinSocket.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

namespace mvr::fuzz {

class CInputSocket : public CWinSocket {
public:
    explicit CInputSocket(std::span<const std::uint8_t> input, bool keepSent = false)
        : input_(input), keepSent_(keepSent) {}

    using CWinSocket::Receive;
    bool Receive(void* buffer, int length, int* received, int = 0) override {
        const std::size_t count =
            std::min(static_cast<std::size_t>(std::max(length, 0)), input_.size() - read_);
        if (count != 0) {
            std::memcpy(buffer, input_.data() + read_, count);
        }
        read_ += count;
        if (received != nullptr) {
            *received = static_cast<int>(count);
        }
        if (count < static_cast<std::size_t>(std::max(length, 0))) {
            SetError(kSockErrConnectionAborted);
            return false;
        }
        return true;
    }

    bool Send(const void* buffer, int length, int = 0) override {
        if (keepSent_ && length > 0) {
            const auto* bytes = static_cast<const std::uint8_t*>(buffer);
            sent_.insert(sent_.end(), bytes, bytes + length);
        }
        return true;
    }

    const std::vector<std::uint8_t>& Sent() const { return sent_; }

private:
    std::span<const std::uint8_t> input_;
    std::size_t read_ = 0;
    bool keepSent_;
    std::vector<std::uint8_t> sent_;
};

} // namespace mvr::fuzz
