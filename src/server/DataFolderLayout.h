#pragma once

// The names of the files of a price server data folder and the columns of
// each table, shared by the reader, the writer and the messages.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace mvr {

inline constexpr std::string_view kSettingsFile = "settings.txt";
inline constexpr std::string_view kClientInfoFile = "clientinfo.txt";
inline constexpr std::string_view kAccountsFile = "accounts.csv";
inline constexpr std::string_view kSecurityTypesFile = "security_types.csv";
inline constexpr std::string_view kCountriesFile = "countries.csv";
inline constexpr std::string_view kExchangesFile = "exchanges.csv";
inline constexpr std::string_view kSearchKindsFile = "search_kinds.csv";
inline constexpr std::string_view kInstrumentsFile = "instruments.csv";
inline constexpr std::string_view kLegacyNumbersFile = "legacy_numbers.csv";
inline constexpr std::string_view kCatalogueGroupsFile = "catalogue_groups.csv";
inline constexpr std::string_view kCataloguesFile = "catalogues.csv";
inline constexpr std::string_view kCatalogueTreeFile = "catalogue_tree.csv";
inline constexpr std::string_view kCatalogueMembersFile = "catalogue_members.csv";
inline constexpr std::string_view kDailyFolder = "daily";
inline constexpr std::string_view kIntradayFolder = "intraday";

inline constexpr std::array<std::string_view, 8> kAccountColumns = {
    "account",      "password",     "state", "login_result",
    "check_result", "login_number", "flags", "message"};
inline constexpr std::array<std::string_view, 2> kNumberedNameColumns = {"number", "name"};
inline constexpr std::array<std::string_view, 4> kExchangeColumns = {"number", "name", "flag",
                                                                     "session_start"};
inline constexpr std::array<std::string_view, 4> kSearchKindColumns = {"code", "name", "fields",
                                                                       "match"};
inline constexpr std::array<std::string_view, 9> kInstrumentColumns = {
    "sincode", "legacy", "type", "exchange", "symbol", "isin", "name", "currency", "decimals"};
inline constexpr std::array<std::string_view, 2> kLegacyNumberColumns = {"legacy", "sincode"};
inline constexpr std::array<std::string_view, 2> kCatalogueGroupColumns = {"id", "name"};
inline constexpr std::array<std::string_view, 3> kCatalogueColumns = {"number", "short_name",
                                                                      "name"};
inline constexpr std::array<std::string_view, 4> kCatalogueTreeColumns = {"id", "parent", "kind",
                                                                          "extra"};
inline constexpr std::array<std::string_view, 2> kCatalogueMemberColumns = {"catalogue", "sincode"};
inline constexpr std::array<std::string_view, 6> kDailyBarColumns = {"date", "open",  "high",
                                                                     "low",  "close", "volume"};
inline constexpr std::array<std::string_view, 7> kIntradayBarColumns = {
    "date", "time", "open", "high", "low", "close", "volume"};

// Keys of the two key=value files.
inline constexpr std::string_view kSearchHitLimitKey = "search_hit_limit";
inline constexpr std::string_view kBarCacheMegabytesKey = "bar_cache_megabytes";
inline constexpr std::string_view kMessageKey = "message";
inline constexpr std::string_view kUpdateAvailableKey = "update_available";
inline constexpr std::string_view kUpdateMandatoryKey = "update_mandatory";
inline constexpr std::string_view kReservedTextKey = "reserved_text";
inline constexpr std::string_view kInfoAddressKey = "info_address";
inline constexpr std::string_view kLinkCaptionKey = "link_caption";
inline constexpr std::string_view kReservedNumberKey = "reserved_number";

enum class BarKind { Daily, Intraday };

// "daily/1001.csv": the bar file of an instrument relative to the folder, as
// messages name it.
std::string BarFileName(BarKind kind, std::int32_t sinCode);

// The full path of a file of the folder; `folder` may or may not end in a separator.
std::string DataFilePath(const std::string& folder, std::string_view relativeName);

// The largest table or bar file the reader accepts.
inline constexpr std::uint64_t kMaxDataFileBytes = std::uint64_t{512} << 20;

} // namespace mvr
