#pragma once

// The texts of single fields in the data folder's files: numbers, dates,
// times of day and prices. Every parser accepts the whole text or nothing, so
// "12x" or "1.5" is never read as a number.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace mvr {

// A decimal integer with an optional leading minus, within [min, max].
std::optional<std::int64_t> ParseInteger(std::string_view text, std::int64_t min, std::int64_t max);

// A 32-bit flag word, decimal or hexadecimal with "0x".
std::optional<std::uint32_t> ParseFlagWord(std::string_view text);
std::string FormatFlagWord(std::uint32_t flags);

// "0"/"1" or "false"/"true".
std::optional<bool> ParseBoolean(std::string_view text);

// "YYYY-MM-DD" to a day number.
std::optional<std::int32_t> ParseIsoDate(std::string_view text);
// "YYYY-MM-DD" of a day number of 1 and above.
std::string FormatIsoDate(std::int32_t dayNumber);
void AppendIsoDate(std::string& out, std::int32_t dayNumber);

// "HH:MM" (00:00 to 23:59) to seconds of the day; ":00" seconds are accepted too.
std::optional<std::int32_t> ParseMinuteTime(std::string_view text);
void AppendMinuteTime(std::string& out, std::int32_t secondsOfDay);
std::string FormatMinuteTime(std::int32_t secondsOfDay);

// A non-negative price with at most `decimals` decimal places, as a number of
// units of the last place ("12.5" with 2 places is 1250); at most `maxUnits`.
std::optional<std::int64_t> ParsePriceUnits(std::string_view text, int decimals,
                                            std::int64_t maxUnits);
// The price with exactly `decimals` places ("12.50").
void AppendPrice(std::string& out, std::int64_t units, int decimals);
std::string FormatPrice(std::int64_t units, int decimals);

void AppendInteger(std::string& out, std::int64_t value);

// True when the text holds no control characters (bytes below 32 and 127);
// such bytes would end or garble a text on the client.
bool IsPrintableText(std::string_view text);

} // namespace mvr
