// The server's side of the definition-file exchange: the line format, the
// answer text for good and bad lines, and the strict reading of the upload.

#include "server/DefinitionAnswer.h"

#include "core/definition/ChunkedBytes.h"
#include "core/definition/DefinitionFileRequest.h"
#include "core/net/IOException.h"
#include "core/net/ServerRequest.h"
#include "server/BarFiles.h"
#include "server/DefinitionLine.h"
#include "server/DefinitionRequestHandler.h"
#include "SmallDataFolder.h"
#include "support/TempDir.h"
#include "TestPriceServer.h"

#include <gtest/gtest.h>

namespace mvr {
namespace {

using test::Daily;
using test::TempDir;
using test::WriteDataFile;

constexpr std::int32_t k20240102 = 739253;

TEST(DefinitionLineTest, UsableLines) {
    struct Case {
        const char* line;
        const char* instrument;
        std::int32_t firstDay;
        std::int32_t lastDay;
    };
    const Case cases[] = {
        {"SAPX;20240102;20240105", "SAPX", k20240102, k20240102 + 3},
        {"  SAPX ;\t20240102 ; 20240102\r", "SAPX", k20240102, k20240102},
        {"SAPX", "SAPX", kOpenStartDay, kOpenEndDay},
        {"SAPX;;", "SAPX", kOpenStartDay, kOpenEndDay},
        {"SAPX;20240102", "SAPX", k20240102, kOpenEndDay},
        {"1001;;20240102", "1001", kOpenStartDay, k20240102},
        {"SAPX;20000229;20240229", "SAPX", 730545, k20240102 + 58},
    };
    for (const Case& c : cases) {
        const DefinitionLine line = ParseDefinitionLine(c.line);
        EXPECT_EQ(line.kind, DefinitionLineKind::Query) << c.line << ": " << line.error;
        EXPECT_EQ(line.instrument, c.instrument) << c.line;
        EXPECT_EQ(line.firstDay, c.firstDay) << c.line;
        EXPECT_EQ(line.lastDay, c.lastDay) << c.line;
    }
}

TEST(DefinitionLineTest, SkippedLines) {
    for (const char* text : {"", "   ", "\r", "# a comment", "  #SAPX;20240102;20240105"}) {
        EXPECT_EQ(ParseDefinitionLine(text).kind, DefinitionLineKind::Skip) << text;
    }
}

TEST(DefinitionLineTest, UnusableLinesSayWhy) {
    struct Case {
        std::string line;
        std::string error;
    };
    const Case cases[] = {
        {";20240102;20240105", "no instrument"},
        {"SAPX;2024-01-02;", "bad from date \"2024-01-02\" (expected YYYYMMDD)"},
        {"SAPX;;2024010", "bad to date \"2024010\" (expected YYYYMMDD)"},
        {"SAPX;20230229;", "bad from date \"20230229\" (expected YYYYMMDD)"},
        {"SAPX;20241301;", "bad from date \"20241301\" (expected YYYYMMDD)"},
        {"SAPX;00000101;", "bad from date \"00000101\" (expected YYYYMMDD)"},
        {"SAPX;+2024010;", "bad from date \"+2024010\" (expected YYYYMMDD)"},
        {"SAPX;20240105;20240102", "from date 20240105 is after to date 20240102"},
        {"SAPX;20240102;20240105;x", "more than three fields (expected INSTRUMENT;FROM;TO)"},
        {"SAPX;2024\x01"
         "0102;",
         "bad from date (not shown) (expected YYYYMMDD)"},
        {"SAPX;" + std::string(2000, '1'), "line longer than 1024 bytes"},
    };
    for (const Case& c : cases) {
        const DefinitionLine line = ParseDefinitionLine(c.line);
        EXPECT_EQ(line.kind, DefinitionLineKind::Error) << c.line;
        EXPECT_EQ(line.error, c.error) << c.line;
    }
}

class DefinitionAnswerTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::WriteDataFolder(folder_.Path());
        WriteDataFile(
            folder_.Path(), "daily/1001.csv",
            FormatDailyBars(std::vector<DailyBar>{Daily(k20240102, 1000, 1010, 990, 1005, 300),
                                                  Daily(k20240102 + 1, 1005, 1100, 1001, 1099, 0),
                                                  Daily(k20240102 + 3, 7, 9, 6, 8, 12)},
                            2));
        WriteDataFile(
            folder_.Path(), "daily/1004.csv",
            FormatDailyBars(std::vector<DailyBar>{Daily(k20240102, 17000, 17100, 16900, 17050, 0)},
                            0));
        WriteDataFile(folder_.Path(), "daily/1002.csv",
                      "date,open,high,low,close,volume\nbroken\n");
        DataError error;
        data_ = CServerData::Open(folder_.Path(), &error);
        ASSERT_TRUE(data_) << error.Text();
    }

