// The workers of the symbol search against the reference price server, and
// against scripted servers that hold an answer back so that a new search, a
// listing or a stop arrives while a worker is in the middle of a request.

#include "core/search/SymbolSearch.h"

#include "core/net/IOException.h"
#include "core/net/ProcessState.h"
#include "core/net/RequestTimeout.h"
#include "core/net/ServerEndpoint.h"
#include "core/net/UserRequests.h"
#include "core/platform/ThreadName.h"
#include "server/InstrumentRecordWriter.h"
#include "server/TestPriceServer.h"
#include "support/Running.h"

#include <condition_variable>
#include <functional>
#include <gtest/gtest.h>
#include <mutex>
#include <new>
#include <optional>
#include <set>
#include <stdexcept>
#include <thread>
#include <utility>

namespace mvr {
namespace {

using test::TestPriceServer;
using namespace std::chrono_literals;

// Only a broken test waits this long.
constexpr std::chrono::seconds kWatchdog{20};

class RecordingSink : public CSymbolSearchSink {
public:
    void SetStatusText(const std::string& text) override {
        Record([&] { statuses.push_back(text); });
    }
    void SetBusy(bool busy) override {
        Record([&] { busyChanges.push_back(busy); });
    }
    void SetListBusy(bool busy) override {
        Record([&] { listBusyChanges.push_back(busy); });
    }
    void SetResults(std::vector<WATCH> results) override {
        Record([&] { resultLists.push_back(std::move(results)); });
    }

    std::string LastStatus() const {
        std::lock_guard lock(mutex_);
        return statuses.empty() ? std::string() : statuses.back();
    }
    std::vector<std::string> Symbols() const {
        std::lock_guard lock(mutex_);
        std::vector<std::string> symbols;
        if (!resultLists.empty()) {
            for (const WATCH& record : resultLists.back()) {
                symbols.push_back(record.symbol);
            }
        }
        return symbols;
    }

    // Read after the workers have ended.
    std::vector<std::string> statuses;
    std::vector<bool> busyChanges;
    std::vector<bool> listBusyChanges;
    std::vector<std::vector<WATCH>> resultLists;
    std::set<std::string> threadNames;

private:
    template <typename Change>
    void Record(Change change) {
        std::lock_guard lock(mutex_);
        threadNames.insert(CurrentThreadName());
        change();
    }

    mutable std::mutex mutex_;
};

// The platform keeps 15 characters of a thread's name.
std::string KeptName(const char* name) {
    return std::string(name).substr(0, kThreadNameChars);
}

class SymbolSearchTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string message;
        ASSERT_EQ(Login("valid1", "pw", message, test::Running()), 7) << message;
    }

    void Search(std::uint8_t kind, std::string text, std::uint16_t type = 0,
                std::uint16_t exchange = 0) {
        search.StartSearch({kind, type, exchange, std::move(text)});
        ASSERT_TRUE(search.WaitUntilIdle(kWatchdog));
    }

    TestPriceServer server;
    RecordingSink sink;
    CSymbolSearch search{sink};
};

TEST_F(SymbolSearchTest, SearchWithOneHit) {
    Search(4, "SAPX");
    EXPECT_EQ(sink.statuses, (std::vector<std::string>{"Searching for securities...",
                                                       "Titles found: 1 security"}));
    EXPECT_EQ(sink.Symbols(), (std::vector<std::string>{"SAPX"}));
    EXPECT_EQ(sink.busyChanges, (std::vector<bool>{true, false}));
    EXPECT_EQ(sink.listBusyChanges, (std::vector<bool>{true, false}));
    // The list is emptied when the answer starts, then filled.
    ASSERT_EQ(sink.resultLists.size(), 2u);
    EXPECT_TRUE(sink.resultLists[0].empty());
    EXPECT_EQ(sink.threadNames, (std::set<std::string>{KeptName(kSearchThreadName)}));
}

TEST_F(SymbolSearchTest, SearchWithoutHitsAndWithTooMany) {
    Search(1, "no such name");
    EXPECT_EQ(sink.LastStatus(), "Titles found: 0 securities");
    EXPECT_TRUE(sink.Symbols().empty());
    // Six instruments match an empty text; the server lists three and stops.
    Search(5, "");
    EXPECT_EQ(sink.LastStatus(),
              "Search canceled! Please enter a more precise search term. 3 securities");
    EXPECT_EQ(sink.Symbols().size(), 3u);
}

