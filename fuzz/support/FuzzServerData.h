#pragma once

// A small price server data folder shared by the server's request target and
// the seed generator, so that the seeds are the answers of the very data the
// server target answers from: two instruments with daily and intraday bars,
// a catalogue tree, a predecessor number, a valid account of each kind.

#include "server/ServerData.h"
#include "core/update/JahresChartArray.h"

#include <cstdint>
#include <vector>

namespace mvr::fuzz {

inline constexpr const char* kValidAccount = "A";
inline constexpr const char* kValidPassword = "P";
// Its user record announces the two further login sections.
inline constexpr const char* kExtraSectionsAccount = "X";
inline constexpr const char* kMessageAccount = "M";
inline constexpr std::int32_t kValidLoginNumber = 5;
inline constexpr std::int32_t kValidCheckNumber = 7;
inline constexpr std::int32_t kFirstSinCode = 1001;
inline constexpr std::int32_t kSecondSinCode = 1002;
inline constexpr std::int32_t kLegacyNumber = 501;
inline constexpr std::int16_t kCatalogueNumber = 1;

// The server's today in the intraday answers: the day after the last bars.
std::int32_t FuzzToday();

// Opened once per process from a folder under the process's temp folder.
const CServerData& FuzzServerData();

// The entries of the price requests the seeds were made with.
std::vector<JAHRESCHARTARRAY> DailyRequestEntries();
std::vector<JAHRESCHARTARRAY> IntradayRequestEntries();

} // namespace mvr::fuzz
