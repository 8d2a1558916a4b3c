// A definition-file run as the command line starts it: a fresh session on a
// configuration folder, the stored account, the server of the ".ini" file.

#include "core/app/Session.h"
#include "core/platform/ConfigFolder.h"
#include "core/platform/FileSystem.h"
#include "server/TestPriceServer.h"
#include "support/Running.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace mvr {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;
using Bytes = std::vector<std::uint8_t>;

Bytes BytesOf(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

class SessionDefinitionFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string ini =
            "[MVRKrsExp]\nServerName=127.0.0.1\nServerPort=" + std::to_string(server_.Port()) +
            "\n";
        WriteBytes(config_.File("MVRKrsExp.ini"), BytesOf(ini));
        WriteBytes(input_, BytesOf("SAPX\nNOPE\n"));
        WriteBytes(output_, BytesOf("old"));
    }

    void StoreAccount(const std::string& account, const std::string& password) {
        CMVRKrsExpSession session;
        ASSERT_TRUE(session.LoadConfig());
        session.User().account = account;
        session.User().password = password;
        ASSERT_TRUE(session.StoreConfig());
    }

    test::TestPriceServer server_;
    TempDir config_;
    test::ScopedEnvironment folder_{kConfigFolderVariable, config_.Path()};
    TempDir files_;
    std::string input_ = files_.File("in.txt");
    std::string output_ = files_.File("out.txt");
};

TEST_F(SessionDefinitionFileTest, ExchangesWithTheStoredAccount) {
    StoreAccount("valid1", "pw");
    CMVRKrsExpSession session;
    DefinitionFileOutcome outcome = DefinitionFileOutcome::ConnectionFailed;
    EXPECT_EQ(session.RunDefinitionFile(input_, output_, test::Running(), &outcome), 1);
    EXPECT_TRUE(session.ConfigLoaded());
    EXPECT_EQ(outcome, DefinitionFileOutcome::Written);
    EXPECT_EQ(ReadBytes(output_), BytesOf("#ERROR line 2: unknown instrument \"NOPE\"\r\n"));
    // The account check, then the exchange headed by its number.
    const auto lines = server_.WaitForLogLines(2);
    EXPECT_EQ(test::CountLines(lines, "code=55 result=check=70"), 1u);
    EXPECT_EQ(test::CountLines(lines, "code=200 result=lines=1,errors=1"), 1u);
}

TEST_F(SessionDefinitionFileTest, WithoutAUsableAccountNothingIsSent) {
    for (const auto& [account, password] :
         {std::pair{"", "pw"}, std::pair{"valid1", ""}, std::pair{"valid1", "wrong"},
          std::pair{"blocked", "pw"}}) {
        StoreAccount(account, password);
        CMVRKrsExpSession session;
        EXPECT_EQ(session.RunDefinitionFile(input_, output_, test::Running()), 0)
            << account << "/" << password;
        EXPECT_EQ(ReadBytes(output_), BytesOf("old"));
    }
    // Only the two account checks reached the server.
    EXPECT_EQ(test::CountLines(server_.WaitForLogLines(2), "code=200"), 0u);
}

TEST_F(SessionDefinitionFileTest, AFailedExchangeStillCountsAsRun) {
    StoreAccount("valid1", "pw");
    CMVRKrsExpSession session;
    DefinitionFileOutcome outcome = DefinitionFileOutcome::Written;
    const std::string missingOutput = files_.File("new.txt");
    EXPECT_EQ(session.RunDefinitionFile(files_.File("missing.txt"), missingOutput, test::Running(),
                                        &outcome),
              1);
    EXPECT_EQ(outcome, DefinitionFileOutcome::InputUnreadable);
    EXPECT_FALSE(EntryExists(missingOutput));
    // The account check reached the server, the exchange did not.
    EXPECT_EQ(test::CountLines(server_.WaitForLogLines(1), "code=200"), 0u);
}

} // namespace
} // namespace mvr
