#pragma once

// Parses one received block. Every reader tests its room against the end of
// the buffer (not against the received length) and raises CIOException (code
// 0, named after the reader) without moving the position when it lacks room.
// The bytes behind the payload are zero, so a reader that runs past the
// payload sees zeros, never bytes of an earlier block.

#include "core/net/DataStream.h"
#include "core/net/PriceDelta.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace mvr {

class CDataInputStream : public CDataStream {
public:
    ~CDataInputStream() override = default;

    std::uint8_t readByte();
    bool readBool(); // true exactly when the byte is 1
    std::uint16_t readShort();
    std::int32_t readLong();
    std::int64_t readLong64();
    std::uint32_t readLongCompress();
    std::int32_t readLongSigned();
    float readFloat();
    double readDouble();
    // A zero-terminated text into a buffer of `size` bytes (text and
    // terminator must fit); returns the text length.
    std::size_t readString(char* dest, std::size_t size);
    // The same rules for a field whose buffer would be `size` bytes.
    std::string readString(std::size_t size);
    void readBlob(void* dest, std::int32_t count);
    // Volumes beyond 32 bits are capped at the largest 32-bit value.
    std::int32_t readVolume();
    Tick readTick();
    // Moves `running` on by one delta-coded bar (prices rounded to d decimals).
    void readCompress(DeltaBar& running, int decimals);

    // Turns the received header into the block length (kept as a native number
    // in bytes 0..3); raises when it announces more than the buffer holds.
    // True when the block carries payload; empty blocks and the negative
    // status markers give false.
    bool readSize();
    // The same for a price block: byte 0 is the number of decimals, bytes 1..3
    // the unsigned payload length.
    bool readSizeNK(int& decimals);

    // The length word of the last block header: payload bytes, 0, or a
    // negative status marker.
    std::int32_t BlockLength() const;
    // The position is still inside the payload of the block.
    bool HasMore() const { return position_ < BlockLength() + kHeaderSize; }

private:
    void RequireRoom(std::int32_t bytes, const char* operation) const;
    std::uint8_t At(std::int32_t offset) const {
        return buffer_[static_cast<std::size_t>(position_ + offset)];
    }
    std::uint64_t BigEndianAt(std::int32_t offset, int bytes) const;
    std::int32_t VolumeAt(std::int32_t offset, int& length) const;
    std::int32_t TakeString(std::size_t size);
    bool AcceptLength(std::int32_t length, const char* operation);
};

} // namespace mvr
