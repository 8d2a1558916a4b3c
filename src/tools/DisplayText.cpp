#include "DisplayText.h"

#include "core/formats/DayNumber.h"

#include <charconv>

namespace mvr {

namespace {

// `value` with leading zeros up to `width` digits.
void AppendDigits(std::string& out, long value, int width) {
    char text[16];
    const auto result = std::to_chars(text, text + sizeof text, value);
    const auto length = static_cast<int>(result.ptr - text);
    out.append(static_cast<std::size_t>(width > length ? width - length : 0), '0');
    out.append(text, result.ptr);
}

} // namespace

std::string CsvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        return std::string(text);
    }
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"') {
            out.push_back('"');
        }
        out.push_back(c);
    }
    out.push_back('"');
    return out;
}

void AppendDateDigits(std::string& out, std::int32_t dayNumber) {
    const DATUM date = DayNumberToDatum(dayNumber);
    AppendDigits(out, date.year, 4);
    AppendDigits(out, date.month, 2);
    AppendDigits(out, date.day, 2);
}

void AppendTimeDigits(std::string& out, std::int32_t secondsOfDay) {
    AppendDigits(out, secondsOfDay / 3600, 2);
    AppendDigits(out, (secondsOfDay / 60) % 60, 2);
    AppendDigits(out, secondsOfDay % 60, 2);
}

void AppendNumber(std::string& out, float value) {
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value);
    out.append(text, result.ptr);
}

} // namespace mvr
