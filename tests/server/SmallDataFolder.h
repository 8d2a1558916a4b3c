#pragma once

// A small, complete and valid price server data set for the tests: every
// account state, three exchanges of different name forms, six instruments,
// catalogues with repeats and an empty one, and a little tree.

#include "server/PriceBars.h"
#include "server/ServerModel.h"

#include <string>
#include <string_view>
#include <vector>

namespace mvr::test {

ServerTables SmallTables();

// Writes the tables (and no bar files) into `folder`.
void WriteDataFolder(const std::string& folder, const ServerTables& tables = SmallTables());

// Replaces a file of the data folder ("daily/1001.csv", "instruments.csv", ...).
void WriteDataFile(const std::string& folder, std::string_view relativeName, std::string_view text);

// The ISIN of the first eleven characters with its check digit.
std::string Isin(std::string_view firstEleven);

// A daily bar with the given prices in units.
DailyBar Daily(std::int32_t day, std::int32_t open, std::int32_t high, std::int32_t low,
               std::int32_t close, std::int32_t volume);

} // namespace mvr::test
