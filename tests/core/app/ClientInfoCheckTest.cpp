// The client-information check of the main window and the account dialog:
// after its pause, request 43 on its own thread; the answer kept for the
// process; a stop during the pause or the request reports nothing.

#include "core/app/ClientInfoCheck.h"

#include "core/net/ProcessState.h"
#include "core/platform/ThreadName.h"
#include "server/TestPriceServer.h"

#include <chrono>
#include <gtest/gtest.h>
#include <string>

namespace mvr {
namespace {

using namespace std::chrono_literals;

TEST(ClientInfoCheckTest, TheAnswerArrivesOnTheCheckThreadAndIsKept) {
    test::TestPriceServer server;
    int result = 0;
    std::string threadName;
    ClientInfo reported;
    CClientInfoCheck check{0ms};
    ASSERT_TRUE(check.Start([&](int r, const ClientInfo& info) {
        result = r;
        threadName = CurrentThreadName();
        reported = info;
    }));
    check.Wait();
    EXPECT_EQ(result, 1);
    EXPECT_EQ(threadName, std::string(kClientInfoThreadName).substr(0, kThreadNameChars));
    EXPECT_EQ(reported.message, server.Data().Tables().clientInfo.message);
    EXPECT_EQ(CurrentClientInfo(), reported);
}

TEST(ClientInfoCheckTest, AStopDuringThePauseSendsNothing) {
    test::TestPriceServer server;
    bool reported = false;
    CClientInfoCheck check{10s};
    ASSERT_TRUE(check.Start([&](int, const ClientInfo&) { reported = true; }));
    const auto start = std::chrono::steady_clock::now();
    check.Stop();
    check.Wait();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    EXPECT_FALSE(reported);
    EXPECT_EQ(CurrentClientInfo(), ClientInfo{});
}

} // namespace
} // namespace mvr
