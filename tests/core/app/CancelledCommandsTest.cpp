// Every command that talks to the server can be cancelled while the server
// keeps silent: the command returns within a second of the cancel and has
// written nothing, neither a price file nor the configuration.

#include "AppFixtures.h"
#include "core/app/AccountDialog.h"
#include "core/app/CopyMoveCommand.h"
#include "core/app/MainWindowCommands.h"
#include "core/app/Session.h"
#include "core/app/SymbolDataCommand.h"
#include "core/app/UpdateCommands.h"
#include "core/net/ProcessState.h"
#include "server/TestPriceServer.h"
#include "support/ScriptedInteraction.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <thread>

namespace mvr {
namespace {

using namespace std::chrono_literals;
using test::CScriptedInteraction;

constexpr auto kCancelAfter = 200ms;
// The cancel itself comes after kCancelAfter; the command then has a second.
constexpr auto kBound = kCancelAfter + 1s;

ServeOptions SilentServer() {
    ServeOptions options = test::TestServeOptions();
    options.faults.blockDelay = 20s; // far longer than any bound below
    return options;
}

class CancelledCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProcessStateForTesting();
        server.BecomeServer();
        session.User().account = "valid1";
        session.User().password = "pw";
        user.CancelNetworkWorkAfter(kCancelAfter);
    }

    // The time a call took.
    template <typename Call>
    static std::chrono::milliseconds Timed(Call call) {
        const auto start = std::chrono::steady_clock::now();
        call();
        return std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - start);
    }

    test::TempDir dir;
    test::ScopedEnvironment configDir{"MVRKRSEXP_CONFIG_DIR", dir.File("config")};
    test::TestPriceServer server{test::SmallTables(), SilentServer()};
    CMVRKrsExpSession session;
    CScriptedInteraction user;
};

TEST_F(CancelledCommandsTest, AddingADirectoryAddsNothing) {
    ASSERT_TRUE(CreateFolders(dir.File("config")));
    bool added = true;
    EXPECT_LT(Timed([&] { added = CMainWindowCommands(session, user).AddDirectory(); }), kBound);
    EXPECT_FALSE(added);
    EXPECT_TRUE(session.Directories().empty());
    EXPECT_TRUE(ListFileNames(dir.File("config")).empty());
}

TEST_F(CancelledCommandsTest, AddingChosenInstrumentsAddsNothing) {
    test::MakeIndex(dir.File("ascii"), kFormatAsciiComma, 2);
    session.Directories().push_back(test::Record(dir.File("ascii"), kFormatAsciiComma));
    ASSERT_TRUE(session.OpenCurrentDirectory(0));
    const auto before = test::FolderContents(dir.File("ascii"));
    std::size_t added = 1;
    EXPECT_LT(Timed([&] { added = CMainWindowCommands(session, user).AddChosenInstruments(); }),
              kBound);
    EXPECT_EQ(added, 0u);
    EXPECT_EQ(test::FolderContents(dir.File("ascii")), before);
}

TEST_F(CancelledCommandsTest, ABatchSwitchEndsAsCancelled) {
    session.SetCommandLine("-updateall", "");
    CommandLineResult result;
    EXPECT_LT(Timed([&] { result = CUpdateCommands(session, user).ProcessCommandLine(); }), kBound);
    EXPECT_EQ(result.outcome, CommandLineOutcome::Cancelled);
}

TEST_F(CancelledCommandsTest, ADropOfSymbolsCopiesNothing) {
    test::MakeIndex(dir.File("from"), kFormatMetaStock, 2);
    test::MakeIndex(dir.File("to"), kFormatAsciiComma, 0);
    session.Directories() = {test::Record(dir.File("from"), kFormatMetaStock),
                             test::Record(dir.File("to"), kFormatAsciiComma)};
    session.RefillDirectoryList();
    ASSERT_TRUE(session.OpenCurrentDirectory(0));
    session.SymbolList().Selection().Select(0);
    session.SymbolList().Selection().Select(1);
    const auto before = test::FolderContents(dir.File("to"));
    bool dropped = true;
    EXPECT_LT(Timed([&] { dropped = CopyOrMoveDroppedSymbols(session, user, 1); }), kBound);
    EXPECT_FALSE(dropped);
    EXPECT_EQ(test::FolderContents(dir.File("to")), before);
}

TEST_F(CancelledCommandsTest, OpeningASymbolsDataGivesUpWithTheLogin) {
    test::MakeIndex(dir.File("ascii"), kFormatAsciiComma, 2);
    session.Directories().push_back(test::Record(dir.File("ascii"), kFormatAsciiComma));
    ASSERT_TRUE(session.OpenCurrentDirectory(0));
    const auto before = test::FolderContents(dir.File("ascii"));
    SymbolDataOutcome outcome = SymbolDataOutcome::Written;
    EXPECT_LT(Timed([&] {
                  outcome = OpenSymbolDataEditor(session, user, 0, SymbolDataTrigger::DoubleClick);
              }),
              kBound);
    EXPECT_EQ(outcome, SymbolDataOutcome::NotOpened);
    EXPECT_EQ(test::FolderContents(dir.File("ascii")), before);
}

// The calls that take the run flag themselves: the flag is cleared from
// another thread, as a window's Cancel does.
TEST_F(CancelledCommandsTest, AccountCheckAndDefinitionFileGiveUp) {
    const std::string output = dir.File("out.txt");
    test::WriteBytes(dir.File("in.txt"), {'X', '\n'});
    // The definition-file run reads the account from the configuration.
    ASSERT_TRUE(CreateFolders(dir.File("config")));
    ASSERT_TRUE(session.StoreConfig());
    for (int call = 0; call < 2; ++call) {
        RunFlag run{1};
        std::thread canceller([&run] {
            std::this_thread::sleep_for(kCancelAfter);
            run.store(0);
        });
        const auto took = Timed([&] {
            if (call == 0) {
                EXPECT_FALSE(AcceptAccount("valid1", "pw", run).accepted);
            } else {
                DefinitionFileOutcome outcome = DefinitionFileOutcome::Written;
                EXPECT_EQ(session.RunDefinitionFile(dir.File("in.txt"), output, run, &outcome), 0);
                EXPECT_EQ(outcome, DefinitionFileOutcome::ConnectionFailed);
            }
        });
        canceller.join();
        EXPECT_LT(took, kBound) << call;
    }
    EXPECT_FALSE(EntryExists(output));
}

} // namespace
} // namespace mvr
