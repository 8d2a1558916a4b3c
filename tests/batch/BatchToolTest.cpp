// mvrkrsexp-batch end to end: set up, update, summary and exit codes, and
// what a signal or a kill in the middle of an update leaves behind.

#include "BatchToolFixture.h"
#include "core/formats/ExportDataFile.h"
#include "core/formats/ExportDirectory.h"
#include "core/formats/FormatCatalogue.h"
#include "core/net/WinSocket.h"
#include "core/platform/AtomicFile.h"
#include "core/platform/FileSystem.h"
#include "support/Sweep.h"

#include <chrono>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <thread>

namespace mvr {
namespace {

using test::ToolRun;

constexpr int kDemoCatalogue = 1; // the 100 members of the demo data

class BatchToolTest : public test::BatchToolFixture {};

TEST_F(BatchToolTest, HelpVersionAndWrongArguments) {
    const ToolRun help = RunTool({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("Exit codes: 0 done"), std::string::npos);
    EXPECT_EQ(RunTool({"--version"}).out.rfind("mvrkrsexp-batch ", 0), 0u);
    const ToolRun none = RunTool({});
    EXPECT_EQ(none.exitCode, 2);
    EXPECT_NE(none.err.find("no switch given"), std::string::npos);
    EXPECT_EQ(RunTool({"--add-directory", Folder("x"), "99"}).exitCode, 1);
}

TEST_F(BatchToolTest, ACatalogueTheServerDoesNotOfferIsRefused) {
    StartServer();
    Configure({});
    const ToolRun refused =
        RunTool({"--add-directory", Folder("x"), std::to_string(kFormatAsciiComma), "77"});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find("The server offers no catalogue 77."), std::string::npos)
        << refused.out << refused.err;
    EXPECT_EQ(RunTool({"--show"}).out.find(Folder("x")), std::string::npos);
}

TEST_F(BatchToolTest, SetsUpAndUpdatesALinkedDirectoryThenOnlyNewDaysTravel) {
    StartServer();
    Configure({{Folder("ms"), std::to_string(kFormatMetaStock), std::to_string(kDemoCatalogue)}});
    const ToolRun shown = RunTool({"--show"});
    EXPECT_NE(shown.out.find("Account: DEMO"), std::string::npos) << shown.out;
    // Named as the catalogue picker names it: its groups and its name.
    EXPECT_NE(shown.out.find("catalogue 1 Indices/Marvane 100\n"), std::string::npos) << shown.out;

    const ToolRun first = RunTool({"-updateall"});
    ASSERT_EQ(first.exitCode, 0) << first.err;
    EXPECT_NE(first.err.find("Updating local Datafiles..."), std::string::npos) << first.err;
    EXPECT_NE(first.out.find("  Symbols requested:      100\n"), std::string::npos) << first.out;
    EXPECT_NE(first.out.find("  Symbols written:        100\n"), std::string::npos) << first.out;
    std::size_t symbols = 0;
    const std::size_t bars = test::ReadEveryFile(Folder("ms/"), kFormatMetaStock, &symbols);
    EXPECT_EQ(symbols, 100u);
    EXPECT_GT(bars, 100u * 200);

    const ToolRun second = RunTool({"-UPDATEALL"});
    ASSERT_EQ(second.exitCode, 0) << second.err;
    EXPECT_NE(second.out.find("  Bars added:             0\n"), std::string::npos) << second.out;
    EXPECT_NE(second.out.find("  Bars changed:           0\n"), std::string::npos) << second.out;
}

std::vector<std::string> LinesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::stringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

// The server's intraday bars land in a MetaStock intraday folder with their
// times, as the ASCII intraday folder of the same run has them.
TEST_F(BatchToolTest, AnIntradayMetaStockFolderHoldsTheServersBarsWithTheirTimes) {
    StartServer();
    Configure(
        {{Folder("msi"), std::to_string(kFormatMetaStockIntraday), std::to_string(kDemoCatalogue)},
         {Folder("asi"), std::to_string(kFormatAsciiIntraday), std::to_string(kDemoCatalogue)}});
    const ToolRun update = RunTool({"-updateall"});
    ASSERT_EQ(update.exitCode, 0) << update.err;

    const std::vector<std::string> listing = LinesOf(RunDirCat({Folder("msi")}).out);
    ASSERT_GT(listing.size(), 1u);
    const std::string symbol = listing[1].substr(0, listing[1].find(','));
    const ToolRun metaStock = RunDirCat({Folder("msi"), symbol});
    const ToolRun ascii = RunDirCat({Folder("asi"), symbol});
    ASSERT_EQ(metaStock.exitCode, 0) << metaStock.err;
    const std::vector<std::string> bars = LinesOf(metaStock.out);
    const std::vector<std::string> asciiBars = LinesOf(ascii.out);
    ASSERT_GT(bars.size(), 10u);
    ASSERT_EQ(bars.size(), asciiBars.size());
    std::set<std::string> times;
    for (std::size_t i = 0; i < bars.size(); ++i) {
        // YYYYMMDD,HHMMSS: date and time agree; prices may differ in the
        // last decimals the ASCII layout keeps.
        ASSERT_EQ(bars[i].substr(0, 16), asciiBars[i].substr(0, 16)) << i;
        times.insert(bars[i].substr(9, 6));
    }
    EXPECT_GT(times.size(), 5u);
}

TEST_F(BatchToolTest, EachFailureHasItsExitCode) {
    StartServer();
    const ToolRun noAccount = RunTool({"-updateall"});
    EXPECT_EQ(noAccount.exitCode, 3) << noAccount.err;

    ASSERT_EQ(RunTool({"--set-account", "DEMO", "WRONG"}).exitCode, 0);
    const ToolRun refused = RunTool({"-updateall"});
    EXPECT_EQ(refused.exitCode, 4);
    EXPECT_GT(refused.err.size(), std::string("mvrkrsexp-batch: \n").size()) << refused.err;

    Configure({{Folder("ascii"), std::to_string(kFormatAsciiComma), "7"}});
    EXPECT_EQ(RunTool({"-dirupdate", Folder("elsewhere")}).exitCode, 5);
    EXPECT_EQ(RunTool({"-listupdate", "no such list"}).exitCode, 5);

    PointAtNoServer();
    const ToolRun unreachable = RunTool({"-updateall"});
    EXPECT_EQ(unreachable.exitCode, 7) << unreachable.err;
}

// A port that accepts connections without ever answering: a client that
// connected leaves one in the listen queue, whether it waited or not.
class ListeningPort {
public:
    ListeningPort() {
        EXPECT_TRUE(StartSockets(2, 2));
        EXPECT_TRUE(socket_.Create(0, SocketType::Stream, "127.0.0.1", false));
        EXPECT_TRUE(socket_.Listen(8));
        EXPECT_TRUE(socket_.SetBlocking(false));
    }
    int Port() const { return socket_.LocalPort(); }
    bool WasConnected() {
        CWinSocket connection;
        return socket_.Accept(connection);
    }

private:
    CWinSocket socket_;
};

TEST_F(BatchToolTest, WrongSwitchesGiveTheUsageBeforeAnyConfigurationOrServerWork) {
    ASSERT_EQ(RunTool({"--set-account", "DEMO", "DEMO"}).exitCode, 0);
    ListeningPort port;
    PointAt(port.Port());
    const std::vector<std::vector<std::string>> wrong = {
        {"-bogus"},
        {"-nowindow", "-frobnicate", "x"},
        {"-definitionfile", "in.txt"},
        {"-nowindow"},
    };
    for (const auto& arguments : wrong) {
        const ToolRun run = RunTool(arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments[0] << ": " << run.err;
        EXPECT_NE(run.err.find("Usage:"), std::string::npos) << run.err;
    }
    EXPECT_FALSE(port.WasConnected());
}

TEST_F(BatchToolTest, AServerThatRefusesEveryRequestIsUnreachableForEveryKindOfRun) {
    ServeOptions options = test::TestServeOptions();
    options.faults.refuse = true;
    StartServer(options);
    ASSERT_EQ(RunTool({"--set-account", "DEMO", "DEMO"}).exitCode, 0);
    const std::string input = Folder("definition-in.txt");
    ASSERT_TRUE(WriteFileAtomically(input, std::span<const std::uint8_t>()));
    const ToolRun definition = RunTool({"-definitionfile", input, "x", Folder("out.txt")});
    const ToolRun update = RunTool({"-updateall"});
    EXPECT_EQ(definition.exitCode, 7) << definition.err;
    EXPECT_EQ(update.exitCode, 7) << update.err;
    EXPECT_NE(definition.err.find("The price server cannot be reached."), std::string::npos);
    EXPECT_NE(update.err.find("The price server cannot be reached."), std::string::npos);
    EXPECT_FALSE(EntryExists(Folder("out.txt")));

    // A refused account is the login's failure, whichever run meets it.
    StartServer();
    ASSERT_EQ(RunTool({"--set-account", "DEMO", "WRONG"}).exitCode, 0);
    EXPECT_EQ(RunTool({"-definitionfile", input, "x", Folder("out.txt")}).exitCode, 4);
    EXPECT_EQ(RunTool({"-updateall"}).exitCode, 4);
}

TEST_F(BatchToolTest, ABrokenDownloadIsACommunicationFailureThatLeavesTheFilesReadable) {
    StartServer();
    Configure({{Folder("ms"), std::to_string(kFormatMetaStock), std::to_string(kDemoCatalogue)}});
    ServeOptions cut = test::TestServeOptions();
    cut.faults.closeAfterBytes = 20000;
    StartServer(cut);
    const ToolRun broken = RunTool({"-updateall"});
    EXPECT_EQ(broken.exitCode, 7) << broken.err;
    EXPECT_EQ(broken.out.find("Symbols without answer: 0\n"), std::string::npos) << broken.out;
    std::size_t symbols = 0;
    const std::size_t partial = test::ReadEveryFile(Folder("ms/"), kFormatMetaStock, &symbols);
    EXPECT_EQ(symbols, 100u);

    // The next update brings the rest.
    StartServer();
    ASSERT_EQ(RunTool({"-updateall"}).exitCode, 0);
    EXPECT_GT(test::ReadEveryFile(Folder("ms/"), kFormatMetaStock, &symbols), partial);
}

// Waits until the tool's progress shows the phase; false when it ended first.
bool WaitForPhase(const std::string& errFile, const std::string& phase) {
    for (int i = 0; i < 6000; ++i) {
        if (test::FileText(errFile).find(phase) != std::string::npos) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

TEST_F(BatchToolTest, SigtermDuringTheDownloadStopsWithItsExitCodeAndWritesNothing) {
    StartServer();
    Configure({{Folder("ms"), std::to_string(kFormatMetaStock), std::to_string(kDemoCatalogue)}});
    ASSERT_EQ(RunTool({"-updateall"}).exitCode, 0);
    const auto before = test::FolderImage(Folder("ms/"));

    ServeOptions slow = test::TestServeOptions();
    slow.faults.blockDelay = std::chrono::milliseconds(200);
    StartServer(slow);
    const std::string errFile = Dir().File("stopped-stderr.txt");
    test::ChildProcess tool(MVR_BATCH_PATH, {"-updateall"}, errFile);
    ASSERT_TRUE(WaitForPhase(errFile, "Loading Data ...")) << test::FileText(errFile);
    if (!tool.Stop()) {
        GTEST_SKIP() << "no console to send the tool a Ctrl+Break through";
    }
    tool.ReadAll();
    EXPECT_EQ(tool.Wait(), 6) << test::FileText(errFile);
    EXPECT_EQ(test::FolderImage(Folder("ms/")), before);
}

// Killed at any moment, the tool leaves every file either as it was before
// the update or as the complete update writes it.
TEST_F(BatchToolTest, AKillAtAnyMomentLeavesEveryFileOldOrCompletelyNew) {
    const std::string ms = std::to_string(kFormatMetaStock);
    const std::string ascii = std::to_string(kFormatAsciiComma);
    StartServer();
    Configure({{Folder("ms"), ms, std::to_string(kDemoCatalogue)},
               {Folder("ascii"), ascii, std::to_string(kDemoCatalogue)}});
    // The old state: synchronised, with empty histories.
    ServeOptions none = test::TestServeOptions();
    none.dataUntilDay = 1;
    StartServer(none);
    ASSERT_EQ(RunTool({"-updateall"}).exitCode, 0);
    const auto oldMs = test::FolderImage(Folder("ms/"));
    const auto oldAscii = test::FolderImage(Folder("ascii/"));

    StartServer();
    const auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(RunTool({"-updateall"}).exitCode, 0);
    const auto fullRun = std::chrono::steady_clock::now() - started;
    const auto newMs = test::FolderImage(Folder("ms/"));
    const auto newAscii = test::FolderImage(Folder("ascii/"));

    std::mt19937 random(20261209);
    const int kills = test::LongTestsEnabled() ? 24 : 4;
    for (int k = 0; k < kills; ++k) {
        // Back to the old state, then a kill somewhere in a full run.
        for (const auto& [folder, image] :
             {std::pair{Folder("ms/"), &oldMs}, std::pair{Folder("ascii/"), &oldAscii}}) {
            for (const auto& [name, bytes] : *image) {
                ASSERT_TRUE(WriteFileAtomically(folder + name, bytes));
            }
        }
        const auto delay = std::chrono::duration_cast<std::chrono::microseconds>(fullRun) *
                           std::uniform_real_distribution<double>(0.3, 1.0)(random);
        {
            test::ChildProcess tool(MVR_BATCH_PATH, {"-updateall"}, Dir().File("killed.txt"));
            std::this_thread::sleep_for(delay);
            tool.Kill();
            tool.Wait();
        }
        for (const auto& [folder, oldImage, newImage] :
             {std::tuple{Folder("ms/"), &oldMs, &newMs},
              std::tuple{Folder("ascii/"), &oldAscii, &newAscii}}) {
            for (const auto& [name, bytes] : test::FolderImage(folder)) {
                const auto was = oldImage->find(name);
                const auto will = newImage->find(name);
                const bool old = was != oldImage->end() && was->second == bytes;
                const bool complete = will != newImage->end() && will->second == bytes;
                EXPECT_TRUE(old || complete)
                    << folder << name << " after " << delay.count() << " us";
            }
        }
    }
}

} // namespace
} // namespace mvr
