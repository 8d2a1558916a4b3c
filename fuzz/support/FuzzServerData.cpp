#include "FuzzServerData.h"

#include "TempFolder.h"

#include "core/formats/DayNumber.h"
#include "server/DataFolderWriter.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

namespace mvr::fuzz {

namespace {

constexpr DATUM kFirstDay{2, 1, 2024};
constexpr int kDailyBars = 40;
constexpr int kIntradayDays = 3;
constexpr int kMinutesPerDay = 90;
constexpr std::int32_t kSessionStart = 9 * 3600;

ServerAccount Account(const char* name, AccountState state, std::int32_t number,
                      std::uint32_t flags) {
    ServerAccount account;
    account.account = name;
    account.password = kValidPassword;
    account.state = state;
    account.loginResult = number;
    account.checkResult = number + 2;
    account.loginNumber = number;
    account.flagWord = flags;
    if (state == AccountState::ServerMessage) {
        account.message = "Maintenance tonight";
    }
    return account;
}

ServerTables Tables() {
    ServerTables t;
    t.clientInfo.message = "A new version is ready.\nPlease update.";
    t.clientInfo.updateAvailable = true;
    t.clientInfo.infoAddress = "https://example.invalid/update";
    t.clientInfo.linkCaption = "Update";
    t.clientInfo.reservedText = "r";
    t.clientInfo.reservedNumber = 3;
    t.accounts = {Account(kValidAccount, AccountState::Valid, kValidLoginNumber, 0),
                  Account(kExtraSectionsAccount, AccountState::Valid, 11, 0x00020000),
                  Account(kMessageAccount, AccountState::ServerMessage, 0, 0)};
    t.securityTypes = {{1, "Shares"}, {2, "Indices"}};
    t.countries = {{49, "Germany"}};
    t.exchanges = {{1, "XETR Xetra", true, kSessionStart}, {2, "FRA Frankfurt", false, 0}};
    t.searchKinds = {{1, "Symbol", kSearchSymbol, SearchMatch::Prefix},
                     {2, "Name", kSearchName, SearchMatch::Contains},
                     {3, "ISIN", kSearchIsin, SearchMatch::Exact}};
    t.instruments = {{kFirstSinCode, kLegacyNumber, 1, 1, "SAPX", "DE0007164600", "Sapex", "EUR", 2},
                     {kSecondSinCode, 502, 2, 2, "IDX", "", "Index", "EUR", 0}};
    t.legacyTranslations = {{601, kSecondSinCode}};
    t.catalogueGroups = {{10, "Shares"}, {11, "Indices"}};
    t.catalogues = {{kCatalogueNumber, "ALL", "All", {kFirstSinCode, kSecondSinCode, kFirstSinCode}},
                    {2, "IDX", "Indices", {kSecondSinCode}}};
    t.catalogueTree = {{10, -1, 0, 0}, {11, 10, 0, 0}, {kCatalogueNumber, 10, 1, 0}, {2, 11, 1, 4}};
    return t;
}

std::int32_t FirstDay() {
    return DatumToDayNumber(kFirstDay);
}

void WriteBars(const CDataFolderWriter& writer) {
    std::vector<DailyBar> daily;
    std::int32_t price = 15000;
    for (int i = 0; i < kDailyBars; ++i) {
        price += (i % 3 == 0 ? 37 : -21) * (i % 5);
        daily.push_back({FirstDay() + i, price, price + 90, price - 60, price + 15, 1000 + 17 * i});
    }
    std::vector<IntradayBar> minutes;
    for (int d = 0; d < kIntradayDays; ++d) {
        for (int m = 0; m < kMinutesPerDay; ++m) {
            const std::int32_t p = 15000 + 3 * m - 5 * d;
            minutes.push_back({FirstDay() + kDailyBars - kIntradayDays + d,
                               kSessionStart + 60 * m, p, p + 4, p - 2, p + 1, 10 * m});
        }
    }
    std::vector<DailyBar> index;
    for (int i = 0; i < kDailyBars / 2; ++i) {
        index.push_back({FirstDay() + 2 * i, 17000 + i, 17100 + i, 16900, 17050, 0});
    }
    if (!writer.WriteDailyBars(kFirstSinCode, 2, daily) ||
        !writer.WriteIntradayBars(kFirstSinCode, 2, minutes) ||
        !writer.WriteDailyBars(kSecondSinCode, 0, index)) {
        std::fprintf(stderr, "cannot write the fuzz data folder's bars\n");
        std::abort();
    }
}

} // namespace

std::int32_t FuzzToday() {
    return FirstDay() + kDailyBars;
}

const CServerData& FuzzServerData() {
    static const std::unique_ptr<CServerData> data = [] {
        const std::string folder =
            (std::filesystem::path(ProcessTempFolder()) / "server-data").string();
        const CDataFolderWriter writer(folder);
        std::string failed;
        if (!writer.WriteTables(Tables(), &failed)) {
            std::fprintf(stderr, "cannot write %s\n", failed.c_str());
            std::abort();
        }
        WriteBars(writer);
        DataError error;
        auto opened = CServerData::Open(folder, &error);
        if (!opened) {
            std::fprintf(stderr, "the fuzz data folder does not open\n");
            std::abort();
        }
        return opened;
    }();
    return *data;
}

std::vector<JAHRESCHARTARRAY> DailyRequestEntries() {
    std::vector<JAHRESCHARTARRAY> entries(3);
    entries[0].SInCode = kFirstSinCode;
    entries[0].startDay = FirstDay() + 5;
    entries[0].endDay = FirstDay() + 25;
    entries[1].SInCode = 999999; // unknown: an entry without bars
    entries[1].startDay = FirstDay();
    entries[1].endDay = FuzzToday();
    entries[2].SInCode = kSecondSinCode;
    entries[2].startDay = FirstDay();
    entries[2].endDay = FuzzToday();
    return entries;
}

std::vector<JAHRESCHARTARRAY> IntradayRequestEntries() {
    std::vector<JAHRESCHARTARRAY> entries(2);
    for (JAHRESCHARTARRAY& entry : entries) {
        entry.SInCode = kFirstSinCode;
        entry.daysBack = -5;
        entry.startDay = FuzzToday() - 5;
        entry.endDay = FuzzToday();
    }
    entries[0].interval = 15;
    entries[1].interval = 60;
    entries[1].startDay = FuzzToday() - 2; // some days are passed over
    return entries;
}

} // namespace mvr::fuzz
