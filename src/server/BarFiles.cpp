#include "server/BarFiles.h"

#include "server/CsvText.h"
#include "server/DataFolderLayout.h"
#include "server/FieldText.h"

#include <cstdint>
#include <limits>

namespace mvr {

namespace {

constexpr std::int64_t kMaxVolume = std::numeric_limits<std::int32_t>::max();

// Reads the four prices and the volume from fields[first..first+4] into the bar.
template <class Bar>
bool ReadPricesAndVolume(const std::vector<std::string>& fields, std::size_t first, int decimals,
                         Bar* bar, std::string* error) {
    std::int32_t* const prices[] = {&bar->open, &bar->high, &bar->low, &bar->close};
    for (std::size_t i = 0; i < 4; ++i) {
        const std::string& text = fields[first + i];
        const auto units = ParsePriceUnits(text, decimals, kMaxPriceUnits);
        if (!units || *units == 0) {
            *error = std::string(kDailyBarColumns[1 + i]) + " '" + text +
                     "' is not a price above 0 with at most " + std::to_string(decimals) +
                     " decimal places and at most " + FormatPrice(kMaxPriceUnits, decimals);
            return false;
        }
        *prices[i] = static_cast<std::int32_t>(*units);
    }
    const auto volume = ParseInteger(fields[first + 4], 0, kMaxVolume);
    if (!volume) {
        *error = "volume '" + fields[first + 4] + "' is not a whole number from 0 to " +
                 std::to_string(kMaxVolume);
        return false;
    }
    bar->volume = static_cast<std::int32_t>(*volume);
    if (!HasSoundPrices(*bar)) {
        *error = "the prices break low <= open, close <= high";
        return false;
    }
    return true;
}

bool ReadDate(const std::string& text, std::int32_t* day, std::string* error) {
    const auto parsed = ParseIsoDate(text);
    if (!parsed) {
        *error = "date '" + text + "' is not a date YYYY-MM-DD";
        return false;
    }
    *day = *parsed;
    return true;
}

bool ReadDailyRow(const std::vector<std::string>& fields, int decimals, const DailyBar* previous,
                  DailyBar* bar, std::string* error) {
    if (!ReadDate(fields[0], &bar->day, error) ||
        !ReadPricesAndVolume(fields, 1, decimals, bar, error)) {
        return false;
    }
    if (previous != nullptr && bar->day <= previous->day) {
        *error = "date " + fields[0] + " is not after the date of the line before";
        return false;
    }
    return true;
}

bool ReadIntradayRow(const std::vector<std::string>& fields, int decimals,
                     const IntradayBar* previous, IntradayBar* bar, std::string* error) {
    if (!ReadDate(fields[0], &bar->day, error)) {
        return false;
    }
    const auto time = ParseMinuteTime(fields[1]);
    if (!time) {
        *error = "time '" + fields[1] + "' is not a time of day HH:MM";
        return false;
    }
    bar->secondsOfDay = *time;
    if (!ReadPricesAndVolume(fields, 2, decimals, bar, error)) {
        return false;
    }
    if (previous != nullptr &&
        (bar->day < previous->day ||
         (bar->day == previous->day && bar->secondsOfDay <= previous->secondsOfDay))) {
        *error = "date and time " + fields[0] + " " + fields[1] +
                 " are not after those of the line before";
        return false;
    }
    return true;
}

template <class Bar, class ReadRow>
std::optional<DataError> ParseBars(std::string_view text, int decimals, const std::string& fileName,
                                   std::span<const std::string_view> columns, ReadRow readRow,
                                   std::vector<Bar>* bars) {
    bars->clear();
    CCsvReader reader(text);
    if (!reader.ExpectHeader(columns)) {
        return DataError{fileName, reader.Line(), reader.Error()};
    }
    std::vector<std::string> fields;
    std::string error;
    while (reader.Next(fields)) {
        if (fields.size() != columns.size()) {
            return DataError{fileName, reader.Line(),
                             "expected " + std::to_string(columns.size()) + " fields (" +
                                 JoinColumns(columns) + "), found " +
                                 std::to_string(fields.size())};
        }
        Bar bar;
        if (!readRow(fields, decimals, bars->empty() ? nullptr : &bars->back(), &bar, &error)) {
            return DataError{fileName, reader.Line(), error};
        }
        bars->push_back(bar);
    }
    if (!reader.Error().empty()) {
        return DataError{fileName, reader.Line(), reader.Error()};
    }
    return std::nullopt;
}

template <class Bar>
void AppendPricesAndVolume(std::string& out, const Bar& bar, int decimals) {
    for (std::int32_t price : {bar.open, bar.high, bar.low, bar.close}) {
        out += ',';
        AppendPrice(out, price, decimals);
    }
    out += ',';
    AppendInteger(out, bar.volume);
    out += '\n';
}

} // namespace

std::optional<DataError> ParseDailyBars(std::string_view text, int decimals,
                                        const std::string& fileName, std::vector<DailyBar>* bars) {
    return ParseBars(text, decimals, fileName, kDailyBarColumns, ReadDailyRow, bars);
}

std::optional<DataError> ParseIntradayBars(std::string_view text, int decimals,
                                           const std::string& fileName,
                                           std::vector<IntradayBar>* bars) {
    return ParseBars(text, decimals, fileName, kIntradayBarColumns, ReadIntradayRow, bars);
}

std::string FormatDailyBars(std::span<const DailyBar> bars, int decimals) {
    std::string out;
    out.reserve(48 * (bars.size() + 1));
    AppendCsvRow(out, kDailyBarColumns);
    for (const DailyBar& bar : bars) {
        AppendIsoDate(out, bar.day);
        AppendPricesAndVolume(out, bar, decimals);
    }
    return out;
}

std::string FormatIntradayBars(std::span<const IntradayBar> bars, int decimals) {
    std::string out;
    out.reserve(54 * (bars.size() + 1));
    AppendCsvRow(out, kIntradayBarColumns);
    for (const IntradayBar& bar : bars) {
        AppendIsoDate(out, bar.day);
        out += ',';
        AppendMinuteTime(out, bar.secondsOfDay);
        AppendPricesAndVolume(out, bar, decimals);
    }
    return out;
}

} // namespace mvr
