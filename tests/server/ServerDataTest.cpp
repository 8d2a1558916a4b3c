#include "server/ServerData.h"

#include "server/BarFiles.h"
#include "server/DataFolderLayout.h"
#include "server/FieldText.h"
#include "SmallDataFolder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace mvr {
namespace {

using test::TempDir;
using test::WriteDataFile;

class ServerDataTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::WriteDataFolder(folder.Path());
        Open();
    }

    void Open() {
        DataError error;
        data = CServerData::Open(folder.Path(), &error);
        ASSERT_TRUE(data) << error.Text();
    }

    std::vector<std::int32_t> Hits(std::int32_t kind, std::string text, std::int32_t type = 0,
                                   std::int32_t exchange = 0,
                                   SearchOutcome outcome = SearchOutcome::Complete) {
        const SearchResult result = data->Search(SearchQuery{kind, type, exchange, text});
        EXPECT_EQ(result.outcome, outcome) << text;
        std::vector<std::int32_t> codes;
        for (const ServerInstrument* hit : result.hits) {
            codes.push_back(hit->sinCode);
        }
        return codes;
    }

    TempDir folder;
    std::unique_ptr<CServerData> data;
};

TEST_F(ServerDataTest, LoginAndAccountCheckAnswerEveryState) {
    const AccountAnswer login = data->Login("valid1", "pw");
    EXPECT_EQ(login.result, 7);
    ASSERT_NE(login.account, nullptr);
    EXPECT_EQ(login.account->loginNumber, 700);
    EXPECT_EQ(login.account->flagWord, 0x40000u);
    EXPECT_EQ(data->CheckAccount("valid1", "pw").result, 70);
    EXPECT_EQ(data->CheckAccount("valid2", "Pw 2").result, 71);

    const std::pair<const char*, std::int32_t> states[] = {
        {"blocked", -19}, {"invalid", -2}, {"message", -20}, {"nort", -21}, {"dberr", -1}};
    for (const auto& [account, code] : states) {
        EXPECT_EQ(data->Login(account, "pw").result, code) << account;
        EXPECT_EQ(data->CheckAccount(account, "pw").result, code) << account;
        EXPECT_NE(data->Login(account, "pw").account, nullptr) << account;
    }
    EXPECT_EQ(data->Login("message", "pw").account->message, "Please call us, today");
}

TEST_F(ServerDataTest, UnknownAccountsAndWrongPasswordsAreInvalid) {
    for (const auto& [account, password] :
         {std::pair{"valid1", "PW"}, std::pair{"valid1", ""}, std::pair{"VALID1", "pw"},
          std::pair{"nobody", "pw"}, std::pair{"blocked", "wrong"}}) {
        const AccountAnswer answer = data->Login(account, password);
        EXPECT_EQ(answer.result, -2) << account << " " << password;
        EXPECT_EQ(answer.account, nullptr);
        EXPECT_EQ(data->CheckAccount(account, password).result, -2);
    }
}

TEST_F(ServerDataTest, AccountsAreFoundByTheirNumbers) {
    ASSERT_NE(data->AccountByCheckNumber(71), nullptr);
    EXPECT_EQ(data->AccountByCheckNumber(71)->account, "valid2");
    EXPECT_EQ(data->AccountByLoginNumber(700)->account, "valid1");
    EXPECT_EQ(data->AccountByCheckNumber(700), nullptr);
    EXPECT_EQ(data->AccountByLoginNumber(1), nullptr); // the default of the other states
}

TEST_F(ServerDataTest, InstrumentsAreFoundByNumberSymbolAndLegacyNumber) {
    EXPECT_EQ(data->InstrumentBySinCode(1003)->symbol, "BUND30");
    EXPECT_EQ(data->InstrumentBySinCode(9999), nullptr);
    EXPECT_EQ(data->InstrumentBySymbol("sapy")->sinCode, 1006);
    EXPECT_EQ(data->InstrumentBySymbol("SAPY"), nullptr);
    EXPECT_EQ(data->InstrumentBySymbol("SAP"), nullptr);
    EXPECT_EQ(data->InstrumentByLegacyNumber(502)->sinCode, 1002);
    EXPECT_EQ(data->InstrumentByLegacyNumber(9001)->sinCode, 1002);
    EXPECT_EQ(data->InstrumentByLegacyNumber(0), nullptr);
    EXPECT_EQ(data->InstrumentByLegacyNumber(503), nullptr);
}

