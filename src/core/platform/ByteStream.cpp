#include "core/platform/ByteStream.h"

#include <algorithm>

namespace mvr {

bool CByteReader::ReadBytes(std::span<std::uint8_t> out) {
    const auto source = Take(out.size());
    if (source.size() != out.size()) {
        return false;
    }
    std::copy(source.begin(), source.end(), out.begin());
    return true;
}

bool CByteReader::ReadU8(std::uint8_t* value) {
    const auto source = Take(1);
    if (source.empty()) {
        return false;
    }
    *value = source[0];
    return true;
}

bool CByteReader::ReadLE32(std::uint32_t* value) {
    const auto source = Take(4);
    if (source.size() != 4) {
        return false;
    }
    *value = LoadLE32(source.data());
    return true;
}

bool CByteReader::ReadLEInt32(std::int32_t* value) {
    std::uint32_t raw = 0;
    if (!ReadLE32(&raw)) {
        return false;
    }
    *value = static_cast<std::int32_t>(raw);
    return true;
}

bool CByteReader::ReadLE64(std::uint64_t* value) {
    const auto source = Take(8);
    if (source.size() != 8) {
        return false;
    }
    *value = LoadLE64(source.data());
    return true;
}

bool CByteReader::ReadFixedText(std::size_t size, std::string* text) {
    const auto source = Take(size);
    if (source.size() != size) {
        return false;
    }
    *text = LoadFixedText(source.data(), size);
    return true;
}

bool CByteReader::Skip(std::size_t count) {
    return Take(count).size() == count;
}

std::span<const std::uint8_t> CByteReader::Take(std::size_t count) {
    if (count > Remaining()) {
        return {};
    }
    const auto view = bytes_.subspan(position_, count);
    position_ += count;
    return view;
}

void CByteWriter::AppendBytes(std::span<const std::uint8_t> bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
}

void CByteWriter::AppendLE16(std::uint16_t value) {
    StoreLE16(AppendZeros(2), value);
}

void CByteWriter::AppendLE32(std::uint32_t value) {
    StoreLE32(AppendZeros(4), value);
}

void CByteWriter::AppendLE64(std::uint64_t value) {
    StoreLE64(AppendZeros(8), value);
}

void CByteWriter::AppendFixedText(std::size_t size, std::string_view text) {
    StoreFixedText(AppendZeros(size), size, text);
}

std::uint8_t* CByteWriter::AppendZeros(std::size_t count) {
    const std::size_t start = bytes_.size();
    bytes_.resize(start + count, 0);
    return bytes_.data() + start;
}

} // namespace mvr
