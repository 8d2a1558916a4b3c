#include "core/net/DataInputStream.h"

#include "core/net/BigEndian.h"
#include "core/net/IOException.h"
#include "core/net/WireCodes.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

namespace mvr {

using namespace wire;

void CDataInputStream::RequireRoom(std::int32_t bytes, const char* operation) const {
    if (bytes < 0 || Room() < bytes) {
        throw CIOException(operation);
    }
}

std::uint64_t CDataInputStream::BigEndianAt(std::int32_t offset, int bytes) const {
    return LoadBigEndian(buffer_.data() + position_ + offset, bytes);
}

std::uint8_t CDataInputStream::readByte() {
    RequireRoom(1, "readByte");
    return buffer_[static_cast<std::size_t>(position_++)];
}

bool CDataInputStream::readBool() {
    RequireRoom(1, "readBool");
    return buffer_[static_cast<std::size_t>(position_++)] == 1;
}

std::uint16_t CDataInputStream::readShort() {
    RequireRoom(2, "readShort");
    const auto value = static_cast<std::uint16_t>(BigEndianAt(0, 2));
    position_ += 2;
    return value;
}

std::int32_t CDataInputStream::readLong() {
    RequireRoom(4, "readLong");
    const auto value = static_cast<std::int32_t>(BigEndianAt(0, 4));
    position_ += 4;
    return value;
}

std::int64_t CDataInputStream::readLong64() {
    RequireRoom(8, "readLong");
    const auto value = static_cast<std::int64_t>(BigEndianAt(0, 8));
    position_ += 8;
    return value;
}

std::uint32_t CDataInputStream::readLongCompress() {
    RequireRoom(kLongCompressRoom, "readLongCompress");
    const int following = At(0) >> 6;
    const auto value = static_cast<std::uint32_t>(((At(0) & 0x3Fu) << (8 * following)) |
                                                  BigEndianAt(1, following));
    position_ += 1 + following;
    return value;
}

std::int32_t CDataInputStream::readLongSigned() {
    RequireRoom(kLongSignedRoom, "readLongSigned");
    const int following = At(0) >> 6;
    const auto magnitude =
        static_cast<std::int32_t>(((At(0) & 0x1Fu) << (8 * following)) | BigEndianAt(1, following));
    const bool negative = (At(0) & kSignedNegativeBit) != 0;
    position_ += 1 + following;
    return negative ? -magnitude : magnitude;
}

float CDataInputStream::readFloat() {
    RequireRoom(4, "readFloat");
    if (At(0) == kZeroEscape) {
        ++position_;
        return 0.0f;
    }
    const auto bits = static_cast<std::uint32_t>(BigEndianAt(0, 4));
    position_ += 4;
    return std::bit_cast<float>(bits);
}

double CDataInputStream::readDouble() {
    RequireRoom(8, "readDouble");
    if (At(0) == kZeroEscape) {
        ++position_;
        return 0.0;
    }
    const std::uint64_t bits = BigEndianAt(0, 8);
    position_ += 8;
    return std::bit_cast<double>(bits);
}

// Checks the text at the position against a buffer of `size` bytes and
// returns its length; the position then lies behind its terminator.
std::int32_t CDataInputStream::TakeString(std::size_t size) {
    if (Room() < 1) {
        throw CIOException("readString(char) memchr");
    }
    const std::uint8_t* start = buffer_.data() + position_;
    const void* zero = std::memchr(start, 0, static_cast<std::size_t>(Room()));
    if (zero == nullptr) {
        throw CIOException("readString(char) memchr");
    }
    const auto length = static_cast<std::int32_t>(static_cast<const std::uint8_t*>(zero) - start);
    if (static_cast<std::size_t>(length) >= size) {
        throw CIOException("readString(char) len");
    }
    position_ += length + 1;
    return length;
}

std::size_t CDataInputStream::readString(char* dest, std::size_t size) {
    const std::int32_t start = position_;
    const std::int32_t length = TakeString(size);
    std::memcpy(dest, buffer_.data() + start, static_cast<std::size_t>(length) + 1);
    return static_cast<std::size_t>(length);
}

std::string CDataInputStream::readString(std::size_t size) {
    const std::int32_t start = position_;
    const std::int32_t length = TakeString(size);
    return std::string(reinterpret_cast<const char*>(buffer_.data() + start),
                       static_cast<std::size_t>(length));
}

void CDataInputStream::readBlob(void* dest, std::int32_t count) {
    RequireRoom(count, "readBlob");
    if (count > 0) {
        std::memcpy(dest, buffer_.data() + position_, static_cast<std::size_t>(count));
        position_ += count;
    }
}

std::int32_t CDataInputStream::VolumeAt(std::int32_t offset, int& length) const {
    const std::uint8_t first = At(offset);
    std::int64_t value;
    bool hundreds;
    if (first < 0x80) {
        value = first & kVolume1Mask;
        hundreds = (first & kVolume1Hundreds) != 0;
        length = 1;
    } else if (first < 0xC0) {
        const auto word = static_cast<std::uint32_t>(BigEndianAt(offset, 2));
        value = word & kVolume2Mask;
        hundreds = (word & kVolume2Hundreds) != 0;
        if (value < kVolume2NegativeBelow) {
            value = -value;
        }
        length = 2;
    } else if (first < 0xE0) {
        const auto word = static_cast<std::uint32_t>(BigEndianAt(offset, 3));
        value = word & kVolume3Mask;
        hundreds = (word & kVolume3Hundreds) != 0;
        length = 3;
    } else {
        const auto word = static_cast<std::uint32_t>(BigEndianAt(offset, 4));
        value = word & kVolume4Mask;
        hundreds = (word & kVolume4Hundreds) != 0;
        length = 4;
    }
    if (hundreds) {
        value *= 100;
    }
    return static_cast<std::int32_t>(
        std::min<std::int64_t>(value, std::numeric_limits<std::int32_t>::max()));
}

std::int32_t CDataInputStream::readVolume() {
    RequireRoom(kVolumeRoom, "readVolume");
    int length = 0;
    const std::int32_t volume = VolumeAt(0, length);
    position_ += length;
    return volume;
}

Tick CDataInputStream::readTick() {
    RequireRoom(kTickRoom, "readTick");
    if (At(0) == kEmptyTick) {
        ++position_;
        return {};
    }
    // The code can be longer than the room tested up front: each further part
    // is checked before it is read.
    Tick tick;
    int offset = 0;
    tick.volume = VolumeAt(0, offset);
    RequireRoom(offset + 6, "readTick");
    auto price = static_cast<std::uint32_t>(BigEndianAt(offset, 4));
    const bool extended = (price & kTickExtensionFlag) != 0;
    price &= ~kTickExtensionFlag;
    const std::uint32_t x = At(offset + 4);
    const std::uint32_t y = At(offset + 5);
    offset += 6;
    if (extended && (x & 0x80) != 0) {
        RequireRoom(offset + 1, "readTick");
        tick.tickNumber = static_cast<std::int32_t>(((x & 0x7F) << 16) | (y << 8) | At(offset));
        ++offset;
    } else {
        tick.tickNumber = static_cast<std::int32_t>((x << 8) | y);
        if (extended) {
            tick.tickNumber += static_cast<std::int32_t>(kTickExtensionAdd);
        }
    }
    tick.price = std::bit_cast<float>(price);
    position_ += offset;
    return tick;
}

void CDataInputStream::readCompress(DeltaBar& running, int decimals) {
    RequireRoom(kCompressRoom, "readCompress");
    // 24 bytes of room cover the longest bar, so none of these can fail.
    running.date =
        static_cast<std::int32_t>(static_cast<std::uint32_t>(running.date) + readLongCompress());
    running.p1 = applyPriceDelta(running.p1, readLongSigned(), decimals);
    running.p2 = applyPriceDelta(running.p2, readLongSigned(), decimals);
    running.p3 = applyPriceDelta(running.p3, readLongSigned(), decimals);
    running.p4 = applyPriceDelta(running.p4, readLongSigned(), decimals);
    running.volume = readLong();
}

std::int32_t CDataInputStream::BlockLength() const {
    std::int32_t length;
    std::memcpy(&length, buffer_.data(), sizeof length);
    return length;
}

bool CDataInputStream::AcceptLength(std::int32_t length, const char* operation) {
    std::memcpy(buffer_.data(), &length, sizeof length);
    if (length > kMaxPayload) {
        throw CIOException(operation);
    }
    return length > 0;
}

bool CDataInputStream::readSize() {
    return AcceptLength(static_cast<std::int32_t>(LoadBigEndian(buffer_.data(), 4)), "readSize");
}

bool CDataInputStream::readSizeNK(int& decimals) {
    decimals = buffer_[0];
    return AcceptLength(static_cast<std::int32_t>(LoadBigEndian(buffer_.data() + 1, 3)),
                        "readSizeNK");
}

} // namespace mvr
