#include "server/DataFolderReader.h"

#include "core/platform/FileSystem.h"
#include "server/CsvText.h"
#include "server/DataFolderLayout.h"
#include "server/FieldText.h"
#include "server/Isin.h"
#include "server/KeyValueText.h"

#include <algorithm>
#include <limits>
#include <map>
#include <span>
#include <unordered_map>
#include <unordered_set>

namespace mvr {

namespace {

constexpr std::int64_t kInt32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMaxSearchHitLimit = 100000;
constexpr std::int32_t kMaxBarCacheMegabytes = 1 << 20;

std::string RangeText(std::int64_t min, std::int64_t max) {
    return "a whole number from " + std::to_string(min) + " to " + std::to_string(max);
}

// The file's bytes, or nothing with the reason.
std::optional<ByteBuffer> ReadDataFile(const std::string& path, std::string* reason) {
    auto bytes = ReadWholeFile(path, kMaxDataFileBytes);
    if (!bytes) {
        const auto size = FileSizeOf(path);
        *reason = size && *size > kMaxDataFileBytes
                      ? "the file is larger than " + std::to_string(kMaxDataFileBytes >> 20) + " MB"
                      : "the file cannot be read";
    }
    return bytes;
}

std::string_view AsText(const ByteBuffer& bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

} // namespace

// One table file being read: its rows and typed access to their fields. Every
// failing accessor records the error with the file, the line and the column.
class CDataFolderReader::CTableReading {
public:
    CTableReading(const std::string& folder, std::string_view fileName,
                  std::span<const std::string_view> columns, DataError* error)
        : path_(DataFilePath(folder, fileName)), fileName_(fileName), columns_(columns),
          error_(error) {}

    // True when the file is there and its header is right. False when it is
    // missing (an error only when `required`) or broken; Failed() tells which.
    bool Open(bool required) {
        if (!EntryExists(path_)) {
            if (required) {
                Fail("the file is missing", 0);
            }
            return false;
        }
        std::string reason;
        bytes_ = ReadDataFile(path_, &reason);
        if (!bytes_) {
            return Fail(reason, 0);
        }
        reader_.emplace(AsText(*bytes_));
        if (!reader_->ExpectHeader(columns_)) {
            return Fail(reader_->Error());
        }
        return true;
    }

    // The next row with the right number of fields; false at the end or on an error.
    bool NextRow() {
        if (!reader_->Next(fields_)) {
            return reader_->Error().empty() ? false : Fail(reader_->Error());
        }
        if (++rows_ > kMaxTableRows) {
            return Fail("the table has more than " + std::to_string(kMaxTableRows) + " rows");
        }
        if (fields_.size() != columns_.size()) {
            return Fail("expected " + std::to_string(columns_.size()) + " fields (" +
                        JoinColumns(columns_) + "), found " + std::to_string(fields_.size()));
        }
        return true;
    }

    bool Failed() const { return failed_; }
    int Line() const { return reader_ ? reader_->Line() : 0; }
    const std::string& Field(std::size_t column) const { return fields_[column]; }
    bool IsEmpty(std::size_t column) const { return fields_[column].empty(); }

    bool Fail(const std::string& message) { return Fail(message, Line()); }

    bool FailColumn(std::size_t column, const std::string& message) {
        return Fail(std::string(columns_[column]) + " '" + fields_[column] + "' " + message);
    }

    template <class Int>
    bool Number(std::size_t column, std::int64_t min, std::int64_t max, Int* out) {
        const auto value = ParseInteger(fields_[column], min, max);
        if (!value) {
            return FailColumn(column, "is not " + RangeText(min, max));
        }
        *out = static_cast<Int>(*value);
        return true;
    }

    // An empty field leaves `out` as it is.
    template <class Int>
    bool OptionalNumber(std::size_t column, std::int64_t min, std::int64_t max, Int* out) {
        return IsEmpty(column) || Number(column, min, max, out);
    }

