// The server's instrument record against the client's reader: golden bytes
// pin the wire order in both directions, and records full of distinctive
// values come back unchanged.

#include "server/InstrumentRecordWriter.h"

#include "core/net/InstrumentRecord.h"
#include "MemorySocket.h"

#include <cmath>
#include <gtest/gtest.h>
#include <vector>

namespace mvr {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test::Hex;

ServerInstrument Sapex() {
    return {1001, 501, 1, 2, "SAPX", "DE0007164600", "Sapex AG", "EUR", 2};
}

// The bytes of a record: a hex text per item, most of them unused and zero.
const Bytes kSapexRecord = Hex("00 00 00 00 00 00 01 F5" // 1 legacy number 501
                               "43 E9"                   // 2 SInCode 1001, two-byte code
                               "00 01 00 02"             // 3, 4 security type, exchange
                               "53 41 50 58 00"          // 5 symbol
                               "00"                      // 6
                               "44 45 30 30 30 37 31 36 34 36 30 30 00"       // 7 ISIN
                               "00 00"                                        // 8, 9
                               "02"                                           // 10
                               "53 61 70 65 78 20 41 47 00"                   // 11 name
                               "45 55 52 00"                                  // 12 currency
                               "FF"                                           // 13
                               "00 00 00 00"                                  // 14
                               "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00" // 15
                               "40 40 40"                                     // 16-18 empty ticks
                               "00 00 00 00"                                  // 19
                               "80 80 80 80"                                  // 20-23 zero floats
                               "00 00"                                        // 24, 25
                               "80"                                           // 26 zero double
                               "00 00 00 00"                                  // 27
                               "80 80 80"                                     // 28-30
                               "00"                                           // 31
                               "00 00 00 00"                                  // 32
                               "00"                                           // 33
                               "00 00 00 00"                                  // 34
                               "80"                                           // 35
                               "00 00"                                        // 36
                               "00 00 00 00"                                  // 37
                               "80 80 80 80 80"                               // 38-42
                               "80"                                           // 43
                               "00"                                           // 44
                               "80 80 80 80"                                  // 45-48
                               "00 00 00 00"                                  // 49
                               "00 80 00 80"                                  // 50-53
);
const Bytes kOptionalItems = Hex("00"                                  // 54
                                 "80"                                  // 55
                                 "00 00 00 00 00 00 00 00 00 00 00 00" // 56: three longs
                                 "80 80 80"                            // three floats
                                 "00 00 00 00 00 00 00 00 00 00 00 00" // six longs
                                 "00 00 00 00 00 00 00 00 00 00 00 00"
                                 "80"); // a float

Bytes Written(const WATCH& record, bool withOptionalItems) {
    CDataOutputStream out;
    WriteInstrumentRecord(out, record, withOptionalItems);
    return {out.Buffer() + CDataStream::kHeaderSize, out.Buffer() + out.Position()};
}

// Reads records from one block holding `payload`.
std::vector<WATCH> ReadBlock(const Bytes& payload) {
    CDataInputStream in;
    Bytes wire(4);
    wire[0] = static_cast<std::uint8_t>(payload.size() >> 24);
    wire[1] = static_cast<std::uint8_t>(payload.size() >> 16);
    wire[2] = static_cast<std::uint8_t>(payload.size() >> 8);
    wire[3] = static_cast<std::uint8_t>(payload.size());
    wire.insert(wire.end(), payload.begin(), payload.end());
    std::memcpy(in.Buffer(), wire.data(), wire.size());
    EXPECT_TRUE(in.readSize());
    std::vector<WATCH> records;
    WATCH record;
    while (ReadInstrumentRecord(record, in)) {
        records.push_back(record);
    }
    EXPECT_EQ(in.Position(), static_cast<std::int32_t>(wire.size()));
    return records;
}

// A record in which every item the client keeps has a value of its own, each
// in the longest form its code has.
WATCH Distinctive() {
    WATCH r;
    r.legacyNumber = -123456789;
    r.sinCode = (1 << 30) - 1;
    r.securityType = 0xFFFF;
    r.exchange = 0x8001;
    r.symbol = std::string(29, 'S');
    r.item6 = std::string(11, '6');
    r.isin = std::string(29, 'I');
    r.item8 = std::string(29, '8');
    r.item9 = "99999";
    r.item10 = 0x80;
    r.name = std::string(50, 'N');
    r.currency = "CURRNCY";
    r.item13 = 0x7F;
    r.item14 = -14;
    for (std::size_t i = 0; i < r.item15.size(); ++i) {
        r.item15[i] = static_cast<std::uint8_t>(i % 16);
    }
    r.ticks = {Tick{12.5f, 0x7FFFFF, 0x0FFFFFFF}, Tick{0.25f, 0x7FFFFE, 0x0FFFFFFE},
               Tick{3.0f, 0x400000, 200000000}};
    r.item19 = 19;
    r.item20to23 = {20.5f, -21.0f, 1e30f, 23.0f};
    r.item24 = (1u << 30) - 1;
    r.item25 = (1u << 30) - 2;
    r.item26 = -26.125;
    r.item27 = 27;
    r.item28to30 = {28.0f, 29.0f, 30.0f};
    r.item31 = 31;
    r.item32 = -32;
    r.item33 = std::string(11, 'x');
    r.item34 = 34;
    r.item35 = 35.5f;
    r.item36 = 36;
    r.item37 = 37;
    r.item43Choice = 3;
    r.item43Value = -4321;
    r.item44 = -((1 << 29) - 1);
    r.item45to48 = {45.0f, 46.0f, 47.0f, 48.0f};
    r.item49 = 49;
    r.item50 = 50;
    r.item51 = 51.0f;
    r.item52 = 52;
    r.item53 = 53.0f;
    r.item54 = (1u << 30) - 3;
    r.item55 = 55e6;
    r.item55Millionths = 55.0;
    return r;
}

TEST(InstrumentRecordWriterTest, GoldenBytesOfARecordInBothDirections) {
    const WATCH sapex = InstrumentRecordOf(Sapex());
    Bytes full = kSapexRecord;
    full.insert(full.end(), kOptionalItems.begin(), kOptionalItems.end());
    EXPECT_EQ(Written(sapex, true), full);
    EXPECT_EQ(Written(sapex, false), kSapexRecord);

    // Read back: the identifying items, and the rest at their initial values
    // (item 43 chose none of the five values, so its value is -1).
    WATCH expected;
    expected.legacyNumber = 501;
    expected.sinCode = 1001;
    expected.securityType = 1;
    expected.exchange = 2;
    expected.symbol = "SAPX";
    expected.isin = "DE0007164600";
    expected.name = "Sapex AG";
    expected.currency = "EUR";
    expected.item43Value = -1;
    // A record that ends its block stops after item 53, one that does not
    // carries the optional items; both read the same here.
    Bytes two = full;
    two.insert(two.end(), kSapexRecord.begin(), kSapexRecord.end());
    const auto records = ReadBlock(two);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0], expected);
    EXPECT_EQ(records[1], expected);
}