TEST_F(SymbolSearchTest, FiltersAndSearchKindsReachTheServer) {
    Search(1, "s", 1, 1); // names with an s among the shares on exchange 1
    EXPECT_EQ(sink.Symbols(), (std::vector<std::string>{"SAPX", "sapy"}));
    Search(3, "us0378");
    EXPECT_EQ(sink.Symbols(), (std::vector<std::string>{"APLX"}));
    Search(99, "x"); // a search kind the server does not know
    EXPECT_EQ(sink.LastStatus(), "The server reported a database error! 0 securities");
}

TEST_F(SymbolSearchTest, CatalogueContents) {
    search.StartContents(2, "Repeats");
    ASSERT_TRUE(search.WaitUntilIdle(kWatchdog));
    EXPECT_EQ(sink.statuses, (std::vector<std::string>{"Catalog is being loaded...",
                                                       "Catalog Repeats: 5 securities"}));
    EXPECT_EQ(sink.Symbols(), (std::vector<std::string>{"SAPX", "APLX", "SAPX", "BUND30", "SAPX"}));
    EXPECT_EQ(sink.threadNames, (std::set<std::string>{KeptName(kContentsThreadName)}));

    search.StartContents(77, "Gone");
    ASSERT_TRUE(search.WaitUntilIdle(kWatchdog));
    EXPECT_EQ(sink.LastStatus(), "The server reported a database error!");
    EXPECT_TRUE(sink.Symbols().empty());

    search.StartContents(0, "None"); // catalogue 0 starts nothing
    EXPECT_FALSE(search.IsRunning());
}

TEST_F(SymbolSearchTest, ConnectionErrorShowsVerbindungsfehler) {
    CWinSocket unused;
    ASSERT_TRUE(unused.Create(0, SocketType::Stream, "127.0.0.1", false));
    const CScopedServerEndpoint endpoint({"127.0.0.1", unused.LocalPort()});
    Search(1, "x");
    EXPECT_EQ(sink.LastStatus(), "Verbindungsfehler!");
    EXPECT_EQ(sink.busyChanges, (std::vector<bool>{true, false}));
    search.StartContents(1, "All");
    ASSERT_TRUE(search.WaitUntilIdle(kWatchdog));
    EXPECT_EQ(sink.LastStatus(), "Verbindungsfehler!");
}

// A sink whose chosen report fails once, as one would when memory runs out.
class FailingOnceSink : public RecordingSink {
public:
    std::function<void()> failStatus;  // thrown by the first SetStatusText with failText
    std::string failText;
    std::function<void()> failResults; // thrown by the first SetResults with rows
    std::function<void()> failBusy;    // thrown by the first SetBusy(true)

    void SetStatusText(const std::string& text) override {
        if (failStatus && text.find(failText) != std::string::npos) {
            std::exchange(failStatus, nullptr)();
        }
        RecordingSink::SetStatusText(text);
    }
    void SetResults(std::vector<WATCH> results) override {
        if (failResults && !results.empty()) {
            std::exchange(failResults, nullptr)();
        }
        RecordingSink::SetResults(std::move(results));
    }
    void SetBusy(bool busy) override {
        if (failBusy && busy) {
            std::exchange(failBusy, nullptr)();
        }
        RecordingSink::SetBusy(busy);
    }
};

class SymbolSearchFailureTest : public SymbolSearchTest {
protected:
    // Runs a search, then one more, which must be served as usual.
    void ExpectTheFailureEndsOnlyThatSearch() {
        Search(4, "SAPX");
        EXPECT_EQ(failing.LastStatus(), kConnectionErrorText);
        EXPECT_FALSE(failing.busyChanges.empty());
        EXPECT_FALSE(failing.busyChanges.back());
        EXPECT_FALSE(searchOfFailing.IsRunning());
        Search(4, "SAPX");
        EXPECT_EQ(failing.LastStatus(), "Titles found: 1 security");
        EXPECT_EQ(failing.Symbols(), (std::vector<std::string>{"SAPX"}));
    }
    void Search(std::uint8_t kind, std::string text) {
        searchOfFailing.StartSearch({kind, 0, 0, std::move(text)});
        ASSERT_TRUE(searchOfFailing.WaitUntilIdle(kWatchdog));
    }

