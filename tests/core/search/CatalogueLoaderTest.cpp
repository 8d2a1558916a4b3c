// The catalogue loader against the reference price server: the tree arrives
// from its worker thread, a second opening asks the server nothing, and a
// stop while the server keeps silent ends the loader at once.

#include "core/search/CatalogueLoader.h"

#include "core/net/CatalogueRequests.h"
#include "core/net/ProcessState.h"
#include "core/net/UserRequests.h"
#include "core/platform/ThreadName.h"
#include "server/TestPriceServer.h"
#include "support/Running.h"

#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace mvr {
namespace {

using namespace std::chrono_literals;

struct Loaded {
    bool called = false;
    std::string threadName;
    std::vector<CatalogueTreeItem> tree;
};

CCatalogueLoader::Done Into(Loaded& loaded) {
    return [&loaded](std::vector<CatalogueTreeItem> tree) {
        loaded.called = true;
        loaded.threadName = CurrentThreadName();
        loaded.tree = std::move(tree);
    };
}

TEST(CatalogueLoaderTest, TheTreeArrivesOnTheLoaderThreadAndASecondOpeningAsksNothing) {
    test::TestPriceServer server;
    std::string message;
    ASSERT_EQ(Login("valid1", "pw", message, test::Running()), 7) << message;

    Loaded first;
    CCatalogueLoader loader;
    ASSERT_TRUE(loader.Start(Into(first)));
    loader.Wait();
    ASSERT_TRUE(first.called);
    EXPECT_EQ(first.threadName,
              std::string(kCatalogueLoaderThreadName).substr(0, kThreadNameChars));
    EXPECT_FALSE(first.tree.empty());
    EXPECT_EQ(first.tree, BuildCatalogueDisplayTree());

    Loaded second;
    CCatalogueLoader again;
    ASSERT_TRUE(again.Start(Into(second)));
    again.Wait();
    EXPECT_EQ(second.tree, first.tree);
    // A request that is surely logged after any the second loader made.
    EXPECT_EQ(CheckAccount("valid1", "pw", test::Running()), 70);
    const auto lines = server.WaitForLogLines(3);
    EXPECT_EQ(test::CountLines(lines, "code=3 "), 1u);
}

TEST(CatalogueLoaderTest, AStopWhileTheServerIsSilentEndsAtOnceAndReportsNothing) {
    ServeOptions silent = test::TestServeOptions();
    silent.faults.blockDelay = 20s;
    test::TestPriceServer silentServer{test::SmallTables(), silent};
    // The login number comes from a server that answers; the silent one,
    // serving the same accounts, knows it too.
    test::TestPriceServer server;
    std::string message;
    ASSERT_EQ(Login("valid1", "pw", message, test::Running()), 7) << message;
    silentServer.BecomeServer();

    Loaded loaded;
    CCatalogueLoader loader;
    ASSERT_TRUE(loader.Start(Into(loaded)));
    std::this_thread::sleep_for(200ms);
    const auto start = std::chrono::steady_clock::now();
    loader.Stop();
    loader.Wait();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    EXPECT_FALSE(loaded.called);
    EXPECT_FALSE(ProcessCatalogueTables().IsComplete());
}

} // namespace
} // namespace mvr
