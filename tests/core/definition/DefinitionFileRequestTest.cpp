// The definition-file exchange against the reference server over loopback:
// the output file is the server's answer, and an exchange that breaks off
// leaves an earlier output file as it was.

#include "core/definition/DefinitionFileRequest.h"

#include "core/definition/ChunkedBytes.h"
#include "core/net/ServerRequest.h"
#include "server/BarFiles.h"
#include "server/DefinitionAnswer.h"
#include "server/TestPriceServer.h"
#include "support/Sweep.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <memory>

namespace mvr {
namespace {

using test::TempDir;
using Bytes = std::vector<std::uint8_t>;

constexpr std::int32_t kCheckNumber = 70;  // the account check result of "valid1"
constexpr std::int32_t kFirstDay = 737791; // 2020-01-01
constexpr const char* kOldOutput = "an earlier answer\r\n";

Bytes BytesOf(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

std::string TextOf(const Bytes& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

class DefinitionFileRequestTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::WriteDataFolder(data_.Path());
        std::vector<DailyBar> bars;
        for (std::int32_t i = 0; i < 1500; ++i) {
            const std::int32_t price = 1000 + i % 97;
            bars.push_back(test::Daily(kFirstDay + i, price, price + 20, price - 20, price + 3, i));
        }
        test::WriteDataFile(data_.Path(), "daily/1001.csv", FormatDailyBars(bars, 2));
        test::WriteBytes(output_, BytesOf(kOldOutput));
    }

    test::TestPriceServer& Serve(FaultOptions faults = {}) {
        ServeOptions options = test::TestServeOptions();
        options.faults = faults;
        server_ = std::make_unique<test::TestPriceServer>(data_.Path(), options);
        server_->BecomeServer();
        return *server_;
    }

    DefinitionFileOutcome Exchange(std::string_view definition,
                                   std::int32_t checkNumber = kCheckNumber) {
        test::WriteBytes(input_, BytesOf(definition));
        const RunFlag run{1};
        return ExchangeDefinitionFile(input_, output_, checkNumber, run);
    }

    std::string Output() const { return TextOf(test::ReadBytes(output_)); }

    TempDir data_;
    TempDir files_;
    std::string input_ = files_.File("input.txt");
    std::string output_ = files_.File("output.txt");
    std::unique_ptr<test::TestPriceServer> server_;
};

TEST_F(DefinitionFileRequestTest, TheOutputFileIsTheServersAnswer) {
    test::TestPriceServer& server = Serve();
    const std::string definition = "# two lines\nSAPX;20200101;20200110\nNOPE\n1001;20240101;\n";
    ASSERT_EQ(Exchange(definition), DefinitionFileOutcome::Written);
    const std::string expected = BuildDefinitionAnswer(server.Data(), definition).text;
    EXPECT_EQ(Output(), expected);
    EXPECT_NE(expected.find("SAPX,20200102,"), std::string::npos);
    EXPECT_NE(expected.find("#ERROR line 3: unknown instrument \"NOPE\""), std::string::npos);
}

TEST_F(DefinitionFileRequestTest, ATenThousandByteFileArrivesWhole) {
    // Comment lines up to the last line, which alone asks for prices: its
    // answer shows that the server got the file to its end.
    const std::string last = "SAPX;20200106;20200107\n";
    std::string definition(10000 - last.size(), '#');
    for (std::size_t i = 49; i < definition.size(); i += 50) {
        definition[i] = '\n';
    }
    definition.back() = '\n';
    definition += last;
    ASSERT_EQ(definition.size(), 10000u);
    test::TestPriceServer& server = Serve();
    ASSERT_EQ(Exchange(definition), DefinitionFileOutcome::Written);
    EXPECT_EQ(Output(), "SAPX,20200106,10.05,10.25,9.85,10.08,5\r\n"
                        "SAPX,20200107,10.06,10.26,9.86,10.09,6\r\n");
    const auto lines = server.WaitForLogLines(1);
    EXPECT_EQ(test::CountLines(lines, "code=200 result=lines=1,errors=0,bars=2"), 1u) << lines[0];
}

TEST_F(DefinitionFileRequestTest, AnEmptyFileGetsAnEmptyAnswer) {
    Serve();
    ASSERT_EQ(Exchange(""), DefinitionFileOutcome::Written);
    EXPECT_EQ(Output(), "");
}

TEST_F(DefinitionFileRequestTest, ACutAnywhereInTheAnswerLeavesTheOldOutput) {
    const std::string definition = "SAPX;20200101;20200430\n";
    std::size_t answerBytes = 0;
    {
        test::TestPriceServer& server = Serve();
        ASSERT_EQ(Exchange(definition), DefinitionFileOutcome::Written);
        answerBytes = BuildDefinitionAnswer(server.Data(), definition).text.size();
        test::WriteBytes(output_, BytesOf(kOldOutput));
    }
    // Status bytes, count block, data blocks.
    const std::size_t wire = 2 + 8 + answerBytes + 4 * ((answerBytes + 4091) / 4092);
    for (std::size_t cut : test::SweepPoints(wire, 4096, 97, 3)) {
        FaultOptions faults;
        faults.closeAfterBytes = static_cast<std::int64_t>(cut);
        Serve(faults);
        EXPECT_EQ(Exchange(definition), DefinitionFileOutcome::ConnectionFailed) << cut;
        EXPECT_EQ(Output(), kOldOutput) << cut;
    }
}

TEST_F(DefinitionFileRequestTest, RefusalsLeaveTheOldOutput) {
    FaultOptions marker;
    marker.sectionMarker = -1;
    Serve(marker);
    EXPECT_EQ(Exchange("SAPX\n"), DefinitionFileOutcome::ServerError);
    EXPECT_EQ(Output(), kOldOutput);

    FaultOptions refuse;
    refuse.refuse = true;
    Serve(refuse);
    EXPECT_EQ(Exchange("SAPX\n"), DefinitionFileOutcome::ConnectionFailed);
    EXPECT_EQ(Output(), kOldOutput);

    Serve();
    EXPECT_EQ(Exchange("SAPX\n", 12345), DefinitionFileOutcome::ConnectionFailed);
    EXPECT_EQ(Output(), kOldOutput);
}

// A server that announces 5000 bytes, sends 100 and ends with `end`.
test::AddHandlers ShortAnswer(std::int32_t end) {
    return [end](CRequestDispatcher& dispatcher) {
        dispatcher.Register(kRequestDefinitionFile, kSearchRequestKind, HeaderNumber::CheckNumber,
                            [end](CRequestContext& request) {
                                readChunkedBytes(request.Connection(), 1 << 20);
                                request.Out().writeLong(5000);
                                request.Connection().writeBlock();
                                request.Out().writeBlob(std::string(100, 'x').data(), 100);
                                request.Connection().writeBlock();
                                request.Connection().writeEndOfSection(end);
                            });
    };
}

TEST_F(DefinitionFileRequestTest, AnAnswerThatEndsEarly) {
    {
        // A normal end: the bytes that arrived, and not one more.
        test::TestPriceServer server(test::SmallTables(), test::TestServeOptions(), ShortAnswer(0));
        server.BecomeServer();
        EXPECT_EQ(Exchange("SAPX\n"), DefinitionFileOutcome::WrittenIncomplete);
        EXPECT_EQ(Output(), std::string(100, 'x'));
    }
    test::WriteBytes(output_, BytesOf(kOldOutput));
    // The server's error: nothing of it replaces the earlier answer.
    test::TestPriceServer server(test::SmallTables(), test::TestServeOptions(), ShortAnswer(-1));
    server.BecomeServer();
    EXPECT_EQ(Exchange("SAPX\n"), DefinitionFileOutcome::ServerError);
    EXPECT_EQ(Output(), kOldOutput);
}

TEST_F(DefinitionFileRequestTest, AnOutputThatCannotBeWrittenIsReported) {
    Serve();
    test::WriteBytes(input_, BytesOf("SAPX\n"));
    const RunFlag run{1};
    EXPECT_EQ(ExchangeDefinitionFile(input_, files_.File("no-folder/out.txt"), kCheckNumber, run),
              DefinitionFileOutcome::OutputNotWritten);
}

} // namespace
} // namespace mvr
