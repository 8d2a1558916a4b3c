// Login, account check and client information against the reference price
// server over loopback, and the rules of the login that need no server.

#include "core/net/UserRequests.h"

#include "core/net/ProcessState.h"
#include "core/net/RequestTimeout.h"
#include "core/net/ServerEndpoint.h"
#include "core/platform/BuildVersion.h"
#include "ScriptedPeer.h"
#include "server/RequestContext.h"
#include "server/TestPriceServer.h"
#include "server/UserRequestHandlers.h"
#include "support/Running.h"

#include <gtest/gtest.h>

namespace mvr {
namespace {

using test::TestPriceServer;

TEST(LoginRulesTest, ClientTextCarriesTheVersionOfTheProgram) {
    const std::string expected =
        std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor) + "." +
        std::to_string(kVersionBuild) + "." + std::to_string(kVersionRevision) + ";6;NULL;";
    EXPECT_EQ(ClientText(), expected);
}

TEST(LoginRulesTest, DownloadRate) {
    EXPECT_EQ(DownloadRate(50000, 100), 5000);
    EXPECT_EQ(DownloadRate(50000, 10), 32767);
    EXPECT_EQ(DownloadRate(123456789, 0), 10000);
    EXPECT_EQ(DownloadRate(0, 0), 10000);
    EXPECT_EQ(DownloadRate(9, 100), 0);
}

TEST(LoginRulesTest, ExchangeNamesKeepTheTextAfterTheFirstWord) {
    EXPECT_EQ(ExchangeDisplayName("XETR Xetra"), "Xetra");
    EXPECT_EQ(ExchangeDisplayName("NYSE   New York"), "New York");
    EXPECT_EQ(ExchangeDisplayName("Frankfurt"), "Frankfurt");
    EXPECT_EQ(ExchangeDisplayName("OTC  "), "OTC  ");
    EXPECT_EQ(ExchangeDisplayName(""), "");
    EXPECT_EQ(ExchangeDisplayName(" Leading"), "Leading");
}

TEST(LoginRulesTest, ResultMessages) {
    EXPECT_EQ(AccountResultMessage(-1), "The server reported a database error!");
    EXPECT_EQ(AccountResultMessage(-2), "The specifications are invalid!");
    const std::string blocked = AccountResultMessage(-19);
    EXPECT_EQ(
        blocked.rfind("Your access has been blocked!\nPlease contact the sales department (", 0),
        0u);
    EXPECT_EQ(blocked.substr(blocked.size() - 2), ").");
    EXPECT_EQ(AccountResultMessage(-21),
              "No connection to the Marvane Realtime server could be established.");
    for (const int silent : {0, -5, -20, -100, 1}) {
        EXPECT_EQ(AccountResultMessage(silent), "") << silent;
    }
}

class UserRequestsTest : public ::testing::Test {
protected:
    TestPriceServer server;
};

TEST_F(UserRequestsTest, LoginWithEveryAccountStateAndItsMessage) {
    const struct {
        const char* account;
        const char* password;
        std::string message;
    } refused[] = {
        {"blocked", "pw", AccountResultMessage(-19)},
        {"invalid", "pw", "The specifications are invalid!"},
        {"valid1", "wrong", "The specifications are invalid!"},
        {"nobody", "pw", "The specifications are invalid!"},
        {"message", "pw", "Please call us, today"},
        {"nort", "pw", AccountResultMessage(-21)},
        {"dberr", "pw", "The server reported a database error!"},
    };
    for (const auto& account : refused) {
        std::string message = "left over";
        EXPECT_EQ(Login(account.account, account.password, message, test::Running()), 0)
            << account.account;
        EXPECT_EQ(message, account.message) << account.account;
        EXPECT_EQ(LoginNumber(), 0);
    }
    std::string message = "left over";
    EXPECT_EQ(Login("valid2", "Pw 2", message, test::Running()), 1);
    EXPECT_EQ(message, "");
    EXPECT_EQ(LoginNumber(), 701);
}

TEST_F(UserRequestsTest, LoginBringsTheReferenceTablesAndReportsTheRate) {
    std::string message;
    // valid1 has a flag word that announces the two extra sections.
    ASSERT_EQ(Login("valid1", "pw", message, test::Running()), 7);
    EXPECT_EQ(LoginNumber(), 700);
    const ReferenceTables& tables = LoginReferenceTables();
    ASSERT_EQ(tables.securityTypes.size(), 3u);
    EXPECT_EQ(tables.SecurityTypeName(1), "Shares");
    EXPECT_EQ(tables.SecurityTypeName(4), "Indices");
    EXPECT_EQ(tables.SecurityTypeName(3), "");
    ASSERT_EQ(tables.exchanges.size(), 3u);
    EXPECT_EQ(tables.exchanges.at(1), (BOERSE{1, "Xetra", true}));
    EXPECT_EQ(tables.exchanges.at(2), (BOERSE{2, "New York", false}));
    EXPECT_EQ(tables.exchanges.at(3), (BOERSE{3, "OTC  ", false}));
    ASSERT_EQ(tables.searchKinds.size(), 5u);
    EXPECT_EQ(tables.searchKinds.front(), (MVRSUCHART{"Name", 1}));
    EXPECT_EQ(tables.searchKinds.back(), (MVRSUCHART{"Anything", 5}));
    const auto lines = server.WaitForLogLines(1);
    EXPECT_NE(lines[0].find("code=63 result=login=7,rate="), std::string::npos) << lines[0];
}

TEST_F(UserRequestsTest, SecondLoginOpensNoConnection) {
    std::string message;
    ASSERT_EQ(Login("valid2", "Pw 2", message, test::Running()), 1);
    EXPECT_EQ(Login("valid1", "pw", message, test::Running()), 1);
    EXPECT_EQ(LoginNumber(), 701);
    // The next request the server sees is the account check, not a login.
    EXPECT_EQ(CheckAccount("valid1", "pw", test::Running()), 70);
    const auto lines = server.WaitForLogLines(2);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(test::CountLines(lines, "code=63 "), 1u);
    EXPECT_EQ(test::CountLines(lines, "code=55 "), 1u);
}

TEST_F(UserRequestsTest, AccountCheckResults) {
    EXPECT_EQ(CheckAccount("valid1", "pw", test::Running()), 70);
    EXPECT_EQ(CheckAccount("valid2", "Pw 2", test::Running()), 71);
    EXPECT_EQ(CheckAccount("valid2", "PW 2", test::Running()), -2);
    EXPECT_EQ(CheckAccount("blocked", "pw", test::Running()), -19);
    EXPECT_EQ(CheckAccount("message", "pw", test::Running()), -20);
    EXPECT_EQ(CheckAccount("nort", "pw", test::Running()), -21);
    EXPECT_EQ(CheckAccount("dberr", "pw", test::Running()), -1);
    EXPECT_EQ(LoginNumber(), 0); // the check logs nobody in
}

TEST_F(UserRequestsTest, AccountCheckWithoutServerFails) {
    CWinSocket unused; // a port nobody listens on
    ASSERT_TRUE(unused.Create(0, SocketType::Stream, "127.0.0.1", false));
    const CScopedServerEndpoint endpoint({"127.0.0.1", unused.LocalPort()});
    EXPECT_EQ(CheckAccount("valid1", "pw", test::Running()), kCheckExchangeFailed);
    std::string message = "x";
    EXPECT_EQ(Login("valid1", "pw", message, test::Running()), 0);
    EXPECT_EQ(message, "");
}

TEST_F(UserRequestsTest, PortZeroMeansThePrimaryHostOnItsFallbackPort) {
    const CScopedServerEndpoint endpoint({"127.0.0.1", 0});
    const CScopedRequestTimeout shortWait(std::chrono::milliseconds(200));
    // Wherever it connects, the endpoint is replaced first.
    CheckAccount("valid1", "pw", test::Running());
    EXPECT_EQ(GetServerEndpoint().name, PrimaryServerHost());
    EXPECT_EQ(GetServerEndpoint().port, kFallbackServerPort);
}

TEST_F(UserRequestsTest, ClientInformation) {
    CWinSocket socket;
    ClientInfo info;
    ASSERT_EQ(GetClientInfo(socket, info, test::Running()), 1);
    const ClientInformation& sent = server.Data().Tables().clientInfo;
    EXPECT_EQ(info.message, sent.message);
    EXPECT_EQ(info.updateAvailable, sent.updateAvailable);
    EXPECT_EQ(info.updateMandatory, sent.updateMandatory);
    EXPECT_EQ(info.reservedText, sent.reservedText);
    EXPECT_EQ(info.infoAddress, sent.infoAddress);
    EXPECT_EQ(info.linkCaption, sent.linkCaption);
    EXPECT_EQ(info.reservedNumber, sent.reservedNumber);
}

// Answers the scripted peers give that the reference server never does.
class LoginScriptTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProcessStateForTesting();
    }
    void TearDown() override { ResetProcessStateForTesting(); }

    static void AnswerResult(CClientRequest& far, std::int32_t result) {
        far.readRequestHeader();
        far.writeByte(1);
        far.readData();
        far.writeLong(result);
        far.writeByte(1);
        far.writeByte(0);
    }

