#include "core/legacy/MasterAsciiEntry.h"

#include "core/platform/Bytes.h"
#include "core/platform/OleDate.h"

#include <algorithm>

namespace mvr {

namespace {

constexpr std::size_t kSymbolOffset = 0;
constexpr std::size_t kNameOffset = 9;
constexpr std::size_t kPeriodOffset = 50;
constexpr std::size_t kIntervalOffset = 51;
constexpr std::size_t kFirstDateOffset = 53;
constexpr std::size_t kTimeOffset = 57;
constexpr std::size_t kLastDateOffset = 61;
constexpr std::size_t kCarriedValueOffset = 69;
static_assert(kSymbolOffset + qdxMasterAsciiEntry::kSymbolSize == kNameOffset);
static_assert(kNameOffset + qdxMasterAsciiEntry::kNameSize == kPeriodOffset);
static_assert(kCarriedValueOffset + 4 + 18 == qdxMasterAsciiEntry::kSize);

// The predecessor's years: two digits 0..49 are 2000..2049, 50..99 and three
// digits up to 150 count from 1900, four digits are taken within 1970..2037.
// Anything else is no year (0), which no date conversion accepts.
int LegacyYear(std::int32_t y) {
    if (y >= 0 && y < 50) {
        return 2000 + y;
    }
    if (y >= 50 && y <= 150) {
        return 1900 + y;
    }
    if (y >= 1970 && y <= 2037) {
        return y;
    }
    return 0;
}

} // namespace

std::optional<qdxMasterAsciiEntry>
qdxMasterAsciiEntry::Decode(std::span<const std::uint8_t, kSize> record) {
    const std::uint8_t* p = record.data();
    const std::uint8_t* symbolEnd = p + kSymbolOffset + kSymbolSize;
    if (std::find(p + kSymbolOffset, symbolEnd, 0) == symbolEnd) {
        return std::nullopt;
    }
    qdxMasterAsciiEntry entry;
    entry.symbol = LoadFixedText(p + kSymbolOffset, kSymbolSize);
    entry.name = LoadFixedText(p + kNameOffset, kNameSize);
    entry.periodLetter = static_cast<char>(p[kPeriodOffset]);
    entry.interval = LoadLE16(p + kIntervalOffset);
    entry.firstDate = LoadLEInt32(p + kFirstDateOffset);
    entry.time = LoadLEInt32(p + kTimeOffset);
    entry.lastDate = LoadLEInt32(p + kLastDateOffset);
    entry.carriedValue = LoadLE32(p + kCarriedValueOffset);
    return entry;
}

double LegacyDateToOleDate(std::int32_t date, std::int32_t time) {
    if (date <= 0 || time < 0) {
        return 0.0;
    }
    const int year = LegacyYear(date / 10000);
    const int month = date / 100 % 100;
    const int day = date % 100;
    const int hour = time / 10000;
    const int minute = time / 100 % 100;
    const int second = time % 100;
    // Checked before the 16-bit fields are filled, which would cut hours of
    // 65536 and more to valid ones. Every other field is below 10000 here.
    if (hour > 23) {
        return 0.0;
    }
    SystemTime fields;
    fields.year = static_cast<std::uint16_t>(year);
    fields.month = static_cast<std::uint16_t>(month);
    fields.day = static_cast<std::uint16_t>(day);
    fields.hour = static_cast<std::uint16_t>(hour);
    fields.minute = static_cast<std::uint16_t>(minute);
    fields.second = static_cast<std::uint16_t>(second);
    double oleDate = 0.0;
    return SystemTimeToVariantTime(fields, &oleDate) ? oleDate : 0.0;
}

ExportSymbolInfo ToExportSymbolInfo(const qdxMasterAsciiEntry& entry) {
    ExportSymbolInfo info; // all zero but the field count of 7
    info.symbol = entry.symbol;
    info.name = entry.name;
    info.period = PeriodOfLetter(static_cast<std::uint8_t>(entry.periodLetter));
    info.interval = entry.interval;
    info.importedValue = entry.carriedValue;
    info.firstDate = LegacyDateToOleDate(entry.firstDate, entry.time);
    info.lastDate = LegacyDateToOleDate(entry.lastDate, entry.time);
    return info;
}

} // namespace mvr
