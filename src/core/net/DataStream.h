#pragma once

// The block buffer shared by both stream directions. A block is a 4-byte
// length header followed by at most 4092 bytes of big-endian primitives; the
// buffer is a fixed inline array and never grows.

#include <array>
#include <cstdint>

namespace mvr {

// One value of the tick code: a non-negative price, a tick number and a volume.
struct Tick {
    float price = 0.0f;
    std::int32_t tickNumber = 0;
    std::int32_t volume = 0;

    bool operator==(const Tick&) const = default;
};

class CDataStream {
public:
    static constexpr std::int32_t kCapacity = 4096;
    static constexpr std::int32_t kHeaderSize = 4;
    static constexpr std::int32_t kMaxPayload = kCapacity - kHeaderSize;
    // Senders of long bodies end a block once the position reaches this mark,
    // so that the largest item still fits behind it.
    static constexpr std::int32_t kSendThreshold = 4000;

    CDataStream() { Reset(); }
    virtual ~CDataStream() = default;
    CDataStream(const CDataStream&) = delete;
    CDataStream& operator=(const CDataStream&) = delete;

    // Position 4 and a zeroed buffer: nothing of an earlier block survives, so
    // a reader can never return stale bytes of another block.
    void Reset();

    std::int32_t Position() const { return position_; }
    std::uint8_t* Buffer() { return buffer_.data(); }
    const std::uint8_t* Buffer() const { return buffer_.data(); }

protected:
    // Bytes between the position and the end of the buffer.
    std::int32_t Room() const { return kCapacity - position_; }

    std::array<std::uint8_t, kCapacity> buffer_;
    std::int32_t position_ = kHeaderSize;
};

} // namespace mvr