private:
    const CScopedServerEndpoint endpoint_{GetServerEndpoint()};
    const CScopedRequestTimeout timeout_{std::chrono::seconds(5)};
};

TEST_F(LoginScriptTest, ResultWithoutMessageGivesNone) {
    test::ScriptedPeer peer([](CClientRequest& far, CWinSocket&) { AnswerResult(far, -5); });
    peer.BecomeServer();
    std::string message = "left over";
    EXPECT_EQ(Login("a", "b", message, test::Running()), 0);
    EXPECT_EQ(message, "");
    peer.Join();
}

TEST_F(LoginScriptTest, BreakAfterTheUserRecordKeepsTheLoginNumber) {
    test::ScriptedPeer peer([](CClientRequest& far, CWinSocket&) {
        AnswerResult(far, 3);
        CDataOutputStream& out = far.Out();
        for (int i = 0; i < 3; ++i) {
            out.writeByte(0);
        }
        out.writeLong(4711);
        for (int i = 0; i < 3; ++i) {
            out.writeString("");
        }
        out.writeLong(0);
        out.writeLong64(0);
        out.writeLong(0);
        out.writeLong(0); // flag word; the optional items are left out
        far.writeData();
        // The connection ends in the middle of the security types.
        out.writeShort(1);
        far.writeBlock();
    });
    peer.BecomeServer();
    std::string message;
    EXPECT_EQ(Login("a", "b", message, test::Running()), 0);
    peer.Join();
    EXPECT_EQ(LoginNumber(), 4711);
    EXPECT_EQ(Login("a", "b", message, test::Running()), 1);
}

TEST_F(LoginScriptTest, SearchKindsEndedWithTooManySuppressTheRate) {
    test::TempDir folder;
    test::WriteDataFolder(folder.Path());
    DataError error;
    const auto data = CServerData::Open(folder.Path(), &error);
    ASSERT_TRUE(data) << error.Text();
    int bytesAfterTheAnswer = -1;
    test::ScriptedPeer peer([&](CClientRequest& far, CWinSocket& connection) {
        const RequestHeader header = far.readRequestHeader();
        far.writeByte(1);
        FaultOptions faults;
        faults.sectionMarker = -2; // every section, the search kinds last
        CRequestContext request(far, *data, header, faults);
        AnswerLogin(request);
        const std::int64_t before = connection.BytesReceived();
        test::ScriptedPeer::WaitForClose(connection);
        bytesAfterTheAnswer = static_cast<int>(connection.BytesReceived() - before);
    });
    peer.BecomeServer();
    std::string message;
    EXPECT_EQ(Login("valid1", "pw", message, test::Running()), 7);
    peer.Join();
    EXPECT_EQ(bytesAfterTheAnswer, 0);
    EXPECT_EQ(LoginReferenceTables().searchKinds.size(), 5u);
}

} // namespace
} // namespace mvr
