#include "server/DataFolderWriter.h"

#include "core/platform/AtomicFile.h"
#include "core/platform/FileSystem.h"
#include "server/BarFiles.h"
#include "server/CsvText.h"
#include "server/FieldText.h"
#include "server/KeyValueText.h"

#include <array>

namespace mvr {

namespace {

// One CSV row from values that are texts or numbers.
class CRow {
public:
    CRow& Add(std::string_view text) {
        texts_[count_++] = std::string(text);
        return *this;
    }
    CRow& Add(std::int64_t number) { return Add(std::string_view(std::to_string(number))); }

    void AppendTo(std::string& out) const {
        std::array<std::string_view, kMaxColumns> views;
        for (std::size_t i = 0; i < count_; ++i) {
            views[i] = texts_[i];
        }
        AppendCsvRow(out, std::span(views.data(), count_));
    }

private:
    static constexpr std::size_t kMaxColumns = 9;
    std::array<std::string, kMaxColumns> texts_;
    std::size_t count_ = 0;
};

template <std::size_t N, class Range, class MakeRow>
std::string FormatTable(const std::array<std::string_view, N>& columns, const Range& rows,
                        MakeRow makeRow) {
    std::string out;
    AppendCsvRow(out, columns);
    for (const auto& row : rows) {
        makeRow(row).AppendTo(out);
    }
    return out;
}

std::string Flag(bool value) {
    return value ? "1" : "0";
}

} // namespace

std::string FormatSettings(const ServerSettings& settings) {
    std::string out = "# Settings of the price server\n";
    AppendKeyValue(out, kSearchHitLimitKey, std::to_string(settings.searchHitLimit));
    AppendKeyValue(out, kBarCacheMegabytesKey, std::to_string(settings.barCacheMegabytes));
    return out;
}

std::string FormatClientInfo(const ClientInformation& info) {
    std::string out = "# Client information: the message and the update notice\n";
    AppendKeyValue(out, kMessageKey, info.message);
    AppendKeyValue(out, kUpdateAvailableKey, Flag(info.updateAvailable));
    AppendKeyValue(out, kUpdateMandatoryKey, Flag(info.updateMandatory));
    AppendKeyValue(out, kReservedTextKey, info.reservedText);
    AppendKeyValue(out, kInfoAddressKey, info.infoAddress);
    AppendKeyValue(out, kLinkCaptionKey, info.linkCaption);
    AppendKeyValue(out, kReservedNumberKey, std::to_string(info.reservedNumber));
    return out;
}

std::string FormatAccounts(const std::vector<ServerAccount>& accounts) {
    return FormatTable(kAccountColumns, accounts, [](const ServerAccount& a) {
        CRow row;
        row.Add(a.account).Add(a.password).Add(AccountStateName(a.state));
        // The numbers only mean something for a valid account.
        if (a.state == AccountState::Valid) {
            row.Add(a.loginResult).Add(a.checkResult).Add(a.loginNumber);
        } else {
            row.Add("").Add("").Add("");
        }
        return row.Add(FormatFlagWord(a.flagWord)).Add(a.message);
    });
}

std::string FormatNumberedNames(const std::vector<NumberedName>& names) {
    return FormatTable(kNumberedNameColumns, names,
                       [](const NumberedName& n) { return CRow().Add(n.number).Add(n.name); });
}

std::string FormatExchanges(const std::vector<ServerExchange>& exchanges) {
    return FormatTable(kExchangeColumns, exchanges, [](const ServerExchange& e) {
        return CRow()
            .Add(e.number)
            .Add(e.name)
            .Add(Flag(e.flag))
            .Add(FormatMinuteTime(e.sessionStart));
    });
}

std::string FormatSearchKinds(const std::vector<SearchKind>& kinds) {
    return FormatTable(kSearchKindColumns, kinds, [](const SearchKind& k) {
        return CRow()
            .Add(k.code)
            .Add(k.name)
            .Add(SearchFieldsText(k.fields))
            .Add(SearchMatchName(k.match));
    });
}

std::string FormatInstruments(const std::vector<ServerInstrument>& instruments) {
    return FormatTable(kInstrumentColumns, instruments, [](const ServerInstrument& i) {
        return CRow()
            .Add(i.sinCode)
            .Add(i.legacyNumber)
            .Add(i.securityType)
            .Add(i.exchange)
            .Add(i.symbol)
            .Add(i.isin)
            .Add(i.name)
            .Add(i.currency)
            .Add(i.decimals);
    });
}

std::string FormatLegacyNumbers(const std::vector<LegacyTranslation>& translations) {
    return FormatTable(kLegacyNumberColumns, translations, [](const LegacyTranslation& t) {
        return CRow().Add(t.legacyNumber).Add(t.sinCode);
    });
}

std::string FormatCatalogueGroups(const std::vector<CatalogueGroup>& groups) {
    return FormatTable(kCatalogueGroupColumns, groups,
                       [](const CatalogueGroup& g) { return CRow().Add(g.id).Add(g.name); });
}

std::string FormatCatalogues(const std::vector<Catalogue>& catalogues) {
    return FormatTable(kCatalogueColumns, catalogues, [](const Catalogue& c) {
        return CRow().Add(c.number).Add(c.shortName).Add(c.name);
    });
}

std::string FormatCatalogueTree(const std::vector<CatalogueTreeEntry>& tree) {
    return FormatTable(kCatalogueTreeColumns, tree, [](const CatalogueTreeEntry& e) {
        return CRow().Add(e.id).Add(e.parent).Add(e.kind).Add(e.extra);
    });
}

std::string FormatCatalogueMembers(const std::vector<Catalogue>& catalogues) {
    std::string out;
    AppendCsvRow(out, kCatalogueMemberColumns);
    for (const Catalogue& catalogue : catalogues) {
        for (std::int32_t sinCode : catalogue.members) {
            CRow().Add(catalogue.number).Add(sinCode).AppendTo(out);
        }
    }
    return out;
}

bool CDataFolderWriter::WriteTables(const ServerTables& tables, std::string* failedFile) const {
    for (std::string_view folder : {std::string_view{}, kDailyFolder, kIntradayFolder}) {
        if (!CreateFolders(DataFilePath(folder_, folder))) {
            *failedFile = DataFilePath(folder_, folder);
            return false;
        }
    }
    const std::pair<std::string_view, std::string> files[] = {
        {kSettingsFile, FormatSettings(tables.settings)},
        {kClientInfoFile, FormatClientInfo(tables.clientInfo)},
        {kAccountsFile, FormatAccounts(tables.accounts)},
        {kSecurityTypesFile, FormatNumberedNames(tables.securityTypes)},
        {kCountriesFile, FormatNumberedNames(tables.countries)},
        {kExchangesFile, FormatExchanges(tables.exchanges)},
        {kSearchKindsFile, FormatSearchKinds(tables.searchKinds)},
        {kInstrumentsFile, FormatInstruments(tables.instruments)},
        {kLegacyNumbersFile, FormatLegacyNumbers(tables.legacyTranslations)},
        {kCatalogueGroupsFile, FormatCatalogueGroups(tables.catalogueGroups)},
        {kCataloguesFile, FormatCatalogues(tables.catalogues)},
        {kCatalogueTreeFile, FormatCatalogueTree(tables.catalogueTree)},
        {kCatalogueMembersFile, FormatCatalogueMembers(tables.catalogues)},
    };
    for (const auto& [name, text] : files) {
        // The accounts file holds passwords.
        const NewFileAccess access =
            name == kAccountsFile ? NewFileAccess::OwnerOnly : NewFileAccess::Default;
        if (!WriteFile(name, text, access)) {
            *failedFile = DataFilePath(folder_, name);
            return false;
        }
    }
    return true;
}

bool CDataFolderWriter::WriteDailyBars(std::int32_t sinCode, int decimals,
                                       std::span<const DailyBar> bars) const {
    return WriteFile(BarFileName(BarKind::Daily, sinCode), FormatDailyBars(bars, decimals));
}

bool CDataFolderWriter::WriteIntradayBars(std::int32_t sinCode, int decimals,
                                          std::span<const IntradayBar> bars) const {
    return WriteFile(BarFileName(BarKind::Intraday, sinCode), FormatIntradayBars(bars, decimals));
}

bool CDataFolderWriter::WriteFile(std::string_view relativeName, const std::string& text,
                                  NewFileAccess access) const {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    return WriteFileAtomically(DataFilePath(folder_, relativeName),
                               std::span<const std::uint8_t>(bytes, text.size()), access);
}

} // namespace mvr
