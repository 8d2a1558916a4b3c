// The login step every server command of the session starts with.

#include "core/app/Session.h"
#include "core/net/ProcessState.h"
#include "core/net/ServerEndpoint.h"
#include "server/TestPriceServer.h"
#include "support/Running.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace mvr {
namespace {

class SessionLoginTest : public ::testing::Test {
protected:
    void LogInAs(const std::string& account, const std::string& password) {
        session_.User().account = account;
        session_.User().password = password;
    }

    test::TestPriceServer server_;
    CMVRKrsExpSession session_;
};

TEST_F(SessionLoginTest, LogsInOnceWithTheStoredAccount) {
    server_.BecomeServer();
    LogInAs("valid1", "pw");
    std::string message = "old";
    ASSERT_TRUE(session_.EnsureLogin(message, test::Running()));
    EXPECT_EQ(LoginNumber(), 700);
    // A second command does not log in again: a changed password would fail.
    LogInAs("valid1", "wrong");
    EXPECT_TRUE(session_.EnsureLogin(message, test::Running()));
}

TEST_F(SessionLoginTest, FailureCarriesTheServersText) {
    server_.BecomeServer();
    LogInAs("message", "pw");
    std::string message;
    EXPECT_FALSE(session_.EnsureLogin(message, test::Running()));
    EXPECT_NE(message.find("Please call us, today"), std::string::npos) << message;
    EXPECT_EQ(LoginNumber(), 0);
}

TEST_F(SessionLoginTest, NoServerGivesTheConnectionErrorText) {
    // A port the test server just gave up: nobody listens there any more.
    int closedPort = 0;
    {
        test::TestPriceServer gone;
        closedPort = gone.Port();
    }
    const CScopedServerEndpoint endpoint(ServerEndpoint{"127.0.0.1", closedPort});
    LogInAs("valid1", "pw");
    std::string message;
    EXPECT_FALSE(session_.EnsureLogin(message, test::Running()));
    EXPECT_EQ(message, kConnectionErrorText);
}

} // namespace
} // namespace mvr
