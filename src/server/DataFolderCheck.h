#pragma once

// The full check of a data folder for "mvr-priceserver --check-data": the
// tables as the server reads them at start, and every bar file as it would
// be read on first use. The report counts what the folder holds.

#include "server/DataError.h"
#include "server/ServerModel.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace mvr {

struct BarFileCounts {
    std::size_t files = 0;
    std::uint64_t bars = 0;
    std::int32_t firstDay = 0; // 0 when there are no bars
    std::int32_t lastDay = 0;
};

struct DataFolderReport {
    std::optional<DataError> error; // the first fault; nothing when the folder is sound
    std::vector<std::string> warnings;
    ServerTables tables; // what was read before any fault
    BarFileCounts daily;
    BarFileCounts intraday;
};

DataFolderReport CheckDataFolder(const std::string& folder);

// The summary lines, or the error, for the user.
std::string FormatDataFolderReport(const DataFolderReport& report);

} // namespace mvr