    DefinitionAnswer Answer(std::string_view definition,
                            std::size_t maxBytes = kMaxDefinitionAnswerBytes) const {
        return BuildDefinitionAnswer(*data_, definition, maxBytes);
    }

    TempDir folder_;
    std::unique_ptr<CServerData> data_;
};

TEST_F(DefinitionAnswerTest, PricesOfEveryLineInFileOrder) {
    const DefinitionAnswer answer = Answer("# prices\r\n"
                                           "IDX\r\n"
                                           "1001;20240103;\r\n"
                                           "SAPX;;20240102");
    EXPECT_EQ(answer.text, "IDX,20240102,17000,17100,16900,17050,0\r\n"
                           "SAPX,20240103,10.05,11.00,10.01,10.99,0\r\n"
                           "SAPX,20240105,0.07,0.09,0.06,0.08,12\r\n"
                           "SAPX,20240102,10.00,10.10,9.90,10.05,300\r\n");
    EXPECT_EQ(answer.queries, 3);
    EXPECT_EQ(answer.errors, 0);
    EXPECT_EQ(answer.bars, 4);
}

TEST_F(DefinitionAnswerTest, UnusableLinesGetAnErrorLineInTheirPlace) {
    const DefinitionAnswer answer = Answer("sapx\n"
                                           "SAPX;20240104;20240103\n"
                                           "IDX;20240102;20240102\n"
                                           "APLX\n"
                                           "99999\n"
                                           "\n"
                                           "SAPX;20240201\n");
    EXPECT_EQ(answer.text, "#ERROR line 1: unknown instrument \"sapx\"\r\n"
                           "#ERROR line 2: from date 20240104 is after to date 20240103\r\n"
                           "IDX,20240102,17000,17100,16900,17050,0\r\n"
                           "#ERROR line 4: the prices of \"APLX\" cannot be read\r\n"
                           "#ERROR line 5: unknown instrument \"99999\"\r\n");
    // A line whose range holds no prices is answered with none.
    EXPECT_EQ(answer.queries, 2);
    EXPECT_EQ(answer.errors, 4);
}

TEST_F(DefinitionAnswerTest, PastItsLimitTheAnswerSaysWhatIsMissing) {
    const DefinitionAnswer answer = Answer("IDX\nSAPX\nNOPE\n", 10);
    EXPECT_EQ(answer.text,
              "IDX,20240102,17000,17100,16900,17050,0\r\n"
              "#ERROR line 2: the answer reached its limit of 10 bytes; no prices for this line\r\n"
              "#ERROR line 3: unknown instrument \"NOPE\"\r\n");
}

// Sends a hand-made upload to the server and reads what comes back.
class DefinitionUploadTest : public ::testing::Test {
protected:
    // Returns the log line of the request.
    std::string Upload(const std::function<void(CSearchRequest&)>& send) {
        test::TestPriceServer server;
        server.BecomeServer();
        try {
            CWinSocket socket;
            CSearchRequest request;
            const RunFlag run{1};
            request.Open(socket, run);
            request.writeHeader(kRequestDefinitionFile, 70);
            send(request);
            readChunkedBytes(request, 1 << 20);
        } catch (const CIOException&) {
        }
        return server.WaitForLogLines(1).front();
    }
};

TEST_F(DefinitionUploadTest, AWellFormedUploadIsAnswered) {
    const std::string line = Upload([](CSearchRequest& request) {
        const std::string text = "NOPE\n";
        writeChunkedBytes(
            request, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    });
    EXPECT_NE(line.find("code=200 result=lines=0,errors=1,bars=0,bytes="), std::string::npos)
        << line;
}

TEST_F(DefinitionUploadTest, AMalformedUploadEndsTheConnection) {
    using Send = std::function<void(CSearchRequest&)>;
    const Send cases[] = {
        // More bytes than announced.
        [](CSearchRequest& request) {
            request.Out().writeLong(2);
            request.writeBlock();
            request.Out().writeBlob("abc", 3);
            request.writeBlock();
        },
        // Fewer: an empty block before the end.
        [](CSearchRequest& request) {
            request.Out().writeLong(5);
            request.writeBlock();
            request.Out().writeBlob("abc", 3);
            request.writeBlock();
            request.writeEndOfSection(0);
        },
        // A negative count.
        [](CSearchRequest& request) {
            request.Out().writeLong(-1);
            request.writeBlock();
        },
        // Beyond the server's limit.
        [](CSearchRequest& request) {
            request.Out().writeLong(kMaxDefinitionFileBytes + 1);
            request.writeBlock();
        },
    };
    for (const Send& send : cases) {
        const std::string line = Upload(send);
        EXPECT_NE(line.find("code=200 result=\"failed: "), std::string::npos) << line;
    }
}

} // namespace
} // namespace mvr
