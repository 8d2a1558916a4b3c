#pragma once

// Sequential little-endian reading and writing of byte buffers, for files made
// of variable-length records. The reader never reads past its end: a field that
// is not completely there is reported as missing and consumes nothing.

#include "core/platform/Bytes.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace mvr {

class CByteReader {
public:
    explicit CByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::size_t Position() const { return position_; }
    std::size_t Remaining() const { return bytes_.size() - position_; }
    bool AtEnd() const { return position_ == bytes_.size(); }

    // Each returns false (and consumes nothing) when fewer bytes remain than needed.
    bool ReadBytes(std::span<std::uint8_t> out);
    bool ReadU8(std::uint8_t* value);
    bool ReadLE32(std::uint32_t* value);
    bool ReadLEInt32(std::int32_t* value);
    bool ReadLE64(std::uint64_t* value);
    bool ReadFixedText(std::size_t size, std::string* text);
    bool Skip(std::size_t count);
    // A view of the next `count` bytes, consumed; empty when they are not all there.
    std::span<const std::uint8_t> Take(std::size_t count);

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t position_ = 0;
};

class CByteWriter {
public:
    void AppendBytes(std::span<const std::uint8_t> bytes);
    void AppendLE16(std::uint16_t value);
    void AppendLE32(std::uint32_t value);
    void AppendLEInt32(std::int32_t value) { AppendLE32(static_cast<std::uint32_t>(value)); }
    void AppendLE64(std::uint64_t value);
    void AppendFixedText(std::size_t size, std::string_view text);
    // Room for `count` bytes at the end, zeroed; returns where they start.
    std::uint8_t* AppendZeros(std::size_t count);

    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
    std::vector<std::uint8_t> Release() { return std::move(bytes_); }

private:
    std::vector<std::uint8_t> bytes_;
};

} // namespace mvr