TEST_F(ServerDataTest, CatalogueMembersKeepTheirOrderAndRepeats) {
    const Catalogue* repeats = data->FindCatalogue(2);
    ASSERT_NE(repeats, nullptr);
    std::vector<std::int32_t> codes;
    for (const ServerInstrument* member : data->CatalogueMembers(*repeats)) {
        codes.push_back(member->sinCode);
    }
    EXPECT_EQ(codes, (std::vector<std::int32_t>{1001, 1002, 1001, 1003, 1001}));
    EXPECT_TRUE(data->CatalogueMembers(*data->FindCatalogue(3)).empty());
    EXPECT_EQ(data->FindCatalogue(4), nullptr);
}

TEST_F(ServerDataTest, SearchKindsCompareTheirFieldsWithoutRegardToCase) {
    using Codes = std::vector<std::int32_t>;
    EXPECT_EQ(Hits(1, "sap"), (Codes{1001, 1006}));
    EXPECT_EQ(Hits(1, "QUOTED\", h"), (Codes{1005}));
    EXPECT_EQ(Hits(2, "ap"), (Codes{1002}));
    EXPECT_EQ(Hits(2, "pl"), (Codes{})); // a prefix, not anywhere
    EXPECT_EQ(Hits(3, "de0007"), (Codes{1001}));
    EXPECT_EQ(Hits(4, "sapx"), (Codes{1001}));
    EXPECT_EQ(Hits(4, "SAP"), (Codes{}));
    EXPECT_EQ(Hits(5, "us03"), (Codes{1002}));
    EXPECT_EQ(Hits(5, "index"), (Codes{1004}));
    EXPECT_TRUE(Hits(9, "sap", 0, 0, SearchOutcome::UnknownSearchKind).empty());
}

TEST_F(ServerDataTest, SearchFiltersNarrowTheHits) {
    using Codes = std::vector<std::int32_t>;
    EXPECT_EQ(Hits(5, "s", 1), (Codes{1001, 1002, 1006})); // "US" of 1002's ISIN
    EXPECT_EQ(Hits(5, "s", 1, 1), (Codes{1001, 1006}));
    EXPECT_EQ(Hits(5, "bund", 2), (Codes{1003}));
    EXPECT_EQ(Hits(5, "bund", 1), (Codes{}));
    EXPECT_EQ(Hits(5, "sap", 0, 2), (Codes{}));
    EXPECT_EQ(Hits(5, "x", 0, 2), (Codes{1002}));
    EXPECT_EQ(Hits(1, "", 0, 3), (Codes{1005}));
    EXPECT_EQ(Hits(4, "", 4), (Codes{1004}));
}

TEST_F(ServerDataTest, MoreHitsThanTheLimitAnswerTooMany) {
    using Codes = std::vector<std::int32_t>;
    // The small data set allows three hits: three are complete, four too many.
    EXPECT_EQ(Hits(5, "s", 1), (Codes{1001, 1002, 1006}));
    EXPECT_EQ(Hits(3, "de", 0, 0, SearchOutcome::TooManyHits), (Codes{1001, 1003, 1005}));
    EXPECT_EQ(Hits(1, "", 0, 1, SearchOutcome::TooManyHits), (Codes{1001, 1003, 1004}));
}

