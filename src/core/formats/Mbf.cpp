#include "core/formats/Mbf.h"

#include <cstring>

namespace mvr {

namespace {

constexpr std::uint8_t kMbfExponentBias = 2; // MBF exponent = IEEE exponent + 2

} // namespace

float LoadMbf(const std::uint8_t* mbf) {
    const std::uint8_t exponent = mbf[3];
    if (exponent <= kMbfExponentBias) {
        return 0.0f;
    }
    const std::uint32_t sign = static_cast<std::uint32_t>(mbf[2] & 0x80) << 24;
    const std::uint32_t bits = sign |
                               (static_cast<std::uint32_t>(exponent - kMbfExponentBias) << 23) |
                               (static_cast<std::uint32_t>(mbf[2] & 0x7F) << 16) |
                               (static_cast<std::uint32_t>(mbf[1]) << 8) | mbf[0];
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

void StoreMbf(std::uint8_t* mbf, float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    const std::uint32_t exponent = (bits >> 23) & 0xFF;
    const bool isNaN = exponent == 0xFF && (bits & 0x7FFFFF) != 0;
    if (exponent == 0 || isNaN) {
        std::memset(mbf, 0, kMbfSize);
        return;
    }
    const std::uint8_t sign = static_cast<std::uint8_t>((bits >> 24) & 0x80);
    if (exponent + kMbfExponentBias > 0xFF) {
        mbf[0] = 0xFF;
        mbf[1] = 0xFF;
        mbf[2] = static_cast<std::uint8_t>(sign | 0x7F);
        mbf[3] = 0xFF;
        return;
    }
    mbf[0] = static_cast<std::uint8_t>(bits);
    mbf[1] = static_cast<std::uint8_t>(bits >> 8);
    mbf[2] = static_cast<std::uint8_t>(sign | ((bits >> 16) & 0x7F));
    mbf[3] = static_cast<std::uint8_t>(exponent + kMbfExponentBias);
}

} // namespace mvr
