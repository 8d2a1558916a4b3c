#include "core/controls/EditControlText.h"

#include "core/formats/DayNumber.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace mvr {

namespace {

std::string_view Visible(std::string_view text) {
    return text.substr(0, kDateFieldChars);
}

std::string_view WithoutLeadingBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    return text;
}

std::string_view WithoutPlusSign(std::string_view text) {
    return !text.empty() && text.front() == '+' ? text.substr(1) : text;
}

// Digits gathered from anywhere in the text; a value beyond 64 bits saturates.
std::int64_t GatheredDigits(std::string_view text) {
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    std::int64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            continue;
        }
        const int digit = c - '0';
        value = value > (kMax - digit) / 10 ? kMax : value * 10 + digit;
    }
    return value;
}

// A step cut toward zero; one beyond 64 bits saturates.
std::int64_t SaturatedInt64(double value) {
    constexpr double kLimit = 9223372036854775808.0; // 2^63
    if (std::isnan(value)) {
        return 0;
    }
    if (value >= kLimit) {
        return std::numeric_limits<std::int64_t>::max();
    }
    if (value <= -kLimit) {
        return std::numeric_limits<std::int64_t>::min();
    }
    return static_cast<std::int64_t>(value);
}

std::string PrintedDecimal(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

} // namespace

std::string DateFieldStep(std::string_view text, int delta, std::int32_t step, std::int32_t today) {
    const std::string visible(Visible(text));
    if (visible.empty()) {
        return FormatDayNumber(today);
    }
    std::int32_t day = DAY_NUMBER_INVALID;
    ParseDateText(visible.c_str(), &day);
    const std::int64_t moved = std::int64_t{day} - std::int64_t{delta} * step;
    if (moved < 0 || moved > std::numeric_limits<std::int32_t>::max()) {
        return {};
    }
    return FormatDayNumber(static_cast<std::int32_t>(moved));
}

std::string DateFieldOnLeave(std::string_view text) {
    const std::string_view visible = Visible(text);
    if (visible.empty() || visible.find('.') != std::string_view::npos) {
        return std::string(text);
    }
    if (visible.size() != 8 && visible.size() != 6) {
        return std::string(text);
    }
    std::string completed;
    completed.append(visible.substr(0, 2)).append(".");
    completed.append(visible.substr(2, 2)).append(".");
    completed.append(visible.substr(4));
    std::int32_t day = 0;
    return ParseDateText(completed.c_str(), &day) ? completed : std::string(text);
}

int CalendarWeekday(std::int32_t dayNumber) {
    const int remainder = static_cast<int>((std::int64_t{dayNumber} - 2) % 7);
    return remainder < 0 ? remainder + 7 : remainder;
}

std::string CalendarChoiceText(const DATUM& date) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2d.%.2d.%.2d", int{date.day}, int{date.month},
                  int{date.year});
    return text;
}

std::string WholeNumberFieldStep(std::string_view text, int delta, float step) {
    if (text.empty()) {
        return "0";
    }
    std::string_view rest = WithoutLeadingBlanks(text);
    const bool negative = !rest.empty() && rest.front() == '-';
    if (negative) {
        rest.remove_prefix(1);
    }
    const std::int64_t magnitude = GatheredDigits(rest);
    const std::int64_t value = negative ? -magnitude : magnitude;
    const std::int64_t stepped = SaturatedInt64(static_cast<double>(step) * delta);
    constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    const std::int64_t result = stepped > 0 && value < kMin + stepped   ? kMin
                                : stepped < 0 && value > kMax + stepped ? kMax
                                                                        : value - stepped;
    return std::to_string(result);
}

double DecimalControlValue(std::string_view text) {
    std::string copy(text);
    return TakeDecimalValue(copy);
}

double TakeDecimalValue(std::string& text) {
    if (const auto comma = text.find(','); comma != std::string::npos) {
        text[comma] = '.';
    }
    const std::string_view number = WithoutPlusSign(WithoutLeadingBlanks(text));
    double value = 0.0;
    const auto [ptr, ec] = std::from_chars(number.data(), number.data() + number.size(), value,
                                           std::chars_format::general);
    return ec == std::errc() ? value : 0.0;
}

std::string DecimalFieldStep(std::string_view text, int delta, float step) {
    if (text.empty()) {
        return "0";
    }
    return PrintedDecimal(DecimalControlValue(text) - static_cast<double>(step) * delta);
}

std::string FileFieldFilter(std::string_view extension) {
    std::string filter = "Files (*.";
    filter += extension;
    filter += ")|*.";
    filter += extension;
    filter += ";|All files (*.*)|*.*||";
    return filter;
}

std::vector<FileFilterChoice> FileFilterChoices(std::string_view filter) {
    std::vector<FileFilterChoice> choices;
    while (true) {
        const std::size_t descriptionEnd = filter.find('|');
        if (descriptionEnd == std::string_view::npos || descriptionEnd == 0) {
            break;
        }
        FileFilterChoice choice;
        choice.description = std::string(filter.substr(0, descriptionEnd));
        filter.remove_prefix(descriptionEnd + 1);
        const std::size_t patternsEnd = std::min(filter.find('|'), filter.size());
        std::string_view patterns = filter.substr(0, patternsEnd);
        filter.remove_prefix(std::min(patternsEnd + 1, filter.size()));
        while (!patterns.empty()) {
            const std::size_t end = std::min(patterns.find(';'), patterns.size());
            if (end > 0) {
                choice.patterns.emplace_back(patterns.substr(0, end));
            }
            patterns.remove_prefix(std::min(end + 1, patterns.size()));
        }
        if (choice.patterns.empty()) {
            break;
        }
        choices.push_back(std::move(choice));
    }
    return choices;
}

std::string FileFilterName(const FileFilterChoice& choice) {
    std::string patterns;
    for (const std::string& pattern : choice.patterns) {
        if (!patterns.empty()) {
            patterns += ' ';
        }
        patterns += pattern;
    }
    const std::string tail = "(" + patterns + ")";
    const std::string_view description = choice.description;
    if (description.size() >= tail.size() &&
        description.substr(description.size() - tail.size()) == tail) {
        return choice.description;
    }
    return choice.description + " " + tail;
}

} // namespace mvr
