// The login answer as the server writes it and as the client reads it: one
// golden byte sequence pins both directions, so that neither end can drift
// from the other unnoticed.

#include "core/net/ClientRequest.h"
#include "core/net/ProcessState.h"
#include "core/net/RequestTimeout.h"
#include "core/net/ScriptedPeer.h"
#include "core/net/ServerEndpoint.h"
#include "core/net/UserRequests.h"
#include "MemorySocket.h"
#include "server/RequestContext.h"
#include "server/ServerData.h"
#include "server/UserRequestHandlers.h"
#include "SmallDataFolder.h"
#include "support/Running.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace mvr {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test::Hex;

ServerTables TinyTables() {
    ServerTables t;
    ServerAccount account;
    account.account = "a";
    account.password = "p";
    account.loginResult = 7;
    account.checkResult = 8;
    account.loginNumber = 0x01020304;
    t.accounts = {account};
    t.securityTypes = {{1, "S"}};
    t.exchanges = {{2, "X Y", true, 0}};
    t.searchKinds = {{3, "N", kSearchName, SearchMatch::Contains}};
    t.instruments = {{1001, 0, 1, 2, "A", "", "Alpha", "EUR", 2}};
    return t;
}

const Bytes kLoginAnswer =
    Hex("00 00 00 07  01 00"                                // result 7, two server data
        "00 00 00 2A  00 00 00  01 02 03 04  61 00 00 00"   // user record: login number, texts
        "00 00 00 00  00 00 00 00 00 00 00 00  00 00 00 00" // three unused numbers
        "00 00 00 00  00 00 00 00  00 00 00 00  00 00 00"   // flag word, optional items
        "00 00 00 04  00 01 53 00  00 00 00 00"             // security types: 1 "S"
        "00 00 00 00"                                       // countries: none
        "00 00 00 07  00 02 58 20 59 00 01  00 00 00 00"    // exchanges: 2 "X Y" flag
        "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"   // twelve skipped sections
        "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"
        "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"
        "00 00 00 00 00 00 00 00 00 00 00 00"           // three raw numbers
        "00 00 00 00  00 00 00 00  00 00 00 00"         // raw number, section, raw number
        "00 00 00 04  00 00 00 00"                      // an ignored block
        "00 00 00 06  4E 00 00 00 00 03  00 00 00 00"); // search kinds: "N" code 3

// The login body of account "a" with password "p", as one block.
Bytes LoginBodyBlock() {
    const std::string payload =
        std::string("a\0p\0\0", 5) + ClientText() + std::string("\0\0\0\0\x09", 5);
    Bytes block(4 + payload.size());
    block[3] = static_cast<std::uint8_t>(payload.size());
    std::copy(payload.begin(), payload.end(), block.begin() + 4);
    return block;
}

class LoginAnswerTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::WriteDataFolder(folder_.Path(), TinyTables());
        DataError error;
        data_ = CServerData::Open(folder_.Path(), &error);
        ASSERT_TRUE(data_) << error.Text();
    }

    test::TempDir folder_;
    std::unique_ptr<CServerData> data_;
};

TEST_F(LoginAnswerTest, ServerWritesTheGoldenAnswer) {
    Bytes input = LoginBodyBlock();
    input.insert(input.end(), {0x13, 0x88}); // the client's download rate
    test::MemorySocket socket(input);
    const RunFlag run{1};
    CClientRequest connection(socket, run);
    const RequestHeader header{kProtocolVersion, 1, kRequestLogin, 0};
    const FaultOptions noFaults;
    CRequestContext request(connection, *data_, header, noFaults);
    AnswerLogin(request);
    EXPECT_EQ(socket.Output(), kLoginAnswer);
    EXPECT_TRUE(socket.InputConsumed());
    EXPECT_EQ(request.Result(), "login=7,rate=5000");
}

TEST_F(LoginAnswerTest, ClientReadsTheGoldenAnswer) {
    Bytes body;
    std::uint16_t rate = 0;
    test::ScriptedPeer peer([&](CClientRequest& far, CWinSocket& connection) {
        far.readRequestHeader();
        far.writeByte(1);
        far.readData();
        body.assign(far.In().Buffer() + 4, far.In().Buffer() + 4 + far.In().BlockLength());
        ASSERT_TRUE(connection.Send(kLoginAnswer.data(), static_cast<int>(kLoginAnswer.size())));
        rate = far.readShort();
    });
    ResetProcessStateForTesting();
    peer.BecomeServer();
    const CScopedRequestTimeout timeout(std::chrono::seconds(5));
    std::string message = "old";
    EXPECT_EQ(Login("a", "p", message, test::Running()), 7);
    peer.Join();
    EXPECT_EQ(message, "");
    const Bytes sent = LoginBodyBlock();
    EXPECT_EQ(body, Bytes(sent.begin() + 4, sent.end()));
    EXPECT_GT(rate, 0);
    EXPECT_EQ(LoginNumber(), 0x01020304);
    const ReferenceTables& tables = LoginReferenceTables();
    ASSERT_EQ(tables.securityTypes.size(), 1u);
    EXPECT_EQ(tables.securityTypes.at(1), (WPART{1, "S"}));
    ASSERT_EQ(tables.exchanges.size(), 1u);
    EXPECT_EQ(tables.exchanges.at(2), (BOERSE{2, "Y", true}));
    ASSERT_EQ(tables.searchKinds.size(), 1u);
    EXPECT_EQ(tables.searchKinds[0], (MVRSUCHART{"N", 3}));
    ResetProcessStateForTesting();
}

} // namespace
} // namespace mvr
