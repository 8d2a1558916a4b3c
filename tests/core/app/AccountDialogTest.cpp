// The account dialog's logic, the client-information answers and the
// "Account ..." command.

#include "core/app/AccountDialog.h"

#include "core/app/Session.h"
#include "core/net/UserRequests.h"
#include "core/platform/ConfigFolder.h"
#include "core/platform/Paths.h"
#include "server/TestPriceServer.h"
#include "support/Running.h"
#include "support/ScriptedInteraction.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace mvr {
namespace {

using test::CScriptedInteraction;

TEST(AccountDialogTest, EachRefusalHasItsMessageAndOtherResultsLeaveTheAreaAlone) {
    EXPECT_EQ(AccountCheckMessage(kAccountRealtimeUnavailable),
              "No connection to the Marvane Realtime server could be established.");
    EXPECT_EQ(AccountCheckMessage(kAccountBlocked),
              "Your access has been blocked!\n"
              "Please contact the sales department (+49 69 4005 2210).");
    EXPECT_EQ(AccountCheckMessage(kAccountInvalid), "The specifications are invalid!");
    EXPECT_EQ(AccountCheckMessage(kAccountDatabaseError), "The server reported a database error!");
    for (const std::int32_t result : {0, -20, kCheckExchangeFailed, kCheckSocketsUnavailable, -3}) {
        EXPECT_EQ(AccountCheckMessage(result), std::nullopt) << result;
    }
}

ServerTables TablesWithUpperCasePassword() {
    ServerTables tables = test::SmallTables();
    ServerAccount account;
    account.account = "upper";
    account.password = "SECRET";
    tables.accounts.push_back(account);
    account.account = "blocked2";
    account.password = "PW";
    account.state = AccountState::Blocked;
    tables.accounts.push_back(account);
    return tables;
}

TEST(AccountDialogTest, ThePasswordIsCheckedAndKeptInUpperCase) {
    test::TestPriceServer server(TablesWithUpperCasePassword());
    server.BecomeServer();
    const AccountAcceptance accepted = AcceptAccount("upper", "secret", test::Running());
    EXPECT_TRUE(accepted.accepted);
    EXPECT_EQ(accepted.password, "SECRET");
    EXPECT_EQ(accepted.message, std::nullopt);

    // A server that keeps a lower-case password never sees it as typed.
    const AccountAcceptance refused = AcceptAccount("valid1", "pw", test::Running());
    EXPECT_FALSE(refused.accepted);
    EXPECT_EQ(refused.password, "PW");

    const AccountAcceptance blocked = AcceptAccount("blocked2", "pw", test::Running());
    EXPECT_FALSE(blocked.accepted);
    EXPECT_EQ(blocked.message, AccountCheckMessage(kAccountBlocked));
}

TEST(AccountDialogTest, TheFieldsAreCutTo259Characters) {
    test::TestPriceServer server;
    server.BecomeServer();
    const AccountAcceptance acceptance =
        AcceptAccount(std::string(300, 'a'), std::string(300, 'b'), test::Running());
    EXPECT_EQ(acceptance.account.size(), 259u);
    EXPECT_EQ(acceptance.password, std::string(259, 'B'));
}

TEST(AccountDialogTest, AnswerWithoutMessageOrUpdateShowsOnlyTheFields) {
    AccountDialogView view;
    view.message = "before";
    ApplyClientInfoAnswer(1, ClientInfo{}, view);
    EXPECT_EQ(view.message, "before");
    EXPECT_FALSE(view.updateButtonShown);
    EXPECT_FALSE(view.linkShown);
    EXPECT_TRUE(view.fieldsEnabled);
    EXPECT_EQ(MainWindowCheckAction(1, ClientInfo{}), ClientCheckAction::ProcessCommandLine);
}

TEST(AccountDialogTest, AnAvailableUpdateShowsTheButtonButNotTheLink) {
    ClientInfo info;
    info.updateAvailable = true;
    info.infoAddress = "https://example.com/info";
    AccountDialogView view;
    ApplyClientInfoAnswer(1, info, view);
    EXPECT_TRUE(view.updateButtonShown);
    EXPECT_FALSE(view.updateButtonFocused);
    EXPECT_FALSE(view.linkShown);
    EXPECT_TRUE(view.fieldsEnabled);
    EXPECT_EQ(MainWindowCheckAction(1, info), ClientCheckAction::ProcessCommandLine);
}

TEST(AccountDialogTest, AMandatoryUpdateShowsTheLinkAndDisablesTheFields) {
    ClientInfo info;
    info.message = "Please update";
    info.updateAvailable = true;
    info.updateMandatory = true;
    info.infoAddress = "https://example.com/info";
    AccountDialogView view;
    ApplyClientInfoAnswer(1, info, view);
    EXPECT_EQ(view.message, "Please update");
    EXPECT_TRUE(view.updateButtonShown);
    EXPECT_TRUE(view.updateButtonFocused);
    EXPECT_TRUE(view.linkShown);
    EXPECT_EQ(view.linkTarget, "https://example.com/info");
    EXPECT_EQ(view.linkCaption, "Updateinformation");
    EXPECT_FALSE(view.fieldsEnabled);

    info.linkCaption = "News";
    ApplyClientInfoAnswer(1, info, view);
    EXPECT_EQ(view.linkCaption, "News");
    EXPECT_EQ(MainWindowCheckAction(1, info), ClientCheckAction::AccountCommand);
}

TEST(AccountDialogTest, AnEmptyAnswerOrAMessageOpensTheAccountDialogAndNoAnswerNothing) {
    AccountDialogView view;
    ApplyClientInfoAnswer(0, ClientInfo{}, view);
    EXPECT_EQ(view.message, "Error verifying version info!");
    ClientInfo withMessage;
    withMessage.message = "Hello";
    ApplyClientInfoAnswer(0, withMessage, view);
    EXPECT_EQ(view.message, "Hello");

    AccountDialogView untouched;
    untouched.message = "kept";
    ApplyClientInfoAnswer(-1, withMessage, untouched);
    EXPECT_EQ(untouched.message, "kept");

    EXPECT_EQ(MainWindowCheckAction(0, ClientInfo{}), ClientCheckAction::AccountCommand);
    EXPECT_EQ(MainWindowCheckAction(1, withMessage), ClientCheckAction::AccountCommand);
    EXPECT_EQ(MainWindowCheckAction(-1, withMessage), ClientCheckAction::None);
}

TEST(AccountDialogTest, TheUpdateToolLiesBesideTheExecutable) {
    const std::string folder = WithTrailingSeparator(std::string("opt") + kPathSeparator + "mvr");
#ifdef _WIN32
    EXPECT_EQ(UpdateToolPath(folder + "mvrkrsexp.exe"), folder + "KVLOUPDRUN.EXE");
#else
    EXPECT_EQ(UpdateToolPath(folder + "mvrkrsexp"), folder + "KVLOUPDRUN");
#endif
    EXPECT_EQ(UpdateToolPath(""), "");

    CScriptedInteraction user;
    std::string message;
    EXPECT_FALSE(StartUpdateTool("", user, message));
    EXPECT_EQ(message, "error Path update-tool!");
    user.ExpectStartProgram(UpdateToolPath(folder + "mvrkrsexp"), false);
    EXPECT_FALSE(StartUpdateTool(folder + "mvrkrsexp", user, message));
    EXPECT_EQ(message, "error starting update-tool!");
    user.ExpectStartProgram(UpdateToolPath(folder + "mvrkrsexp"), true);
    message.clear();
    EXPECT_TRUE(StartUpdateTool(folder + "mvrkrsexp", user, message));
    EXPECT_EQ(message, "");
}

class AccountCommandTest : public ::testing::Test {
protected:
    test::TempDir config;
    test::ScopedEnvironment environment{kConfigFolderVariable, config.Path()};
    CMVRKrsExpSession session;
    CScriptedInteraction user;
};

TEST_F(AccountCommandTest, OkStoresTheAccount) {
    session.User().account = "old";
    user.ExpectAccountDialog([](AccountDialogValues& values) {
        EXPECT_EQ(values.account, "old");
        values.account = "new";
        values.password = "PW";
        return true;
    });
    EXPECT_EQ(RunAccountCommand(session, user, ClientInfo{}), AccountCommandResult::Accepted);
    CMVRKrsExpSession stored;
    ASSERT_TRUE(stored.LoadConfig());
    EXPECT_EQ(stored.User().account, "new");
    EXPECT_EQ(stored.User().password, "PW");
}

TEST_F(AccountCommandTest, CancelEndsTheRunOnlyForAStartedOrCompulsoryUpdate) {
    ClientInfo available;
    available.updateAvailable = true;
    ClientInfo mandatory = available;
    mandatory.updateMandatory = true;
    const auto cancel = [](bool started) {
        return [started](AccountDialogValues& values) {
            values.updateToolStarted = started;
            return false;
        };
    };

    user.ExpectAccountDialog(cancel(false));
    EXPECT_EQ(RunAccountCommand(session, user, available), AccountCommandResult::Cancelled);
    user.ExpectAccountDialog(cancel(true));
    EXPECT_EQ(RunAccountCommand(session, user, available), AccountCommandResult::EndRun);
    user.ExpectAccountDialog(cancel(false));
    EXPECT_EQ(RunAccountCommand(session, user, mandatory), AccountCommandResult::EndRun);
    // A started tool without an announced update does not end the run.
    user.ExpectAccountDialog(cancel(true));
    EXPECT_EQ(RunAccountCommand(session, user, ClientInfo{}), AccountCommandResult::Cancelled);
    EXPECT_EQ(session.User().account, "");
}

} // namespace
} // namespace mvr
