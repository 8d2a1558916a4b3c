#pragma once

// The bar files of the data folder: one CSV file per instrument with daily
// bars (date,open,high,low,close,volume) or 1-minute bars
// (date,time,open,high,low,close,volume), in ascending order of date and
// time, prices with at most the instrument's decimal places.

#include "server/DataError.h"
#include "server/PriceBars.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace mvr {

// Each parser checks every line: the columns, the order, the price relations
// (low <= open, close <= high, all above 0) and the ranges. `fileName` names
// the file in the error.
std::optional<DataError> ParseDailyBars(std::string_view text, int decimals,
                                        const std::string& fileName, std::vector<DailyBar>* bars);
std::optional<DataError> ParseIntradayBars(std::string_view text, int decimals,
                                           const std::string& fileName,
                                           std::vector<IntradayBar>* bars);

std::string FormatDailyBars(std::span<const DailyBar> bars, int decimals);
std::string FormatIntradayBars(std::span<const IntradayBar> bars, int decimals);

} // namespace mvr
