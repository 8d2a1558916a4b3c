// Every fault the reference server can inject ends in the client's failure
// result (and "Verbindungsfehler!" where the dialog shows one), never in a
// hang beyond the lowered time-out; markers give the texts of their Parts.

#include "core/formats/ExportDirectory.h"
#include "core/net/CatalogueRequests.h"
#include "core/net/InstrumentTranslation.h"
#include "core/net/IOException.h"
#include "core/net/ProcessState.h"
#include "core/net/RequestTimeout.h"
#include "core/net/SymbolLookup.h"
#include "core/net/UserRequests.h"
#include "core/search/SymbolSearch.h"
#include "support/Running.h"
#include "support/Sweep.h"
#include "TestPriceServer.h"

#include <chrono>
#include <gtest/gtest.h>
#include <mutex>

namespace mvr {
namespace {

using test::TestPriceServer;
using Clock = std::chrono::steady_clock;

constexpr std::int32_t kLoginNumber = 700; // of account valid1
constexpr std::int32_t kCheckNumber = 70;
constexpr std::chrono::seconds kWatchdog{20};

class StatusSink : public CSymbolSearchSink {
public:
    void SetStatusText(const std::string& text) override {
        std::lock_guard lock(mutex_);
        status_ = text;
    }
    void SetBusy(bool) override {}
    void SetListBusy(bool) override {}
    void SetResults(std::vector<WATCH> results) override {
        std::lock_guard lock(mutex_);
        count_ = results.size();
    }
    std::string Status() const {
        std::lock_guard lock(mutex_);
        return status_;
    }
    std::size_t Count() const {
        std::lock_guard lock(mutex_);
        return count_;
    }

private:
    mutable std::mutex mutex_;
    std::string status_;
    std::size_t count_ = 0;
};

// The status the search dialog ends with after a search or a listing.
std::string SearchStatus(bool contents, std::size_t* count = nullptr) {
    StatusSink sink;
    CSymbolSearch search(sink);
    if (contents) {
        search.StartContents(1, "All instruments");
    } else {
        search.StartSearch({5, 0, 0, "a"});
    }
    EXPECT_TRUE(search.WaitUntilIdle(kWatchdog));
    if (count != nullptr) {
        *count = sink.Count();
    }
    return sink.Status();
}

ServeOptions WithFaults(FaultOptions faults) {
    ServeOptions options = test::TestServeOptions();
    options.faults = faults;
    return options;
}

void AddTwoSymbols(CExportDirectory& directory) {
    for (const char* text : {"SAPX", "APLX"}) {
        ExportSymbolInfo symbol;
        symbol.symbol = text;
        symbol.sinCode = 5;
        directory.Symbols().push_back(symbol);
    }
}

// Every request of the client fails the way its callers expect.
void ExpectEveryRequestFails() {
    std::string message = "x";
    EXPECT_EQ(Login("valid1", "pw", message, test::Running()), 0);
    EXPECT_EQ(message, "");
    EXPECT_EQ(CheckAccount("valid1", "pw", test::Running()), kCheckExchangeFailed);
    CWinSocket socket;
    ClientInfo info;
    EXPECT_EQ(GetClientInfo(socket, info, test::Running()), -1);
    SetLoginNumber(kLoginNumber); // the header the other requests need
    const RunFlag run{1};
    EXPECT_FALSE(LoadCatalogues(run));
    EXPECT_EQ(SearchStatus(false), "Verbindungsfehler!");
    EXPECT_EQ(SearchStatus(true), "Verbindungsfehler!");
    CExportDirectory directory;
    AddTwoSymbols(directory);
    EXPECT_FALSE(LookupSInCodes(directory, test::Running()));
    EXPECT_EQ(directory.GetSymbol(0).sinCode, 5);
    TranslationMap map = {{501, 0}};
    EXPECT_THROW(TranslateInstrumentNumbers(map, kCheckNumber, test::Running()), CIOException);
}

TEST(FaultInjectionTest, RefusalEndsEveryRequest) {
    TestPriceServer server(test::SmallTables(), WithFaults({std::nullopt, {}, true, 0}));
    ExpectEveryRequestFails();
    const auto lines = server.WaitForLogLines(8);
    EXPECT_NE(lines[0].find("result=refused"), std::string::npos) << lines[0];
}

TEST(FaultInjectionTest, EarlyCloseEndsEveryRequest) {
    for (const std::int64_t cut : {0, 1, 2, 9}) {
        TestPriceServer server(test::SmallTables(), WithFaults({cut, {}, false, 0}));
        ExpectEveryRequestFails();
    }
}

TEST(FaultInjectionTest, LoginCutAnywhereFailsAndNeverHangs) {
    test::TempDir data;
    test::WriteDataFolder(data.Path());
    std::int64_t answerBytes = 0;
    {
        TestPriceServer plain(data.Path(), test::TestServeOptions());
        std::string message;
        ASSERT_EQ(Login("valid1", "pw", message, test::Running()), 7);
        const std::string line = plain.WaitForLogLines(1)[0];
        answerBytes = std::stoll(line.substr(line.find(" out=") + 5));
    }
    ASSERT_GT(answerBytes, 100);
    // The whole answer minus at least one byte: the login never completes.
    for (const std::size_t cut : test::SweepPoints(static_cast<std::size_t>(answerBytes), 0, 37)) {
        TestPriceServer server(data.Path(),
                               WithFaults({static_cast<std::int64_t>(cut), {}, false, 0}));
        const auto start = Clock::now();
        std::string message;
        EXPECT_EQ(Login("valid1", "pw", message, test::Running()), 0) << "cut after " << cut;
        EXPECT_LT(Clock::now() - start, 2 * test::kLoweredClientTimeout) << cut;
    }
}

TEST(FaultInjectionTest, DelayBeyondTheTimeOutEndsInAConnectionError) {
    TestPriceServer server(test::SmallTables(),
                           WithFaults({std::nullopt, std::chrono::milliseconds(1500), false, 0}));
    const CScopedRequestTimeout shortWait(std::chrono::milliseconds(200));
    const auto start = Clock::now();
    std::string message;
    EXPECT_EQ(Login("valid1", "pw", message, test::Running()), 0);
    EXPECT_EQ(CheckAccount("valid1", "pw", test::Running()), kCheckExchangeFailed);
    SetLoginNumber(kLoginNumber);
    EXPECT_EQ(SearchStatus(false), "Verbindungsfehler!");
    // Each request waits twice at most: for the go-ahead and for the answer.
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(3 * 2 * 200 + 1000));
}

TEST(FaultInjectionTest, ShortDelaysOnlySlowTheAnswersDown) {
    TestPriceServer server(test::SmallTables(),
                           WithFaults({std::nullopt, std::chrono::milliseconds(2), false, 0}));
    std::string message;
    EXPECT_EQ(Login("valid1", "pw", message, test::Running()), 7);
    EXPECT_EQ(SearchStatus(true), "Catalog All instruments: 6 securities");
}

TEST(FaultInjectionTest, DatabaseErrorMarkers) {
    TestPriceServer server(test::SmallTables(), WithFaults({std::nullopt, {}, false, -1}));
    std::string message;
    // The login passes over its sections whatever ends them.
    EXPECT_EQ(Login("valid1", "pw", message, test::Running()), 7);
    EXPECT_EQ(LoginReferenceTables().exchanges.size(), 3u);
    const auto lines = server.WaitForLogLines(1);
    EXPECT_NE(lines[0].find("result=login=7,rate="), std::string::npos) << lines[0];
    const RunFlag run{1};
    EXPECT_FALSE(LoadCatalogues(run));
    EXPECT_FALSE(ProcessCatalogueTables().IsComplete());
    std::size_t count = 0;
    EXPECT_EQ(SearchStatus(false, &count), "The server reported a database error! 3 securities");
    EXPECT_EQ(SearchStatus(true, &count), "The server reported a database error!");
    EXPECT_EQ(count, 0u);
    CExportDirectory directory;
    AddTwoSymbols(directory);
    EXPECT_FALSE(LookupSInCodes(directory, test::Running()));
    EXPECT_EQ(directory.GetSymbol(1).sinCode, 5);
    // The translation evaluates no result: what arrived is taken over.
    TranslationMap map = {{501, 0}};
    TranslateInstrumentNumbers(map, kCheckNumber, test::Running());
    EXPECT_EQ(map[501], 1001);
}

TEST(FaultInjectionTest, TooManyResultsMarkers) {
    TestPriceServer server(test::SmallTables(), WithFaults({std::nullopt, {}, false, -2}));
    std::string message;
    EXPECT_EQ(Login("valid1", "pw", message, test::Running()), 7);
    // The search kinds ended with -2: no download rate is sent.
    const auto lines = server.WaitForLogLines(1);
    EXPECT_NE(lines[0].find("result=login=7,no-rate"), std::string::npos) << lines[0];
    EXPECT_EQ(SearchStatus(false),
              "Search canceled! Please enter a more precise search term. 3 securities");
    // For the catalogue requests only -1 is an error.
    const RunFlag run{1};
    EXPECT_TRUE(LoadCatalogues(run));
    EXPECT_EQ(SearchStatus(true), "Catalog All instruments: 6 securities");
}

} // namespace
} // namespace mvr
