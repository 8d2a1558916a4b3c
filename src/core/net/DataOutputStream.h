#pragma once

// Builds one block of big-endian primitives. Every writer checks its room
// first and raises CIOException (code 0, named after the writer) without
// writing anything when the block has too little left. The writers that only
// the server uses require the same room as their readers, so that anything
// written can be read back at the same position.

#include "core/net/DataStream.h"
#include "core/net/PriceDelta.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace mvr {

class CDataOutputStream : public CDataStream {
public:
    ~CDataOutputStream() override = default;

    void writeByte(std::uint8_t value);
    void writeShort(std::uint16_t value);
    void writeLong(std::int32_t value);
    // Signed compact code; magnitudes of 2^29 and more cannot be coded.
    void writeLongSigned(std::int32_t value);
    // The characters up to the first zero byte, if any, and a terminating zero.
    void writeString(std::string_view text);
    void writeBlob(const void* data, std::int32_t count);

    // Stores the payload length in bytes 0..3; false when the block is empty.
    bool writeSize();

    // --- writers of the server side -------------------------------------
    void writeBool(bool value);
    void writeLong64(std::int64_t value);
    // Unsigned compact code for 0 .. 2^30 - 1, in the shortest form.
    void writeLongCompress(std::uint32_t value);
    // 0.0 travels as the single escape byte 0x80. Values whose first byte
    // would be 0x80 (minus zero and the tiniest negative numbers) cannot
    // travel and are sent as 0.0.
    void writeFloat(float value);
    void writeDouble(double value);
    // Volume code in the shortest form: every value a receiver can decode.
    void writeVolume(std::int32_t volume);
    // Tick code; tick numbers must lie below 2^23.
    void writeTick(const Tick& tick);
    // Codes `next` relative to `running` with prices rounded to d decimals;
    // `running` then holds what the receiver rebuilds. Dates must not
    // decrease; a price step that needs more than 2^29 - 1 units is refused.
    void writeCompress(DeltaBar& running, const DeltaBar& next, int decimals);
    // The header of a price block: the decimals in byte 0, the payload length
    // as 24 bits behind it; false when the block is empty.
    bool writeSizeNK(std::uint8_t decimals);

    // The payload has reached the mark at which senders of long bodies end
    // the block.
    bool ShouldSend() const { return position_ >= kSendThreshold; }
    // Header and payload, ready for the wire once the size has been written.
    std::int32_t BlockSize() const { return position_; }

private:
    void RequireRoom(std::int32_t bytes, const char* operation) const;
    void Put8(std::uint8_t value) { buffer_[static_cast<std::size_t>(position_++)] = value; }
    void PutBigEndian(std::uint64_t value, int bytes);
};

} // namespace mvr
