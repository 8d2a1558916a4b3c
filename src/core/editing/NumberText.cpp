#include "core/editing/NumberText.h"

#include "core/platform/TextUtil.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace mvr {

namespace {

// from_chars takes no leading plus sign, which the C library's readers do.
std::string_view WithoutPlusSign(std::string_view text) {
    if (!text.empty() && text.front() == '+' && (text.size() == 1 || text[1] != '-')) {
        text.remove_prefix(1);
    }
    return text;
}

} // namespace

std::string FloatFieldText(float value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.6g", static_cast<double>(value));
    return buffer;
}

std::optional<float> ParseFloatField(std::string_view text) {
    const std::string_view number = WithoutPlusSign(TrimBlanks(text));
    double value = 0.0;
    const char* end = number.data() + number.size();
    const auto [ptr, ec] = std::from_chars(number.data(), end, value, std::chars_format::general);
    if (number.empty() || ec != std::errc() || ptr != end || !std::isfinite(value) ||
        std::fabs(value) > std::numeric_limits<float>::max()) {
        return std::nullopt;
    }
    return static_cast<float>(value);
}

std::optional<std::int32_t> ParseWholeNumberField(std::string_view text) {
    const std::string_view number = WithoutPlusSign(TrimBlanks(text));
    std::int32_t value = 0;
    const char* end = number.data() + number.size();
    const auto [ptr, ec] = std::from_chars(number.data(), end, value);
    if (number.empty() || ec != std::errc() || ptr != end) {
        return std::nullopt;
    }
    return value;
}

} // namespace mvr
