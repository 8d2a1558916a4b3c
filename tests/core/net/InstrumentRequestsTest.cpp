// The instrument number lookup of a directory's symbols (request 131) and
// the translation of the predecessor's numbers (request 130), against the
// reference price server and against scripted peers.

#include "core/formats/ExportDirectory.h"
#include "core/net/InstrumentTranslation.h"
#include "core/net/IOException.h"
#include "core/net/ProcessState.h"
#include "core/net/RequestTimeout.h"
#include "core/net/ServerEndpoint.h"
#include "core/net/SymbolLookup.h"
#include "core/net/UserRequests.h"
#include "ScriptedPeer.h"
#include "server/DemoGenerator.h"
#include "server/InstrumentRecordWriter.h"
#include "server/TestPriceServer.h"
#include "support/Running.h"

#include <gtest/gtest.h>

namespace mvr {
namespace {

using test::TestPriceServer;

ExportSymbolInfo Symbol(std::string text, std::int32_t sinCode = 0) {
    ExportSymbolInfo symbol;
    symbol.symbol = std::move(text);
    symbol.sinCode = sinCode;
    return symbol;
}

ServerTables DemoTables(std::int32_t instruments) {
    DemoOptions options;
    options.instruments = instruments;
    options.years = 1;
    options.lastDay = 739000;
    return CDemoGenerator(options).Tables();
}

void LogIn() {
    std::string message;
    ASSERT_GE(Login("DEMO", "DEMO", message, test::Running()), 1) << message;
}

TEST(SymbolLookupTest, ThousandSymbolsOfADirectory) {
    const ServerTables tables = DemoTables(1000);
    TestPriceServer server(tables);
    LogIn();
    CExportDirectory directory;
    for (std::size_t i = 0; i < 990; ++i) {
        directory.Symbols().push_back(Symbol(tables.instruments[i].symbol, -1));
    }
    for (int i = 0; i < 10; ++i) {
        directory.Symbols().push_back(Symbol("ZZ" + std::to_string(i), -1));
    }
    ASSERT_TRUE(LookupSInCodes(directory, test::Running()));
    for (std::size_t i = 0; i < 990; ++i) {
        EXPECT_EQ(directory.GetSymbol(i).sinCode, tables.instruments[i].sinCode) << i;
    }
    for (std::size_t i = 990; i < 1000; ++i) {
        EXPECT_EQ(directory.GetSymbol(i).sinCode, 0) << i; // the server knows no such symbol
    }
    const auto lines = server.WaitForLogLines(2);
    EXPECT_EQ(test::CountLines(lines, "code=131 result=symbols=1000,known=990"), 1u);
}

TEST(SymbolLookupTest, EmptyDirectoryAndFailuresChangeNothing) {
    TestPriceServer server;
    CExportDirectory empty;
    EXPECT_TRUE(LookupSInCodes(empty, test::Running()));

    CExportDirectory directory;
    directory.Symbols().push_back(Symbol("SAPX", 5));
    // Not logged in: the server refuses login number 0.
    EXPECT_FALSE(LookupSInCodes(directory, test::Running()));
    EXPECT_EQ(directory.GetSymbol(0).sinCode, 5);
    const auto lines = server.WaitForLogLines(1);
    ASSERT_EQ(lines.size(), 1u); // the empty directory sent nothing
    EXPECT_NE(lines[0].find("result=unknown-account-number"), std::string::npos) << lines[0];
}

class LookupScriptTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProcessStateForTesting();
    }

    // Takes the lookup's body, noting the payload length of every block.
    static std::vector<std::string> ReceiveSymbols(CClientRequest& far,
                                                   std::vector<std::int32_t>& blockLengths) {
        far.readRequestHeader();
        far.writeByte(1);
        far.readData();
        const std::int32_t count = far.In().readLong();
        std::vector<std::string> symbols;
        while (static_cast<std::int32_t>(symbols.size()) < count && far.readBlock()) {
            blockLengths.push_back(far.In().BlockLength());
            while (far.In().HasMore()) {
                symbols.push_back(far.In().readString(260));
            }
        }
        return symbols;
    }

    static void AnswerRecords(CClientRequest& far, const std::vector<std::int32_t>& sinCodes,
                              std::int32_t marker) {
        far.Out().writeLong(0);
        far.writeBlock();
        for (const std::int32_t sinCode : sinCodes) {
            WATCH record;
            record.sinCode = sinCode;
            WriteInstrumentRecord(far.Out(), record, true);
        }
        far.writeBlock();
        far.writeEndOfSection(marker);
    }

private:
    const CScopedServerEndpoint endpoint_{GetServerEndpoint()};
    const CScopedRequestTimeout timeout_{std::chrono::seconds(5)};
};