TEST(InstrumentRecordWriterTest, EveryItemTravelsUnchanged) {
    const WATCH record = Distinctive();
    for (const bool optional : {true, false}) {
        const auto records = ReadBlock(Written(record, optional));
        ASSERT_EQ(records.size(), 1u);
        WATCH expected = record;
        if (!optional) {
            expected.item54 = 0;
            expected.item55 = 0.0;
            expected.item55Millionths = 0.0;
        }
        EXPECT_EQ(records[0], expected) << "optional items " << optional;
    }
}

TEST(InstrumentRecordWriterTest, LongestRecordHasTheSizeTheBlocksAllowFor) {
    EXPECT_EQ(Written(Distinctive(), true).size(),
              static_cast<std::size_t>(kMaxInstrumentRecordBytes));
    // Texts beyond the client's buffers are cut rather than sent whole,
    // which the client would refuse and lose the rest of the block with.
    WATCH tooLong = Distinctive();
    tooLong.symbol = std::string(40, 'S');
    tooLong.name = std::string(80, 'N');
    tooLong.currency = "TOOLONGCODE";
    const auto records = ReadBlock(Written(tooLong, true));
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].symbol, std::string(29, 'S'));
    EXPECT_EQ(records[0].name, std::string(50, 'N'));
    EXPECT_EQ(records[0].currency, "TOOLONG");
}

} // namespace
} // namespace mvr