    FailingOnceSink failing;
    CSymbolSearch searchOfFailing{failing};
};

TEST_F(SymbolSearchFailureTest, OutOfMemoryWhileTheListIsFilled) {
    failing.failResults = [] { throw std::bad_alloc(); };
    ExpectTheFailureEndsOnlyThatSearch();
    // The list's wait cursor went away with the failed answer.
    EXPECT_FALSE(failing.listBusyChanges.back());
}

TEST_F(SymbolSearchFailureTest, AnythingThrownBeforeTheRequest) {
    failing.failBusy = [] { throw 42; };
    ExpectTheFailureEndsOnlyThatSearch();
}

TEST_F(SymbolSearchFailureTest, ContentsWorkerOutOfRange) {
    failing.failText = "Catalog Repeats:";
    failing.failStatus = [] { throw std::out_of_range("row"); };
    searchOfFailing.StartContents(2, "Repeats");
    ASSERT_TRUE(searchOfFailing.WaitUntilIdle(kWatchdog));
    EXPECT_EQ(failing.LastStatus(), kConnectionErrorText);
    EXPECT_FALSE(failing.busyChanges.back());
    searchOfFailing.StartContents(2, "Repeats");
    ASSERT_TRUE(searchOfFailing.WaitUntilIdle(kWatchdog));
    EXPECT_EQ(failing.LastStatus(), "Catalog Repeats: 5 securities");
}

TEST(ResultCountTextTest, OneAndMany) {
    EXPECT_EQ(ResultCountText("Titles found:", 1), "Titles found: 1 security");
    EXPECT_EQ(ResultCountText("Titles found:", 0), "Titles found: 0 securities");
    EXPECT_EQ(ResultCountText("Catalog X:", 12), "Catalog X: 12 securities");
}

// A one-way gate: Wait() returns once Open() has been called.
class Gate {
public:
    void Open() {
        {
            std::lock_guard lock(mutex_);
            open_ = true;
        }
        opened_.notify_all();
    }
    void Wait() {
        std::unique_lock lock(mutex_);
        ASSERT_TRUE(opened_.wait_for(lock, kWatchdog, [&] { return open_; }));
    }

private:
    std::mutex mutex_;
    std::condition_variable opened_;
    bool open_ = false;
};

// Serves connections one after another with a script that learns which
// connection it serves and what the request was.
class HoldingServer {
public:
    using Script =
        std::function<void(int connection, const RequestHeader& header, CClientRequest& far)>;

    explicit HoldingServer(Script script) : script_(std::move(script)) {
        EXPECT_TRUE(StartSockets(2, 2));
        EXPECT_TRUE(listener_.Create(0, SocketType::Stream, "127.0.0.1", false));
        EXPECT_TRUE(listener_.Listen(8));
        endpoint_.emplace(ServerEndpoint{"127.0.0.1", listener_.LocalPort()});
        thread_ = std::thread([this] { Run(); });
    }
    // The listener closes only once the thread that polls it has ended.
    ~HoldingServer() {
        done_ = true;
        thread_.join();
        listener_.Close();
    }

    // Ends after the connection in progress.
    void Finish() { done_ = true; }

    static void SendRecords(CClientRequest& far, const std::vector<std::string>& symbols) {
        for (const std::string& symbol : symbols) {
            WATCH record;
            record.symbol = symbol;
            WriteInstrumentRecord(far.Out(), record, true);
        }
        far.writeBlock();
        far.writeEndOfSection(0);
    }

private:
    void Run() {
        for (int n = 0; !done_;) {
            // Polled, so that the server ends soon after Finish().
            if (!listener_.WaitUntilReadable(20ms)) {
                continue;
            }
            CWinSocket connection;
            if (!listener_.Accept(connection)) {
                return;
            }
            ++n;
            connection.SetReceiveTimeout(kWatchdog);
            const RunFlag run{1};
            CClientRequest far(connection, run);
            try {
                const RequestHeader header = far.readRequestHeader();
                far.writeByte(1);
                far.readData();
                script_(n - 1, header, far);
            } catch (const CIOException&) {
                // the client went away; the test checks what it saw
            }
        }
    }