TEST_F(LookupScriptTest, SymbolsTravelInBlocksEndedAtTheSendMark) {
    std::vector<std::int32_t> lengths;
    std::vector<std::string> received;
    test::ScriptedPeer peer([&](CClientRequest& far, CWinSocket&) {
        received = ReceiveSymbols(far, lengths);
        AnswerRecords(far, {}, 0);
    });
    peer.BecomeServer();
    CExportDirectory directory;
    for (int i = 0; i < 1000; ++i) {
        directory.Symbols().push_back(Symbol("SYM" + std::to_string(i)));
    }
    EXPECT_TRUE(LookupSInCodes(directory, test::Running()));
    peer.Join();
    ASSERT_EQ(received.size(), 1000u);
    EXPECT_EQ(received[999], "SYM999");
    ASSERT_GE(lengths.size(), 2u);
    for (std::size_t i = 0; i + 1 < lengths.size(); ++i) {
        // Ended by the first symbol that took the position to 4000 or beyond.
        EXPECT_GE(lengths[i], CDataStream::kSendThreshold - CDataStream::kHeaderSize) << i;
        EXPECT_LT(lengths[i], CDataStream::kSendThreshold - CDataStream::kHeaderSize + 8) << i;
    }
}

TEST_F(LookupScriptTest, FewerRecordsThanSymbolsAndErrorEnds) {
    for (const std::int32_t marker : {0, -1}) {
        test::ScriptedPeer peer([&](CClientRequest& far, CWinSocket&) {
            std::vector<std::int32_t> lengths;
            ReceiveSymbols(far, lengths);
            AnswerRecords(far, {11, 22}, marker);
        });
        peer.BecomeServer();
        CExportDirectory directory;
        for (const char* text : {"A", "B", "C"}) {
            directory.Symbols().push_back(Symbol(text, 9));
        }
        EXPECT_EQ(LookupSInCodes(directory, test::Running()), marker == 0);
        peer.Join();
        if (marker == 0) {
            EXPECT_EQ(directory.GetSymbol(0).sinCode, 11);
            EXPECT_EQ(directory.GetSymbol(1).sinCode, 22);
        } else {
            EXPECT_EQ(directory.GetSymbol(0).sinCode, 9); // nothing is taken over
        }
        EXPECT_EQ(directory.GetSymbol(2).sinCode, 9);
    }
}

TEST(TranslationTest, PredecessorNumbersBecomeInstrumentNumbers) {
    TestPriceServer server;
    const std::int32_t check = CheckAccount("valid1", "pw", test::Running());
    ASSERT_EQ(check, 70);
    // 501 is an instrument's own number, 9001 a further translation of 1002.
    TranslationMap map = {{501, 0}, {9001, 0}, {777, 0}, {506, 0}};
    TranslateInstrumentNumbers(map, check, test::Running());
    EXPECT_EQ(map, (TranslationMap{{501, 1001}, {9001, 1002}, {777, 0}, {506, 1006}}));

    // Numbers beyond one block, and an empty map.
    TranslationMap many;
    for (std::int32_t n = 1; n <= 3000; ++n) {
        many[n] = 0;
    }
    many[502] = 0;
    TranslateInstrumentNumbers(many, check, test::Running());
    EXPECT_EQ(many.size(), 3000u);
    EXPECT_EQ(many[502], 1002);
    EXPECT_EQ(many[1], 0);
    TranslationMap none;
    TranslateInstrumentNumbers(none, check, test::Running());
    EXPECT_TRUE(none.empty());
    // A number that is no account check's ends the connection.
    EXPECT_THROW(TranslateInstrumentNumbers(map, 12345, test::Running()), CIOException);
}

TEST_F(LookupScriptTest, TranslationTakesOverWhatArrivedBeforeABreak) {
    test::ScriptedPeer peer([](CClientRequest& far, CWinSocket&) {
        far.readRequestHeader();
        far.writeByte(1);
        far.readBlock();
        const std::int32_t count = far.In().readLong();
        std::int32_t read = 0;
        while (read < count && far.readBlock()) {
            while (far.In().HasMore()) {
                far.In().readLong();
                ++read;
            }
        }
        far.Out().writeLong(0);
        far.writeBlock();
        WATCH record;
        record.legacyNumber = 42;
        record.sinCode = 4200;
        WriteInstrumentRecord(far.Out(), record, true);
        record.legacyNumber = 43; // not asked for: becomes a new key
        record.sinCode = 4300;
        WriteInstrumentRecord(far.Out(), record, true);
        far.writeBlock();
        // The connection ends before the section does.
    });
    peer.BecomeServer();
    TranslationMap map = {{42, 0}, {44, 0}};
    EXPECT_THROW(TranslateInstrumentNumbers(map, 1, test::Running()), CIOException);
    peer.Join();
    EXPECT_EQ(map, (TranslationMap{{42, 4200}, {43, 4300}, {44, 0}}));
}

} // namespace
} // namespace mvr
