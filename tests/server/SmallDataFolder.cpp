#include "SmallDataFolder.h"

#include "core/platform/AtomicFile.h"
#include "server/DataFolderLayout.h"
#include "server/DataFolderWriter.h"
#include "server/Isin.h"

#include <gtest/gtest.h>

namespace mvr::test {

std::string Isin(std::string_view firstEleven) {
    return std::string(firstEleven) + *IsinCheckDigit(firstEleven);
}

DailyBar Daily(std::int32_t day, std::int32_t open, std::int32_t high, std::int32_t low,
               std::int32_t close, std::int32_t volume) {
    return DailyBar{day, open, high, low, close, volume};
}

ServerTables SmallTables() {
    ServerTables t;
    t.settings.searchHitLimit = 3;
    t.settings.barCacheMegabytes = 1;
    t.clientInfo = {"Hello,\nworld", true, false, "kept", "https://example.com/info", "News", 7};

    auto valid = [](std::string account, std::string password, std::int32_t login,
                    std::int32_t check, std::int32_t number, std::uint32_t flags) {
        ServerAccount a;
        a.account = std::move(account);
        a.password = std::move(password);
        a.loginResult = login;
        a.checkResult = check;
        a.loginNumber = number;
        a.flagWord = flags;
        return a;
    };
    auto other = [](std::string account, AccountState state, std::string message = "") {
        ServerAccount a;
        a.account = std::move(account);
        a.password = "pw";
        a.state = state;
        a.message = std::move(message);
        return a;
    };
    t.accounts = {valid("valid1", "pw", 7, 70, 700, 0x40000),
                  valid("valid2", "Pw 2", 1, 71, 701, 0),
                  other("blocked", AccountState::Blocked),
                  other("invalid", AccountState::Invalid),
                  other("message", AccountState::ServerMessage, "Please call us, today"),
                  other("nort", AccountState::RealtimeUnavailable),
                  other("dberr", AccountState::DatabaseError)};
    t.securityTypes = {{1, "Shares"}, {2, "Bonds"}, {4, "Indices"}};
    t.countries = {{276, "Germany"}};
    t.exchanges = {{1, "XETR Xetra", true, 9 * 3600},
                   {2, "NYSE New York", false, 9 * 3600 + 1800},
                   {3, "OTC  ", false, 0}};
    t.searchKinds = {
        {1, "Name", kSearchName, SearchMatch::Contains},
        {2, "Symbol", kSearchSymbol, SearchMatch::Prefix},
        {3, "ISIN", kSearchIsin, SearchMatch::Prefix},
        {4, "Exact symbol", kSearchSymbol, SearchMatch::Exact},
        {5, "Anything", kSearchSymbol | kSearchName | kSearchIsin, SearchMatch::Contains}};
    t.instruments = {
        {1001, 501, 1, 1, "SAPX", Isin("DE000716460"), "Sapex Software AG", "EUR", 2},
        {1002, 502, 1, 2, "APLX", Isin("US037833100"), "Applex Inc.", "USD", 2},
        {1003, 0, 2, 1, "BUND30", Isin("DE000110258"), "Bund 2.50% 2030", "EUR", 3},
        {1004, 504, 4, 1, "IDX", "", "Marvane Index", "EUR", 0},
        {1005, 505, 1, 3, "OTCA", Isin("DE000123456"), "Otcana \"Quoted\", Holding", "EUR", 6},
        {1006, 506, 1, 1, "sapy", Isin("DE000654321"), "Sapy Systems SE", "", 2},
    };
    t.legacyTranslations = {{9001, 1002}};
    t.catalogueGroups = {{10, "Shares"}, {20, "Lists"}};
    t.catalogues = {{1, "ALL", "All instruments", {1001, 1002, 1003, 1004, 1005, 1006}},
                    {2, "REP", "Repeats", {1001, 1002, 1001, 1003, 1001}},
                    {3, "EMPTY", "", {}}};
    t.catalogueTree = {
        {10, kTreeTop, 0, 0}, {1, 10, 1, 5}, {2, 10, 1, 0}, {20, kTreeTop, 0, 0}, {3, 20, 1, -1}};
    return t;
}

void WriteDataFolder(const std::string& folder, const ServerTables& tables) {
    std::string failed;
    ASSERT_TRUE(CDataFolderWriter(folder).WriteTables(tables, &failed)) << failed;
}

void WriteDataFile(const std::string& folder, std::string_view relativeName,
                   std::string_view text) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    ASSERT_TRUE(WriteFileAtomically(DataFilePath(folder, relativeName),
                                    std::span<const std::uint8_t>(bytes, text.size())));
}

} // namespace mvr::test
