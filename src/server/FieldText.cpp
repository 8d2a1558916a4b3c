#include "server/FieldText.h"

#include "core/formats/DayNumber.h"

#include <charconv>

namespace mvr {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Exactly `count` digits at `text`, as a number.
std::optional<int> FixedDigits(std::string_view text, std::size_t count) {
    if (text.size() != count) {
        return std::nullopt;
    }
    int value = 0;
    for (char c : text) {
        if (!IsDigit(c)) {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

void AppendPadded(std::string& out, int value, int width) {
    char digits[8];
    for (int i = width - 1; i >= 0; --i) {
        digits[i] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
    out.append(digits, static_cast<std::size_t>(width));
}

constexpr std::int64_t kPowersOfTen[] = {1, 10, 100, 1000, 10000, 100000, 1000000};

} // namespace

std::optional<std::int64_t> ParseInteger(std::string_view text, std::int64_t min,
                                         std::int64_t max) {
    if (text.empty() || text.front() == '+') {
        return std::nullopt;
    }
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || value < min || value > max) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::uint32_t> ParseFlagWord(std::string_view text) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        std::uint32_t value = 0;
        const std::string_view digits = text.substr(2);
        const auto [end, error] =
            std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
        if (error != std::errc{} || end != digits.data() + digits.size()) {
            return std::nullopt;
        }
        return value;
    }
    const auto value = ParseInteger(text, 0, 0xFFFFFFFFLL);
    if (!value) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(*value);
}

std::string FormatFlagWord(std::uint32_t flags) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string text = "0x";
    for (int shift = 28; shift >= 0; shift -= 4) {
        text += kHex[(flags >> shift) & 0xF];
    }
    return text;
}

std::optional<bool> ParseBoolean(std::string_view text) {
    if (text == "1" || text == "true") {
        return true;
    }
    if (text == "0" || text == "false") {
        return false;
    }
    return std::nullopt;
}

std::optional<std::int32_t> ParseIsoDate(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') {
        return std::nullopt;
    }
    const auto year = FixedDigits(text.substr(0, 4), 4);
    const auto month = FixedDigits(text.substr(5, 2), 2);
    const auto day = FixedDigits(text.substr(8, 2), 2);
    if (!year || !month || !day || *year == 0) {
        return std::nullopt;
    }
    const std::int32_t dayNumber =
        DatumToDayNumber(DATUM{static_cast<std::uint8_t>(*day), static_cast<std::uint8_t>(*month),
                               static_cast<std::uint16_t>(*year)});
    if (IsNoDate(dayNumber)) {
        return std::nullopt;
    }
    return dayNumber;
}

void AppendIsoDate(std::string& out, std::int32_t dayNumber) {
    const DATUM date = DayNumberToDatum(dayNumber);
    AppendPadded(out, date.year, 4);
    out += '-';
    AppendPadded(out, date.month, 2);
    out += '-';
    AppendPadded(out, date.day, 2);
}

std::string FormatIsoDate(std::int32_t dayNumber) {
    std::string text;
    AppendIsoDate(text, dayNumber);
    return text;
}

std::optional<std::int32_t> ParseMinuteTime(std::string_view text) {
    if (text.size() == 8) {
        if (text.substr(5) != ":00") {
            return std::nullopt;
        }
        text = text.substr(0, 5);
    }
    if (text.size() != 5 || text[2] != ':') {
        return std::nullopt;
    }
    const auto hours = FixedDigits(text.substr(0, 2), 2);
    const auto minutes = FixedDigits(text.substr(3, 2), 2);
    if (!hours || !minutes || *hours > 23 || *minutes > 59) {
        return std::nullopt;
    }
    return *hours * 3600 + *minutes * 60;
}

void AppendMinuteTime(std::string& out, std::int32_t secondsOfDay) {
    AppendPadded(out, secondsOfDay / 3600 % 24, 2);
    out += ':';
    AppendPadded(out, secondsOfDay / 60 % 60, 2);
}

std::string FormatMinuteTime(std::int32_t secondsOfDay) {
    std::string text;
    AppendMinuteTime(text, secondsOfDay);
    return text;
}

std::optional<std::int64_t> ParsePriceUnits(std::string_view text, int decimals,
                                            std::int64_t maxUnits) {
    if (decimals < 0 || decimals > 6 || text.empty()) {
        return std::nullopt;
    }
    const std::size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view{} : text.substr(point + 1);
    if (whole.empty() || whole.size() > 12 ||
        fraction.size() > static_cast<std::size_t>(decimals) ||
        (point != std::string_view::npos && fraction.empty())) {
        return std::nullopt;
    }
    std::int64_t units = 0;
    for (char c : whole) {
        if (!IsDigit(c)) {
            return std::nullopt;
        }
        units = units * 10 + (c - '0');
    }
    for (char c : fraction) {
        if (!IsDigit(c)) {
            return std::nullopt;
        }
        units = units * 10 + (c - '0');
    }
    units *= kPowersOfTen[decimals - static_cast<int>(fraction.size())];
    if (units > maxUnits) {
        return std::nullopt;
    }
    return units;
}

void AppendInteger(std::string& out, std::int64_t value) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, result.ptr);
}

void AppendPrice(std::string& out, std::int64_t units, int decimals) {
    if (decimals <= 0) {
        AppendInteger(out, units);
        return;
    }
    const std::int64_t scale = kPowersOfTen[decimals];
    AppendInteger(out, units / scale);
    out += '.';
    AppendPadded(out, static_cast<int>(units % scale), decimals);
}

std::string FormatPrice(std::int64_t units, int decimals) {
    std::string text;
    AppendPrice(text, units, decimals);
    return text;
}

bool IsPrintableText(std::string_view text) {
    for (unsigned char c : text) {
        if (c < 32 || c == 127) {
            return false;
        }
    }
    return true;
}

} // namespace mvr