    bool Text(std::size_t column, std::size_t maxChars, bool required, std::string* out) {
        const std::string& text = fields_[column];
        if (required && text.empty()) {
            return Fail(std::string(columns_[column]) + " is empty");
        }
        if (text.size() > maxChars) {
            return FailColumn(column, "is longer than " + std::to_string(maxChars) + " bytes");
        }
        if (!IsPrintableText(text)) {
            return FailColumn(column, "holds a control character");
        }
        *out = text;
        return true;
    }

    bool Boolean(std::size_t column, bool* out) {
        const auto value = ParseBoolean(fields_[column]);
        if (!value) {
            return FailColumn(column, "is not 0 or 1");
        }
        *out = *value;
        return true;
    }

    // False (with the error) when `key` was seen on an earlier row.
    bool Unique(std::unordered_map<std::int64_t, int>& seen, std::int64_t key, std::size_t column) {
        const auto [it, inserted] = seen.emplace(key, Line());
        return inserted ||
               FailColumn(column, "already appears on line " + std::to_string(it->second));
    }

    bool UniqueText(std::unordered_map<std::string, int>& seen, const std::string& key,
                    std::size_t column) {
        const auto [it, inserted] = seen.emplace(key, Line());
        return inserted ||
               FailColumn(column, "already appears on line " + std::to_string(it->second));
    }

private:
    bool Fail(const std::string& message, int line) {
        *error_ = DataError{fileName_, line, message};
        failed_ = true;
        return false;
    }

