#include "core/net/DataOutputStream.h"

#include "core/net/BigEndian.h"
#include "core/net/IOException.h"
#include "core/net/WireCodes.h"

#include <bit>
#include <cstring>
#include <limits>

namespace mvr {

namespace {

using namespace wire;

// The bits of one volume code, right-aligned, and its length; length 0 = none.
struct VolumeCode {
    std::uint32_t bits = 0;
    int bytes = 0;
};

VolumeCode OneByteVolume(std::uint32_t value, bool hundreds) {
    return {value | (hundreds ? kVolume1Hundreds : 0u), 1};
}
VolumeCode TwoByteVolume(std::uint32_t value, bool hundreds) {
    return {kVolume2Tag | value | (hundreds ? kVolume2Hundreds : 0u), 2};
}
VolumeCode ThreeByteVolume(std::uint32_t value, bool hundreds) {
    return {kVolume3Tag | value | (hundreds ? kVolume3Hundreds : 0u), 3};
}
VolumeCode FourByteVolume(std::uint32_t value, bool hundreds) {
    return {kVolume4Tag | value | (hundreds ? kVolume4Hundreds : 0u), 4};
}

// The shortest code that decodes to `volume`, or none with bytes == 0.
VolumeCode EncodeVolume(std::int32_t volume) {
    if (volume < 0) {
        const std::uint32_t m = 0u - static_cast<std::uint32_t>(volume);
        if (m < kVolume2NegativeBelow) {
            return TwoByteVolume(m, false);
        }
        if (m % 100 == 0 && m / 100 < kVolume2NegativeBelow) {
            return TwoByteVolume(m / 100, true);
        }
        return {};
    }
    const auto v = static_cast<std::uint32_t>(volume);
    const bool byHundreds = v % 100 == 0;
    const std::uint32_t h = v / 100;
    // A one-byte hundreds code of 0 would be the empty tick marker; 0 itself
    // is always sent plain.
    if (v <= kVolume1Mask) {
        return OneByteVolume(v, false);
    }
    if (byHundreds && h <= kVolume1Mask) {
        return OneByteVolume(h, true);
    }
    if (v <= kVolume2Mask) {
        return TwoByteVolume(v, false);
    }
    if (byHundreds && h <= kVolume2Mask) {
        return TwoByteVolume(h, true);
    }
    if (v <= kVolume3Mask) {
        return ThreeByteVolume(v, false);
    }
    if (byHundreds && h <= kVolume3Mask) {
        return ThreeByteVolume(h, true);
    }
    if (v <= kVolume4Mask) {
        return FourByteVolume(v, false);
    }
    if (byHundreds) {
        return FourByteVolume(h, true);
    }
    if (volume == std::numeric_limits<std::int32_t>::max()) {
        // Receivers cap volumes that overflow 32 bits; the smallest such code.
        return FourByteVolume(h + 1, true);
    }
    return {};
}

// Bytes of the signed compact code for a magnitude that fits.
int SignedCodeLength(std::uint32_t magnitude) {
    if (magnitude < 32) {
        return 1;
    }
    if (magnitude < 0x2000) {
        return 2;
    }
    if (magnitude < 0x200000) {
        return 3;
    }
    return 4;
}

int UnsignedCodeLength(std::uint32_t value) {
    if (value < (1u << 6)) {
        return 1;
    }
    if (value < (1u << 14)) {
        return 2;
    }
    if (value < (1u << 22)) {
        return 3;
    }
    return 4;
}

// Tick numbers up to 0xFFFF take two bytes; the extension flag in the price
// adds 0x10000 to two bytes or announces a third byte.
constexpr std::uint32_t kTwoByteTickMax = 0xFFFF;
constexpr std::uint32_t kExtendedTwoByteTickMax = kTickExtensionAdd + 0x7FFF;

} // namespace

void CDataOutputStream::RequireRoom(std::int32_t bytes, const char* operation) const {
    if (bytes < 0 || Room() < bytes) {
        throw CIOException(operation);
    }
}

void CDataOutputStream::PutBigEndian(std::uint64_t value, int bytes) {
    StoreBigEndian(buffer_.data() + position_, value, bytes);
    position_ += bytes;
}

void CDataOutputStream::writeByte(std::uint8_t value) {
    RequireRoom(1, "writeByte");
    Put8(value);
}

void CDataOutputStream::writeShort(std::uint16_t value) {
    RequireRoom(2, "writeShort");
    PutBigEndian(value, 2);
}

void CDataOutputStream::writeLong(std::int32_t value) {
    RequireRoom(4, "writeLong");
    PutBigEndian(static_cast<std::uint32_t>(value), 4);
}

void CDataOutputStream::writeLongSigned(std::int32_t value) {
    RequireRoom(kLongSignedRoom, "writeLongSigned");
    const std::uint32_t sign = value < 0 ? kSignedNegativeBit : 0u;
    const std::uint32_t magnitude =
        value < 0 ? 0u - static_cast<std::uint32_t>(value) : static_cast<std::uint32_t>(value);
    if (magnitude > kMaxSignedMagnitude) {
        // Would spill into the sign and length bits and decode as another value.
        throw CIOException("writeLongSigned");
    }
    const int length = SignedCodeLength(magnitude);
    const std::uint32_t first =
        (static_cast<std::uint32_t>(length - 1) << 6) | sign | (magnitude >> (8 * (length - 1)));
    Put8(static_cast<std::uint8_t>(first));
    PutBigEndian(magnitude, length - 1);
}

void CDataOutputStream::writeString(std::string_view text) {
    const std::size_t zero = text.find('\0');
    if (zero != std::string_view::npos) {
        text = text.substr(0, zero);
    }
    const auto length = static_cast<std::int64_t>(text.size());
    if (position_ >= kCapacity - length - 1) {
        throw CIOException("writeString(char)");
    }
    std::memcpy(buffer_.data() + position_, text.data(), text.size());
    position_ += static_cast<std::int32_t>(text.size());
    Put8(0);
}

void CDataOutputStream::writeBlob(const void* data, std::int32_t count) {
    RequireRoom(count, "writeBlob");
    if (count > 0) {
        std::memcpy(buffer_.data() + position_, data, static_cast<std::size_t>(count));
        position_ += count;
    }
}

bool CDataOutputStream::writeSize() {
    if (position_ > kCapacity) {
        throw CIOException("writeSize");
    }
    const std::int32_t length = position_ - kHeaderSize;
    if (length == 0) {
        return false;
    }
    StoreBE32(buffer_.data(), static_cast<std::uint32_t>(length));
    return true;
}

void CDataOutputStream::writeBool(bool value) {
    RequireRoom(1, "writeBool");
    Put8(value ? 1 : 0);
}

void CDataOutputStream::writeLong64(std::int64_t value) {
    RequireRoom(8, "writeLong64");
    PutBigEndian(static_cast<std::uint64_t>(value), 8);
}

void CDataOutputStream::writeLongCompress(std::uint32_t value) {
    RequireRoom(kLongCompressRoom, "writeLongCompress");
    if (value > kMaxLongCompress) {
        throw CIOException("writeLongCompress");
    }
    const int length = UnsignedCodeLength(value);
    const std::uint32_t first =
        (static_cast<std::uint32_t>(length - 1) << 6) | (value >> (8 * (length - 1)));
    Put8(static_cast<std::uint8_t>(first));
    PutBigEndian(value, length - 1);
}

void CDataOutputStream::writeFloat(float value) {
    RequireRoom(4, "writeFloat");
    const auto bits = std::bit_cast<std::uint32_t>(value);
    if (bits == 0 || (bits >> 24) == kZeroEscape) {
        Put8(kZeroEscape);
        return;
    }
    PutBigEndian(bits, 4);
}

void CDataOutputStream::writeDouble(double value) {
    RequireRoom(8, "writeDouble");
    const auto bits = std::bit_cast<std::uint64_t>(value);
    if (bits == 0 || (bits >> 56) == kZeroEscape) {
        Put8(kZeroEscape);
        return;
    }
    PutBigEndian(bits, 8);
}

void CDataOutputStream::writeVolume(std::int32_t volume) {
    RequireRoom(kVolumeRoom, "writeVolume");
    const VolumeCode code = EncodeVolume(volume);
    if (code.bytes == 0) {
        throw CIOException("writeVolume");
    }
    PutBigEndian(code.bits, code.bytes);
}

void CDataOutputStream::writeTick(const Tick& value) {
    const auto priceBits = std::bit_cast<std::uint32_t>(value.price);
    const auto tick = static_cast<std::uint32_t>(value.tickNumber);
    if ((priceBits & kTickExtensionFlag) != 0 || value.tickNumber < 0 || tick > kMaxTickNumber) {
        throw CIOException("writeTick");
    }
    if (priceBits == 0 && tick == 0 && value.volume == 0) {
        RequireRoom(kTickRoom, "writeTick");
        Put8(kEmptyTick);
        return;
    }
    const VolumeCode code = EncodeVolume(value.volume);
    if (code.bytes == 0) {
        throw CIOException("writeTick");
    }
    const int tickBytes = tick > kExtendedTwoByteTickMax ? 3 : 2;
    RequireRoom(code.bytes + 4 + tickBytes, "writeTick");
    PutBigEndian(code.bits, code.bytes);
    if (tick <= kTwoByteTickMax) {
        PutBigEndian(priceBits, 4);
        PutBigEndian(tick, 2);
    } else if (tick <= kExtendedTwoByteTickMax) {
        PutBigEndian(priceBits | kTickExtensionFlag, 4);
        PutBigEndian(tick - kTickExtensionAdd, 2);
    } else {
        PutBigEndian(priceBits | kTickExtensionFlag, 4);
        PutBigEndian(0x800000u | tick, 3);
    }
}

void CDataOutputStream::writeCompress(DeltaBar& running, const DeltaBar& next, int decimals) {
    RequireRoom(kCompressRoom, "writeCompress");
    const std::int64_t dateStep = static_cast<std::int64_t>(next.date) - running.date;
    if (dateStep < 0 || dateStep > kMaxLongCompress) {
        throw CIOException("writeCompress");
    }
    float* const runningPrices[] = {&running.p1, &running.p2, &running.p3, &running.p4};
    const float nextPrices[] = {next.p1, next.p2, next.p3, next.p4};
    std::int32_t deltas[4];
    for (int k = 0; k < 4; ++k) {
        const auto from = RoundToPriceUnits(*runningPrices[k], decimals);
        const auto to = RoundToPriceUnits(nextPrices[k], decimals);
        if (!from || !to || *to - *from > kMaxSignedMagnitude ||
            *from - *to > kMaxSignedMagnitude) {
            throw CIOException("writeCompress");
        }
        deltas[k] = static_cast<std::int32_t>(*to - *from);
    }
    writeLongCompress(static_cast<std::uint32_t>(dateStep));
    for (int k = 0; k < 4; ++k) {
        writeLongSigned(deltas[k]);
        *runningPrices[k] = applyPriceDelta(*runningPrices[k], deltas[k], decimals);
    }
    writeLong(next.volume);
    running.date = next.date;
    running.volume = next.volume;
}

bool CDataOutputStream::writeSizeNK(std::uint8_t decimals) {
    if (position_ > kCapacity) {
        throw CIOException("writeSizeNK");
    }
    const std::int32_t length = position_ - kHeaderSize;
    if (length == 0) {
        return false;
    }
    buffer_[0] = decimals;
    StoreBigEndian(buffer_.data() + 1, static_cast<std::uint32_t>(length), 3);
    return true;
}

} // namespace mvr