    Script script_;
    CWinSocket listener_;
    std::optional<CScopedServerEndpoint> endpoint_;
    const CScopedRequestTimeout timeout_{std::chrono::seconds(5)};
    std::atomic<bool> done_{false};
    std::thread thread_;
};

std::string SearchText(CClientRequest& far) {
    CDataInputStream& in = far.In();
    in.readByte();
    in.readShort();
    in.readShort();
    return in.readString(260);
}

TEST(SymbolSearchRestartTest, NewSearchWhileOneRunsStartsOverWithTheNewCriteria) {
    Gate firstArrived;
    Gate answerFirst;
    std::vector<std::string> texts;
    HoldingServer server([&](int n, const RequestHeader&, CClientRequest& far) {
        texts.push_back(SearchText(far));
        if (n == 0) {
            firstArrived.Open();
            answerFirst.Wait();
            HoldingServer::SendRecords(far, {"OLD1", "OLD2"});
        } else {
            HoldingServer::SendRecords(far, {"NEW"});
        }
    });
    RecordingSink sink;
    CSymbolSearch search(sink);
    search.StartSearch({1, 0, 0, "first"});
    firstArrived.Wait();
    search.StartSearch({2, 4, 1, "second"});
    // A catalogue listing while the search runs is ignored.
    search.StartContents(5, "Ignored");
    answerFirst.Open();
    ASSERT_TRUE(search.WaitUntilIdle(kWatchdog));
    server.Finish();
    EXPECT_EQ(texts, (std::vector<std::string>{"first", "second"}));
    EXPECT_EQ(sink.Symbols(), (std::vector<std::string>{"NEW"}));
    EXPECT_EQ(sink.LastStatus(), "Titles found: 1 security");
    for (const std::string& status : sink.statuses) {
        EXPECT_EQ(status.find("Catalog"), std::string::npos) << status;
    }
}

TEST(SymbolSearchRestartTest, SearchWhileContentsRunIsIgnored) {
    Gate listingArrived;
    Gate answerListing;
    std::vector<int> codes;
    HoldingServer server([&](int, const RequestHeader& header, CClientRequest& far) {
        codes.push_back(header.code);
        listingArrived.Open();
        answerListing.Wait();
        HoldingServer::SendRecords(far, {"M1", "M2"});
    });
    RecordingSink sink;
    CSymbolSearch search(sink);
    search.StartContents(5, "Five");
    listingArrived.Wait();
    EXPECT_TRUE(search.IsContentsRunning());
    search.StartSearch({1, 0, 0, "ignored"});
    EXPECT_FALSE(search.IsSearchRunning());
    answerListing.Open();
    ASSERT_TRUE(search.WaitUntilIdle(kWatchdog));
    server.Finish();
    EXPECT_EQ(codes, (std::vector<int>{11}));
    EXPECT_EQ(sink.LastStatus(), "Catalog Five: 2 securities");
}

TEST(SymbolSearchRestartTest, StopEndsTheWorkerAtItsNextLookAtTheRunFlag) {
    Gate requestArrived;
    Gate stopRequested;
    HoldingServer server([&](int, const RequestHeader&, CClientRequest& far) {
        requestArrived.Open();
        stopRequested.Wait();
        HoldingServer::SendRecords(far, {"LATE"});
    });
    RecordingSink sink;
    CSymbolSearch search(sink);
    search.StartSearch({1, 0, 0, "x"});
    requestArrived.Wait();
    std::thread stopper([&] { search.Stop(); });
    while (search.Run().load() != 0) {
        std::this_thread::yield();
    }
    stopRequested.Open();
    stopper.join();
    server.Finish();
    EXPECT_FALSE(search.IsRunning());
    EXPECT_TRUE(sink.Symbols().empty()); // the late answer was not read
    // Nothing starts after a stop.
    search.StartSearch({1, 0, 0, "again"});
    EXPECT_FALSE(search.IsRunning());
}

} // namespace
} // namespace mvr