    std::string path_;
    std::string fileName_;
    std::span<const std::string_view> columns_;
    DataError* error_;
    std::optional<ByteBuffer> bytes_;
    std::optional<CCsvReader> reader_;
    std::vector<std::string> fields_;
    std::size_t rows_ = 0;
    bool failed_ = false;
};

namespace {

// Reads an optional key=value file and hands each entry to `apply`, which
// returns an error text ("" when the entry is fine).
template <class Apply>
bool ReadKeyValueFile(const std::string& folder, std::string_view fileName, DataError* error,
                      Apply apply) {
    const std::string path = DataFilePath(folder, fileName);
    if (!EntryExists(path)) {
        return true;
    }
    std::string reason;
    const auto bytes = ReadDataFile(path, &reason);
    if (!bytes) {
        *error = DataError{std::string(fileName), 0, reason};
        return false;
    }
    std::vector<KeyValueEntry> entries;
    int line = 0;
    if (!ParseKeyValueText(AsText(*bytes), &entries, &line, &reason)) {
        *error = DataError{std::string(fileName), line, reason};
        return false;
    }
    for (const KeyValueEntry& entry : entries) {
        reason = apply(entry);
        if (!reason.empty()) {
            *error = DataError{std::string(fileName), entry.line, reason};
            return false;
        }
    }
    return true;
}

std::string NumberSetting(const KeyValueEntry& entry, std::int64_t min, std::int64_t max,
                          std::int32_t* out) {
    const auto value = ParseInteger(entry.value, min, max);
    if (!value) {
        return entry.key + " '" + entry.value + "' is not " + RangeText(min, max);
    }
    *out = static_cast<std::int32_t>(*value);
    return {};
}

std::string BooleanSetting(const KeyValueEntry& entry, bool* out) {
    const auto value = ParseBoolean(entry.value);
    if (!value) {
        return entry.key + " '" + entry.value + "' is not 0 or 1";
    }
    *out = *value;
    return {};
}

std::string TextSetting(const KeyValueEntry& entry, std::size_t maxChars, bool lineBreaks,
                        std::string* out) {
    if (entry.value.size() > maxChars) {
        return entry.key + " is longer than " + std::to_string(maxChars) + " bytes";
    }
    const bool printable = std::all_of(entry.value.begin(), entry.value.end(), [&](char c) {
        return (lineBreaks && c == '\n') || IsPrintableText(std::string_view(&c, 1));
    });
    if (!printable) {
        return entry.key + " holds a control character";
    }
    *out = entry.value;
    return {};
}

std::string UnknownKey(const KeyValueEntry& entry) {
    return "unknown key " + entry.key;
}

// Column positions of the tables whose rows are read field by field.
enum AccountColumn {
    kAccount,
    kPassword,
    kState,
    kLoginResult,
    kCheckResult,
    kLoginNumber,
    kFlags,
    kMessage
};
enum InstrumentColumn {
    kSinCode,
    kLegacy,
    kType,
    kExchange,
    kSymbol,
    kIsin,
    kName,
    kCurrency,
    kDecimals
};

} // namespace

std::optional<ServerTables> CDataFolderReader::ReadTables() {
    error_ = DataError{};
    warnings_.clear();
    treeLines_.clear();
    ServerTables tables;
    using Step = bool (CDataFolderReader::*)(ServerTables&);
    // In this order every table finds the tables it refers to already read.
    static constexpr Step kSteps[] = {
        &CDataFolderReader::ReadSettings,        &CDataFolderReader::ReadClientInfo,
        &CDataFolderReader::ReadAccounts,        &CDataFolderReader::ReadSecurityTypes,
        &CDataFolderReader::ReadCountries,       &CDataFolderReader::ReadExchanges,
        &CDataFolderReader::ReadSearchKinds,     &CDataFolderReader::ReadInstruments,
        &CDataFolderReader::ReadLegacyNumbers,   &CDataFolderReader::ReadCatalogueGroups,
        &CDataFolderReader::ReadCatalogues,      &CDataFolderReader::ReadCatalogueTree,
        &CDataFolderReader::ReadCatalogueMembers};
    for (Step step : kSteps) {
        if (!(this->*step)(tables)) {
            return std::nullopt;
        }
    }
    if (!CheckTreeNesting(tables)) {
        return std::nullopt;
    }
    WarnAboutTree(tables);
    return tables;
}

bool CDataFolderReader::ReadSettings(ServerTables& tables) {
    ServerSettings& settings = tables.settings;
    return ReadKeyValueFile(folder_, kSettingsFile, &error_, [&](const KeyValueEntry& entry) {
        if (entry.key == kSearchHitLimitKey) {
            return NumberSetting(entry, 1, kMaxSearchHitLimit, &settings.searchHitLimit);
        }
        if (entry.key == kBarCacheMegabytesKey) {
            return NumberSetting(entry, 1, kMaxBarCacheMegabytes, &settings.barCacheMegabytes);
        }
        return UnknownKey(entry);
    });
}

bool CDataFolderReader::ReadClientInfo(ServerTables& tables) {
    ClientInformation& info = tables.clientInfo;
    return ReadKeyValueFile(folder_, kClientInfoFile, &error_, [&](const KeyValueEntry& entry) {
        if (entry.key == kMessageKey) {
            return TextSetting(entry, kMaxClientMessageChars, true, &info.message);
        }
        if (entry.key == kUpdateAvailableKey) {
            return BooleanSetting(entry, &info.updateAvailable);
        }
        if (entry.key == kUpdateMandatoryKey) {
            return BooleanSetting(entry, &info.updateMandatory);
        }
        if (entry.key == kReservedTextKey) {
            return TextSetting(entry, kMaxClientInfoTextChars, false, &info.reservedText);
        }
        if (entry.key == kInfoAddressKey) {
            return TextSetting(entry, kMaxClientInfoTextChars, false, &info.infoAddress);
        }
        if (entry.key == kLinkCaptionKey) {
            return TextSetting(entry, kMaxClientInfoTextChars, false, &info.linkCaption);
        }
        if (entry.key == kReservedNumberKey) {
            return NumberSetting(entry, kInt32Min, kInt32Max, &info.reservedNumber);
        }
        return UnknownKey(entry);
    });
}

bool CDataFolderReader::ReadAccounts(ServerTables& tables) {
    CTableReading table(folder_, kAccountsFile, kAccountColumns, &error_);
    if (!table.Open(true)) {
        return false;
    }
    std::unordered_map<std::string, int> accounts;
    std::unordered_map<std::int64_t, int> checkNumbers;
    std::unordered_map<std::int64_t, int> loginNumbers;
    while (table.NextRow()) {
        ServerAccount account;
        if (!table.Text(kAccount, kMaxAccountTextChars, true, &account.account) ||
            !table.UniqueText(accounts, account.account, kAccount) ||
            !table.Text(kPassword, kMaxAccountTextChars, false, &account.password)) {
            return false;
        }
        const auto state = AccountStateFromName(table.Field(kState));
        if (!state) {
            return table.FailColumn(kState, "is not one of valid, blocked, invalid, message, "
                                            "realtime-unavailable, database-error");
        }
        account.state = *state;
        const bool valid = account.state == AccountState::Valid;
        for (auto [column, number] : {std::pair{kLoginResult, &account.loginResult},
                                      std::pair{kCheckResult, &account.checkResult},
                                      std::pair{kLoginNumber, &account.loginNumber}}) {
            if (valid && table.IsEmpty(column)) {
                return table.Fail("a valid account needs " + std::string(kAccountColumns[column]));
            }
            if (!table.OptionalNumber(column, 1, kInt32Max, number)) {
                return false;
            }
        }
        if (!table.IsEmpty(kFlags)) {
            const auto flags = ParseFlagWord(table.Field(kFlags));
            if (!flags) {
                return table.FailColumn(kFlags, "is not a 32-bit number (decimal or 0x...)");
            }
            account.flagWord = *flags;
        }
        if (!table.Text(kMessage, kMaxServerMessageChars,
                        account.state == AccountState::ServerMessage, &account.message)) {
            return false;
        }
        // The two numbers identify the account in later requests.
        if (valid && (!table.Unique(checkNumbers, account.checkResult, kCheckResult) ||
                      !table.Unique(loginNumbers, account.loginNumber, kLoginNumber))) {
            return false;
        }
        tables.accounts.push_back(std::move(account));
    }
    return !table.Failed();
}

bool CDataFolderReader::ReadNumberedNames(CTableReading& table, std::vector<NumberedName>& names) {
    std::unordered_map<std::int64_t, int> numbers;
    while (table.NextRow()) {
        NumberedName entry;
        if (!table.Number(0, 1, kMaxShortNumber, &entry.number) ||
            !table.Unique(numbers, entry.number, 0) ||
            !table.Text(1, kMaxTableNameChars, true, &entry.name)) {
            return false;
        }
        names.push_back(std::move(entry));
    }
    return !table.Failed();
}

bool CDataFolderReader::ReadSecurityTypes(ServerTables& tables) {
    CTableReading table(folder_, kSecurityTypesFile, kNumberedNameColumns, &error_);
    return table.Open(true) && ReadNumberedNames(table, tables.securityTypes);
}

bool CDataFolderReader::ReadCountries(ServerTables& tables) {
    CTableReading table(folder_, kCountriesFile, kNumberedNameColumns, &error_);
    if (!table.Open(false)) {
        return !table.Failed();
    }
    return ReadNumberedNames(table, tables.countries);
}

bool CDataFolderReader::ReadExchanges(ServerTables& tables) {
    CTableReading table(folder_, kExchangesFile, kExchangeColumns, &error_);
    if (!table.Open(true)) {
        return false;
    }
    std::unordered_map<std::int64_t, int> numbers;
    while (table.NextRow()) {
        ServerExchange exchange;
        if (!table.Number(0, 1, kMaxShortNumber, &exchange.number) ||
            !table.Unique(numbers, exchange.number, 0) ||
            !table.Text(1, kMaxTableNameChars, true, &exchange.name) ||
            !table.Boolean(2, &exchange.flag)) {
            return false;
        }
        const auto start = ParseMinuteTime(table.Field(3));
        if (!start) {
            return table.FailColumn(3, "is not a time of day HH:MM");
        }
        exchange.sessionStart = *start;
        tables.exchanges.push_back(std::move(exchange));
    }
    return !table.Failed();
}

bool CDataFolderReader::ReadSearchKinds(ServerTables& tables) {
    CTableReading table(folder_, kSearchKindsFile, kSearchKindColumns, &error_);
    if (!table.Open(true)) {
        return false;
    }
    std::unordered_map<std::int64_t, int> codes;
    while (table.NextRow()) {
        SearchKind kind;
        if (!table.Number(0, 0, kMaxSearchKindCode, &kind.code) ||
            !table.Unique(codes, kind.code, 0) ||
            !table.Text(1, kMaxSearchKindNameChars, true, &kind.name)) {
            return false;
        }
        const auto fields = SearchFieldsFromText(table.Field(2));
        if (!fields) {
            return table.FailColumn(2, "is not a list like symbol+name+isin");
        }
        const auto match = SearchMatchFromName(table.Field(3));
        if (!match) {
            return table.FailColumn(3, "is not exact, prefix or contains");
        }
        kind.fields = *fields;
        kind.match = *match;
        tables.searchKinds.push_back(std::move(kind));
    }
    return !table.Failed();
}

bool CDataFolderReader::ReadInstruments(ServerTables& tables) {
    CTableReading table(folder_, kInstrumentsFile, kInstrumentColumns, &error_);
    if (!table.Open(true)) {
        return false;
    }
    std::unordered_set<std::int32_t> types;
    for (const NumberedName& type : tables.securityTypes) {
        types.insert(type.number);
    }
    std::unordered_set<std::int32_t> exchanges;
    for (const ServerExchange& exchange : tables.exchanges) {
        exchanges.insert(exchange.number);
    }
    std::unordered_map<std::int64_t, int> sinCodes;
    std::unordered_map<std::int64_t, int> legacyNumbers;
    std::unordered_map<std::string, int> symbols;
    while (table.NextRow()) {
        ServerInstrument instrument;
        if (!table.Number(kSinCode, 1, kMaxSinCode, &instrument.sinCode) ||
            !table.Unique(sinCodes, instrument.sinCode, kSinCode) ||
            !table.OptionalNumber(kLegacy, 0, kInt32Max, &instrument.legacyNumber) ||
            (instrument.legacyNumber != 0 &&
             !table.Unique(legacyNumbers, instrument.legacyNumber, kLegacy)) ||
            !table.Number(kType, 1, kMaxShortNumber, &instrument.securityType) ||
            !table.Number(kExchange, 1, kMaxShortNumber, &instrument.exchange) ||
            !table.Text(kSymbol, kMaxSymbolChars, true, &instrument.symbol) ||
            !table.UniqueText(symbols, instrument.symbol, kSymbol) ||
            !table.Text(kName, kMaxInstrumentNameChars, true, &instrument.name) ||
            !table.Text(kCurrency, kMaxCurrencyChars, false, &instrument.currency) ||
            !table.Number(kDecimals, 0, kMaxDecimals, &instrument.decimals)) {
            return false;
        }
        if (!types.contains(instrument.securityType)) {
            return table.FailColumn(kType, "is not in " + std::string(kSecurityTypesFile));
        }
        if (!exchanges.contains(instrument.exchange)) {
            return table.FailColumn(kExchange, "is not in " + std::string(kExchangesFile));
        }
        instrument.isin = table.Field(kIsin);
        if (!instrument.isin.empty() && !IsValidIsin(instrument.isin)) {
            return table.FailColumn(kIsin, "is not an ISIN with a valid check digit");
        }
        tables.instruments.push_back(std::move(instrument));
    }
    return !table.Failed();
}

bool CDataFolderReader::ReadLegacyNumbers(ServerTables& tables) {
    CTableReading table(folder_, kLegacyNumbersFile, kLegacyNumberColumns, &error_);
    if (!table.Open(false)) {
        return !table.Failed();
    }
    std::unordered_set<std::int32_t> sinCodes;
    std::unordered_set<std::int32_t> instrumentNumbers;
    for (const ServerInstrument& instrument : tables.instruments) {
        sinCodes.insert(instrument.sinCode);
        instrumentNumbers.insert(instrument.legacyNumber);
    }
    std::unordered_map<std::int64_t, int> numbers;
    while (table.NextRow()) {
        LegacyTranslation translation;
        if (!table.Number(0, 1, kInt32Max, &translation.legacyNumber) ||
            !table.Unique(numbers, translation.legacyNumber, 0) ||
            !table.Number(1, 1, kMaxSinCode, &translation.sinCode)) {
            return false;
        }
        if (instrumentNumbers.contains(translation.legacyNumber)) {
            return table.FailColumn(0, "is already the legacy number of an instrument");
        }
        if (!sinCodes.contains(translation.sinCode)) {
            return table.FailColumn(1, "is not in " + std::string(kInstrumentsFile));
        }
        tables.legacyTranslations.push_back(translation);
    }
    return !table.Failed();
}

bool CDataFolderReader::ReadCatalogueGroups(ServerTables& tables) {
    CTableReading table(folder_, kCatalogueGroupsFile, kCatalogueGroupColumns, &error_);
    if (!table.Open(false)) {
        return !table.Failed();
    }
    std::unordered_map<std::int64_t, int> ids;
    while (table.NextRow()) {
        CatalogueGroup group;
        if (!table.Number(0, 0, kInt32Max, &group.id) || !table.Unique(ids, group.id, 0) ||
            !table.Text(1, kMaxTableNameChars, false, &group.name)) {
            return false;
        }
        tables.catalogueGroups.push_back(std::move(group));
    }
    return !table.Failed();
}

bool CDataFolderReader::ReadCatalogues(ServerTables& tables) {
    CTableReading table(folder_, kCataloguesFile, kCatalogueColumns, &error_);
    if (!table.Open(false)) {
        return !table.Failed();
    }
    std::unordered_map<std::int64_t, int> numbers;
    while (table.NextRow()) {
        Catalogue catalogue;
        if (!table.Number(0, 1, kMaxShortNumber, &catalogue.number) ||
            !table.Unique(numbers, catalogue.number, 0) ||
            !table.Text(1, kMaxCatalogueShortNameChars, false, &catalogue.shortName) ||
            !table.Text(2, kMaxCatalogueNameChars, false, &catalogue.name)) {
            return false;
        }
        tables.catalogues.push_back(std::move(catalogue));
    }
    return !table.Failed();
}

bool CDataFolderReader::ReadCatalogueTree(ServerTables& tables) {
    CTableReading table(folder_, kCatalogueTreeFile, kCatalogueTreeColumns, &error_);
    if (!table.Open(false)) {
        return !table.Failed();
    }
    while (table.NextRow()) {
        CatalogueTreeEntry entry;
        if (!table.Number(0, kInt32Min, kInt32Max, &entry.id) ||
            !table.Number(1, kInt32Min, kInt32Max, &entry.parent) ||
            !table.Number(2, 0, 255, &entry.kind) ||
            !table.Number(3, kInt32Min, kInt32Max, &entry.extra)) {
            return false;
        }
        tables.catalogueTree.push_back(entry);
        treeLines_.push_back(table.Line());
    }
    return !table.Failed();
}

bool CDataFolderReader::ReadCatalogueMembers(ServerTables& tables) {
    CTableReading table(folder_, kCatalogueMembersFile, kCatalogueMemberColumns, &error_);
    if (!table.Open(false)) {
        return !table.Failed();
    }
    std::unordered_map<std::int32_t, Catalogue*> catalogues;
    for (Catalogue& catalogue : tables.catalogues) {
        catalogues.emplace(catalogue.number, &catalogue);
    }
    std::unordered_set<std::int32_t> sinCodes;
    for (const ServerInstrument& instrument : tables.instruments) {
        sinCodes.insert(instrument.sinCode);
    }
    while (table.NextRow()) {
        std::int32_t number = 0;
        std::int32_t sinCode = 0;
        if (!table.Number(0, 1, kMaxShortNumber, &number) ||
            !table.Number(1, 1, kMaxSinCode, &sinCode)) {
            return false;
        }
        const auto catalogue = catalogues.find(number);
        if (catalogue == catalogues.end()) {
            return table.FailColumn(0, "is not in " + std::string(kCataloguesFile));
        }
        if (!sinCodes.contains(sinCode)) {
            return table.FailColumn(1, "is not in " + std::string(kInstrumentsFile));
        }
        catalogue->second->members.push_back(sinCode);
    }
    return !table.Failed();
}

// The client fills its tree by recursing from the top into the children of
// every group entry, so a group inside itself would never end and a very deep
// chain would exhaust its stack.
bool CDataFolderReader::CheckTreeNesting(const ServerTables& tables) {
    const auto& tree = tables.catalogueTree;
    std::multimap<std::int32_t, std::size_t> groupChildren; // parent id -> entry index
    for (std::size_t i = 0; i < tree.size(); ++i) {
        if (tree[i].kind == 0) {
            groupChildren.emplace(tree[i].parent, i);
        }
    }
    auto fail = [&](std::size_t entry, const std::string& message) {
        error_ = DataError{std::string(kCatalogueTreeFile), treeLines_[entry], message};
        return false;
    };
    // height[i]: 0 not visited yet, -1 on the current path, else the levels of groups from i down.
    std::vector<int> height(tree.size(), 0);
    struct Frame {
        std::size_t entry;
        std::multimap<std::int32_t, std::size_t>::const_iterator next, end;
    };
    std::vector<Frame> path;
    auto enter = [&](std::size_t entry) {
        height[entry] = -1;
        const auto [first, last] = groupChildren.equal_range(tree[entry].id);
        path.push_back(Frame{entry, first, last});
    };
    for (std::size_t root = 0; root < tree.size(); ++root) {
        if (tree[root].kind != 0 || height[root] != 0) {
            continue;
        }
        enter(root);
        while (!path.empty()) {
            Frame& frame = path.back();
            if (frame.next != frame.end) {
                const std::size_t child = (frame.next++)->second;
                if (height[child] == -1) {
                    return fail(child, "group " + std::to_string(tree[child].id) +
                                           " is placed inside itself");
                }
                if (height[child] == 0) {
                    enter(child);
                    continue;
                }
            }
            // Done with the frame's children so far: fold the finished child heights in.
            if (frame.next == frame.end) {
                const std::size_t entry = frame.entry;
                path.pop_back();
                int levels = 1;
                const auto [first, last] = groupChildren.equal_range(tree[entry].id);
                for (auto it = first; it != last; ++it) {
                    levels = std::max(levels, height[it->second] + 1);
                }
                if (levels > kMaxTreeDepth) {
                    return fail(entry, "groups are nested deeper than " +
                                           std::to_string(kMaxTreeDepth) + " levels");
                }
                height[entry] = levels;
            }
        }
    }
    return true;
}

void CDataFolderReader::WarnAboutTree(const ServerTables& tables) {
    std::unordered_set<std::int32_t> groups;
    for (const CatalogueGroup& group : tables.catalogueGroups) {
        groups.insert(group.id);
    }
    std::unordered_set<std::int32_t> catalogues;
    for (const Catalogue& catalogue : tables.catalogues) {
        catalogues.insert(catalogue.number);
    }
    std::unordered_set<std::int32_t> treeGroups;
    for (const CatalogueTreeEntry& entry : tables.catalogueTree) {
        if (entry.kind == 0) {
            treeGroups.insert(entry.id);
        }
    }
    const std::string file(kCatalogueTreeFile);
    for (std::size_t i = 0; i < tables.catalogueTree.size(); ++i) {
        const CatalogueTreeEntry& entry = tables.catalogueTree[i];
        const std::string where = file + ":" + std::to_string(treeLines_[i]) + ": ";
        if (entry.parent != kTreeTop && !treeGroups.contains(entry.parent)) {
            warnings_.push_back(where + "parent " + std::to_string(entry.parent) +
                                " is no group of the tree; the entry is never shown");
        }
        if (entry.kind == 0 && !groups.contains(entry.id)) {
            warnings_.push_back(where + "group " + std::to_string(entry.id) + " is not in " +
                                std::string(kCatalogueGroupsFile) + "; it is shown without a name");
        }
        if (entry.kind != 0 && !catalogues.contains(entry.id)) {
            warnings_.push_back(where + "catalogue " + std::to_string(entry.id) + " is not in " +
                                std::string(kCataloguesFile) + "; it is shown without a name");
        }
    }
}

} // namespace mvr
