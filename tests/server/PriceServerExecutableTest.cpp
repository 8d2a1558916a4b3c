// mvr-priceserver as a program: it serves a demo folder on a port it picks,
// says which on stdout, logs each request on stderr and ends cleanly on
// SIGTERM.

#include "core/net/ProcessState.h"
#include "core/net/RequestTimeout.h"
#include "core/net/ServerEndpoint.h"
#include "core/net/UserRequests.h"
#include "server/DemoGenerator.h"
#include "SmallDataFolder.h"
#include "support/ChildProcess.h"
#include "support/Running.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <string>

namespace mvr {
namespace {

using test::FileText;

// The server program as a child process.
class ChildServer : public test::ChildProcess {
public:
    ChildServer(std::vector<std::string> arguments, const std::string& stderrFile)
        : ChildProcess(MVR_PRICESERVER_PATH, std::move(arguments), stderrFile) {}
};

TEST(PriceServerExecutableTest, ServesADemoFolderAndStopsOnSigterm) {
    test::TempDir dir;
    const std::string folder = dir.File("demo");
    DemoOptions options;
    options.instruments = 100;
    options.years = 1;
    options.lastDay = 739000;
    std::string error;
    DemoSummary summary;
    ASSERT_TRUE(CDemoGenerator(options).Write(folder, &summary, &error)) << error;

    ChildServer child({"--serve", folder, "--port", "0", "--connections", "2"},
                      dir.File("stderr.txt"));
    const std::string ready = child.ReadLine();
    const std::size_t at = ready.find("port=");
    ASSERT_EQ(ready.rfind("listening address=127.0.0.1 port=", 0), 0u) << ready;
    const int port = std::stoi(ready.substr(at + 5));
    ASSERT_GT(port, 0);

    ResetProcessStateForTesting();
    {
        const CScopedServerEndpoint endpoint({"127.0.0.1", port});
        const CScopedRequestTimeout timeout(std::chrono::seconds(5));
        std::string message;
        EXPECT_EQ(Login(std::string(kDemoAccount), std::string(kDemoPassword), message, test::Running()), 1)
            << message;
        EXPECT_GT(LoginNumber(), 0);
        EXPECT_EQ(CheckAccount("BLOCKED", "DEMO", test::Running()), -19);
        ResetProcessStateForTesting();
    }

    if (!child.Stop()) {
        GTEST_SKIP() << "no console to send the server a Ctrl+Break through";
    }
    EXPECT_EQ(child.Wait(), 0);
    const std::string log = FileText(dir.File("stderr.txt"));
    EXPECT_NE(log.find("code=63 result=login=1,rate="), std::string::npos) << log;
    EXPECT_NE(log.find("code=55 result=check=-19"), std::string::npos) << log;
    EXPECT_NE(log.find("mvr-priceserver: stopped"), std::string::npos) << log;
}

TEST(PriceServerExecutableTest, BrokenFolderOrTakenPortEndsWithAnError) {
    test::TempDir dir;
    ChildServer missing({"--serve", dir.File("none"), "--port", "0"}, dir.File("missing.txt"));
    EXPECT_EQ(missing.ReadLine(), "");
    EXPECT_EQ(missing.Wait(), 1);
    EXPECT_EQ(FileText(dir.File("missing.txt")).rfind("mvr-priceserver: ", 0), 0u);

    const std::string folder = dir.File("data");
    test::WriteDataFolder(folder);
    ASSERT_TRUE(StartSockets(2, 2));
    CWinSocket taken;
    ASSERT_TRUE(taken.Create(0, SocketType::Stream, "127.0.0.1", false));
    ASSERT_TRUE(taken.Listen(1));
    ChildServer busy({"--serve", folder, "--port", std::to_string(taken.LocalPort())},
                     dir.File("busy.txt"));
    EXPECT_EQ(busy.ReadLine(), "");
    EXPECT_EQ(busy.Wait(), 1);
    EXPECT_NE(FileText(dir.File("busy.txt")).find("cannot listen on 127.0.0.1 port"),
              std::string::npos);
}

} // namespace
} // namespace mvr