TEST_F(ServerDataTest, DailyBarsOfADayRange) {
    const std::vector<DailyBar> bars = {test::Daily(738000, 100, 110, 90, 105, 1),
                                        test::Daily(738001, 105, 120, 100, 118, 2),
                                        test::Daily(738004, 118, 118, 110, 111, 3)};
    WriteDataFile(folder.Path(), "daily/1003.csv", FormatDailyBars(bars, 3));
    const auto all = data->DailyBars(1003, 0, 800000);
    EXPECT_EQ(all.status, BarStatus::Ok);
    EXPECT_EQ(all.decimals, 3);
    EXPECT_EQ(all.bars, bars);
    EXPECT_EQ(data->DailyBars(1003, 738001, 738004).bars,
              (std::vector<DailyBar>{bars[1], bars[2]}));
    EXPECT_EQ(data->DailyBars(1003, 738002, 738003).bars.size(), 0u);
    EXPECT_EQ(data->DailyBars(1003, 738004, 738000).bars.size(), 0u);
    EXPECT_EQ(data->DailyBars(1001, 0, 800000).status, BarStatus::Ok); // no file, no bars
    EXPECT_EQ(data->DailyBars(4242, 0, 800000).status, BarStatus::UnknownInstrument);

    WriteDataFile(folder.Path(), "daily/1002.csv", "date,open\n");
    const auto broken = data->DailyBars(1002, 0, 800000);
    EXPECT_EQ(broken.status, BarStatus::DataError);
    EXPECT_EQ(broken.error,
              "daily/1002.csv:1: the header line must be date,open,high,low,close,volume");
}

TEST_F(ServerDataTest, IntradayBarsFollowTheSessionOfTheExchange) {
    // 1002 trades on exchange 2, whose session starts at 09:30.
    WriteDataFile(folder.Path(), "intraday/1002.csv",
                  "date,time,open,high,low,close,volume\n"
                  "2024-03-01,09:30,10,11,9,10,1\n"
                  "2024-03-01,10:29,10,12,10,12,2\n"
                  "2024-03-01,10:30,12,12,12,12,3\n"
                  "2024-03-04,09:30,13,13,13,13,4\n");
    const std::int32_t march1 = *ParseIsoDate("2024-03-01");
    const auto hourly = data->IntradayBars(1002, march1, march1, 60);
    ASSERT_EQ(hourly.status, BarStatus::Ok);
    ASSERT_EQ(hourly.bars.size(), 2u);
    EXPECT_EQ(hourly.bars[0], (IntradayBar{march1, 34200, 1000, 1200, 900, 1200, 3}));
    EXPECT_EQ(hourly.bars[1].secondsOfDay, 37800);
    EXPECT_EQ(data->IntradayBars(1002, march1, march1 + 3, 1).bars.size(), 4u);
    EXPECT_EQ(data->IntradayBars(1002, march1, march1, 0).status, BarStatus::InvalidInterval);
    EXPECT_EQ(data->IntradayBars(7, march1, march1, 5).status, BarStatus::UnknownInstrument);
}

TEST_F(ServerDataTest, BarsAfterTheLastServedDayAreWithheld) {
    const std::vector<DailyBar> bars = {test::Daily(738000, 1, 1, 1, 1, 1),
                                        test::Daily(738001, 2, 2, 2, 2, 2),
                                        test::Daily(738002, 3, 3, 3, 3, 3)};
    WriteDataFile(folder.Path(), "daily/1003.csv", FormatDailyBars(bars, 0));
    WriteDataFile(folder.Path(), "intraday/1002.csv",
                  "date,time,open,high,low,close,volume\n"
                  "2024-03-01,09:30,10,11,9,10,1\n"
                  "2024-03-04,09:30,13,13,13,13,4\n");
    const std::int32_t march1 = *ParseIsoDate("2024-03-01");
    data->ServeBarsUntil(738001);
    const auto daily = data->DailyBars(1003, 0, 800000);
    ASSERT_EQ(daily.bars.size(), 2u);
    EXPECT_EQ(daily.bars.back().day, 738001);
    data->ServeBarsUntil(march1 + 2);
    const auto minutes = data->IntradayBars(1002, march1, march1 + 3, 1);
    ASSERT_EQ(minutes.bars.size(), 1u);
    EXPECT_EQ(minutes.bars[0].day, march1);
}

} // namespace
} // namespace mvr
