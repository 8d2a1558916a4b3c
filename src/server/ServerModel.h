#pragma once

// Everything the reference price server knows, as plain records: accounts,
// client information, reference tables, the catalogue model and the
// instruments. Nothing here knows how it travels; the limits below are the
// widths of the fields that carry these values to the client, so that every
// value the data folder accepts can be sent unchanged.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mvr {

// Longest texts, in bytes (the client's buffers hold one byte more for the terminator).
inline constexpr std::size_t kMaxAccountTextChars = 259;
inline constexpr std::size_t kMaxServerMessageChars = 259;
inline constexpr std::size_t kMaxClientMessageChars = 2000;
inline constexpr std::size_t kMaxClientInfoTextChars = 256;
inline constexpr std::size_t kMaxTableNameChars =
    50; // security types, countries, exchanges, groups
inline constexpr std::size_t kMaxSearchKindNameChars = 49;
inline constexpr std::size_t kMaxCatalogueShortNameChars = 29;
inline constexpr std::size_t kMaxCatalogueNameChars = 50;
inline constexpr std::size_t kMaxSymbolChars = 29;
inline constexpr std::size_t kMaxInstrumentNameChars = 50;
inline constexpr std::size_t kMaxCurrencyChars = 7;

// Numbers that travel as 16-bit values and are sign-extended by the client.
inline constexpr std::int32_t kMaxShortNumber = 32767;
// The instrument number travels in a compact code of at most 30 bits.
inline constexpr std::int32_t kMaxSinCode = (1 << 30) - 1;
// The search kind travels as one byte.
inline constexpr std::int32_t kMaxSearchKindCode = 255;
inline constexpr int kMaxDecimals = 6;

enum class AccountState {
    Valid,
    Blocked,             // result -19
    Invalid,             // result -2
    ServerMessage,       // result -20, followed by the account's message
    RealtimeUnavailable, // result -21
    DatabaseError,       // result -1
};

// The result code a login or an account check answers for an account in this
// state; only meaningful for the states other than Valid.
std::int32_t ResultCodeOf(AccountState state);

// The name of the state in the accounts file, and back.
std::string_view AccountStateName(AccountState state);
std::optional<AccountState> AccountStateFromName(std::string_view name);

struct ServerAccount {
    std::string account;
    std::string password;
    AccountState state = AccountState::Valid;
    std::int32_t loginResult = 1; // positive result of a login
    std::int32_t checkResult = 1; // positive result of an account check; heads later requests
    std::int32_t loginNumber = 1; // login number of the user record
    std::uint32_t flagWord = 0;   // flag word of the user record
    std::string message;          // the text of the ServerMessage state

    bool operator==(const ServerAccount&) const = default;
};

struct ClientInformation {
    std::string message;
    bool updateAvailable = false;
    bool updateMandatory = false;
    std::string reservedText; // carried, not used by the client
    std::string infoAddress;  // address of the update information page
    std::string linkCaption;  // caption of the update link
    std::int32_t reservedNumber = 0;

    bool operator==(const ClientInformation&) const = default;
};

// A security type or a country.
struct NumberedName {
    std::int32_t number = 0;
    std::string name;

    bool operator==(const NumberedName&) const = default;
};

struct ServerExchange {
    std::int32_t number = 0;
    std::string name; // may be a short code, blanks and a long name
    bool flag = false;
    // Intraday buckets are counted from this time of the day (seconds).
    std::int32_t sessionStart = 0;

    bool operator==(const ServerExchange&) const = default;
};

// Which texts of an instrument a search kind compares with the search text.
enum SearchField : std::uint8_t {
    kSearchSymbol = 1,
    kSearchName = 2,
    kSearchIsin = 4,
};

enum class SearchMatch { Exact, Prefix, Contains };

std::string_view SearchMatchName(SearchMatch match);
std::optional<SearchMatch> SearchMatchFromName(std::string_view name);
// "symbol+name+isin" and back; the fields keep this order.
std::string SearchFieldsText(std::uint8_t fields);
std::optional<std::uint8_t> SearchFieldsFromText(std::string_view text);

struct SearchKind {
    std::int32_t code = 0;
    std::string name;
    std::uint8_t fields = kSearchName; // SearchField bits
    SearchMatch match = SearchMatch::Contains;

    bool operator==(const SearchKind&) const = default;
};

struct CatalogueGroup {
    std::int32_t id = 0;
    std::string name;

    bool operator==(const CatalogueGroup&) const = default;
};

// One edge of the catalogue tree.
struct CatalogueTreeEntry {
    std::int32_t id = 0;      // group id (kind 0) or catalogue number (other kinds)
    std::int32_t parent = -1; // group id, or -1 at the top
    std::uint8_t kind = 0;    // 0 group, 1 catalogue
    std::int32_t extra = 0;

    bool operator==(const CatalogueTreeEntry&) const = default;
};

inline constexpr std::int32_t kTreeTop = -1;

struct Catalogue {
    std::int32_t number = 0;
    std::string shortName;
    std::string name;
    std::vector<std::int32_t> members; // SInCodes in list order; repeats allowed

    bool operator==(const Catalogue&) const = default;
};

struct ServerInstrument {
    std::int32_t sinCode = 0;
    std::int32_t legacyNumber = 0; // the predecessor's instrument number; 0 = none
    std::int32_t securityType = 0;
    std::int32_t exchange = 0;
    std::string symbol;
    std::string isin; // empty or 12 characters with a valid check digit
    std::string name;
    std::string currency;
    int decimals = 2; // decimal places of its prices

    bool operator==(const ServerInstrument&) const = default;
};

// A further predecessor number that stands for an instrument.
struct LegacyTranslation {
    std::int32_t legacyNumber = 0;
    std::int32_t sinCode = 0;

    bool operator==(const LegacyTranslation&) const = default;
};

struct ServerSettings {
    static constexpr std::int32_t kDefaultSearchHitLimit = 200;
    static constexpr std::int32_t kDefaultBarCacheMegabytes = 256;

    // A search with more hits than this answers "too many".
    std::int32_t searchHitLimit = kDefaultSearchHitLimit;
    // Bound of the memory that loaded bars may keep.
    std::int32_t barCacheMegabytes = kDefaultBarCacheMegabytes;

    bool operator==(const ServerSettings&) const = default;
};

// The tables of a data folder, in file order.
struct ServerTables {
    ServerSettings settings;
    ClientInformation clientInfo;
    std::vector<ServerAccount> accounts;
    std::vector<NumberedName> securityTypes;
    std::vector<NumberedName> countries;
    std::vector<ServerExchange> exchanges;
    std::vector<SearchKind> searchKinds;
    std::vector<CatalogueGroup> catalogueGroups;
    std::vector<CatalogueTreeEntry> catalogueTree;
    std::vector<Catalogue> catalogues;
    std::vector<ServerInstrument> instruments;
    std::vector<LegacyTranslation> legacyTranslations;

    bool operator==(const ServerTables&) const = default;
};

} // namespace mvr
