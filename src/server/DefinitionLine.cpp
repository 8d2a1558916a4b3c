#include "server/DefinitionLine.h"

#include "core/formats/DayNumber.h"
#include "core/platform/TextUtil.h"
#include "server/FieldText.h"

#include <optional>
#include <vector>

namespace mvr {

namespace {

constexpr std::size_t kMaxFields = 3;
constexpr std::size_t kDateDigits = 8;
constexpr std::size_t kMaxQuotedChars = 40;

std::vector<std::string_view> SplitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    for (;;) {
        const std::size_t separator = line.find(';');
        fields.push_back(TrimBlanks(line.substr(0, separator)));
        if (separator == std::string_view::npos) {
            return fields;
        }
        line.remove_prefix(separator + 1);
    }
}

// YYYYMMDD of an existing calendar day.
std::optional<std::int32_t> ParseCompactDate(std::string_view text) {
    if (text.size() != kDateDigits) {
        return std::nullopt;
    }
    const auto number = ParseInteger(text, 0, 99999999);
    if (!number) {
        return std::nullopt;
    }
    DATUM date;
    date.year = static_cast<std::uint16_t>(*number / 10000);
    date.month = static_cast<std::uint8_t>(*number / 100 % 100);
    date.day = static_cast<std::uint8_t>(*number % 100);
    if (date.year == 0 || !IsValidDatum(date)) {
        return std::nullopt;
    }
    return DatumToDayNumber(date);
}

DefinitionLine Failure(std::string error) {
    DefinitionLine line;
    line.kind = DefinitionLineKind::Error;
    line.error = std::move(error);
    return line;
}

// An empty field is the open end `open`.
bool TakeDate(std::string_view field, std::int32_t open, const char* which, std::int32_t* day,
              std::string* error) {
    if (field.empty()) {
        *day = open;
        return true;
    }
    const auto parsed = ParseCompactDate(field);
    if (!parsed) {
        *error = std::string("bad ") + which + " date " + QuotedForMessage(field) +
                 " (expected YYYYMMDD)";
        return false;
    }
    *day = *parsed;
    return true;
}

} // namespace

std::string QuotedForMessage(std::string_view text) {
    if (text.size() > kMaxQuotedChars || !IsPrintableText(text)) {
        return "(not shown)";
    }
    return "\"" + std::string(text) + "\"";
}

DefinitionLine ParseDefinitionLine(std::string_view text) {
    if (!text.empty() && text.back() == '\r') {
        text.remove_suffix(1);
    }
    if (text.size() > kMaxDefinitionLineBytes) {
        return Failure("line longer than " + std::to_string(kMaxDefinitionLineBytes) + " bytes");
    }
    const std::string_view content = TrimBlanks(text);
    if (content.empty() || content.front() == '#') {
        return {};
    }
    const std::vector<std::string_view> fields = SplitFields(content);
    if (fields.size() > kMaxFields) {
        return Failure("more than three fields (expected INSTRUMENT;FROM;TO)");
    }
    if (fields[0].empty()) {
        return Failure("no instrument");
    }
    DefinitionLine line;
    line.kind = DefinitionLineKind::Query;
    line.instrument = fields[0];
    std::string error;
    if (fields.size() > 1 && !TakeDate(fields[1], kOpenStartDay, "from", &line.firstDay, &error)) {
        return Failure(error);
    }
    if (fields.size() > 2 && !TakeDate(fields[2], kOpenEndDay, "to", &line.lastDay, &error)) {
        return Failure(error);
    }
    if (line.firstDay > line.lastDay) {
        return Failure("from date " + std::string(fields[1]) + " is after to date " +
                       std::string(fields[2]));
    }
    return line;
}

} // namespace mvr
