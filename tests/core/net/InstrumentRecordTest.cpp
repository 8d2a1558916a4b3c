// The client's reader of the instrument record on hand-made records: the
// items that are stored in another form than they travel, and the optional
// items at the end of a block.

#include "core/net/InstrumentRecord.h"

#include "core/net/IOException.h"
#include "NetTestSupport.h"

#include <array>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace mvr {
namespace {

struct Items {
    std::array<std::uint8_t, 15> item15{};
    std::array<float, 5> items38to42{};
    float item43 = 0.0f;
    bool optional = true;
};

// One record with zeros and empty texts except where `items` says otherwise.
void WriteRecord(CDataOutputStream& out, const Items& items) {
    out.writeLong64(0x1122334400000007LL);
    out.writeLongCompress(1234);
    out.writeShort(3);
    out.writeShort(4);
    for (int i = 0; i < 5; ++i) {
        out.writeString(""); // items 5 to 9
    }
    out.writeByte(2);
    out.writeString("");
    out.writeString("");
    out.writeByte(255);
    out.writeLong(0);
    out.writeBlob(items.item15.data(), 15);
    for (int i = 0; i < 3; ++i) {
        out.writeByte(0x40); // empty ticks
    }
    out.writeLong(0);
    for (int i = 0; i < 4; ++i) {
        out.writeFloat(0.0f);
    }
    out.writeLongCompress(0);
    out.writeLongCompress(0);
    out.writeDouble(0.0);
    out.writeLong(0);
    for (int i = 0; i < 3; ++i) {
        out.writeFloat(0.0f);
    }
    out.writeByte(0);
    out.writeLong(0);
    out.writeString("");
    out.writeLong(0);
    out.writeFloat(0.0f);
    out.writeShort(0);
    out.writeLong(0);
    for (const float value : items.items38to42) {
        out.writeFloat(value);
    }
    out.writeFloat(items.item43);
    out.writeLongSigned(0);
    for (int i = 0; i < 4; ++i) {
        out.writeFloat(0.0f);
    }
    out.writeLong(0);
    out.writeByte(0);
    out.writeFloat(0.0f);
    out.writeByte(0);
    out.writeFloat(0.0f);
    if (items.optional) {
        out.writeLongCompress(54);
        out.writeDouble(2500000.0);
        for (int i = 0; i < 3; ++i) {
            out.writeLong(1);
        }
        for (int i = 0; i < 3; ++i) {
            out.writeFloat(1.0f);
        }
        for (int i = 0; i < 6; ++i) {
            out.writeLong(1);
        }
        out.writeFloat(1.0f);
    }
}

std::vector<WATCH> ReadAll(CDataOutputStream& out) {
    CDataInputStream in;
    test::Transfer(out, in);
    std::vector<WATCH> records;
    WATCH record;
    while (ReadInstrumentRecord(record, in)) {
        records.push_back(record);
    }
    return records;
}

TEST(InstrumentRecordTest, StoredFormsOfTheItems) {
    Items items;
    items.item15[0] = 0xA5;
    items.item15[14] = 0x0F;
    CDataOutputStream out;
    WriteRecord(out, items);
    const auto records = ReadAll(out);
    ASSERT_EQ(records.size(), 1u);
    const WATCH& r = records[0];
    EXPECT_EQ(r.legacyNumber, 7); // the low half of the 64-bit value
    EXPECT_EQ(r.sinCode, 1234);
    EXPECT_EQ(r.securityType, 3);
    EXPECT_EQ(r.exchange, 4);
    EXPECT_EQ(r.item15[0], 10);
    EXPECT_EQ(r.item15[1], 5);
    EXPECT_EQ(r.item15[28], 0);
    EXPECT_EQ(r.item15[29], 15);
    EXPECT_EQ(r.ticks[1], Tick{});
    EXPECT_EQ(r.item54, 54u);
    EXPECT_EQ(r.item55, 2500000.0);
    EXPECT_EQ(r.item55Millionths, 2.5);
}

TEST(InstrumentRecordTest, ItemFortyThreeChoosesOneOfTheFiveValuesBeforeIt) {
    const std::pair<float, std::pair<std::int16_t, std::int16_t>> cases[] = {
        {3.0f, {3, 33}}, {3.9f, {3, 33}}, {1.0f, {1, 11}},  {5.0f, {5, -55}},
        {0.0f, {0, -1}}, {7.0f, {7, -1}}, {-2.0f, {-2, -1}}};
    for (const auto& [item43, expected] : cases) {
        Items items;
        items.items38to42 = {11.7f, 22.0f, 33.5f, 44.0f, -55.9f};
        items.item43 = item43;
        CDataOutputStream out;
        WriteRecord(out, items);
        const auto records = ReadAll(out);
        ASSERT_EQ(records.size(), 1u);
        EXPECT_EQ(records[0].item43Choice, expected.first) << item43;
        EXPECT_EQ(records[0].item43Value, expected.second) << item43;
    }
}

TEST(InstrumentRecordTest, TruncationToSixteenBitsIsDefinedForEveryFloat) {
    EXPECT_EQ(TruncateTo16Bits(3.99f), 3);
    EXPECT_EQ(TruncateTo16Bits(-3.99f), -3);
    EXPECT_EQ(TruncateTo16Bits(65537.0f), 1);
    EXPECT_EQ(TruncateTo16Bits(std::numeric_limits<float>::quiet_NaN()), 0);
    EXPECT_EQ(TruncateTo16Bits(std::numeric_limits<float>::infinity()), -128);
    EXPECT_EQ(TruncateTo16Bits(-std::numeric_limits<float>::infinity()), 0);
}

TEST(InstrumentRecordTest, RecordThatEndsItsBlockAfterItem53) {
    CDataOutputStream out;
    Items first;
    WriteRecord(out, first);
    Items last;
    last.optional = false;
    WriteRecord(out, last);
    const auto records = ReadAll(out);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].item54, 54u);
    EXPECT_EQ(records[1].item54, 0u);
    EXPECT_EQ(records[1].item55, 0.0);
    EXPECT_EQ(records[1].item55Millionths, 0.0);
}

TEST(InstrumentRecordTest, NothingIsReadAtTheEndOfTheBlock) {
    CDataOutputStream out;
    out.writeLong(0);
    CDataInputStream in;
    test::Transfer(out, in);
    in.readLong();
    WATCH record;
    record.sinCode = 99;
    EXPECT_FALSE(ReadInstrumentRecord(record, in));
    EXPECT_EQ(record.sinCode, 99);
    EXPECT_EQ(in.Position(), 8);
}

TEST(InstrumentRecordTest, TextTooLongForItsBufferIsAnError) {
    CDataOutputStream out;
    out.writeLong64(1);
    out.writeLongCompress(1);
    out.writeShort(1);
    out.writeShort(1);
    out.writeString(std::string(30, 'S')); // the symbol holds 29 characters
    CDataInputStream in;
    test::Transfer(out, in);
    WATCH record;
    try {
        ReadInstrumentRecord(record, in);
        ADD_FAILURE() << "a 30-character symbol was accepted";
    } catch (const CIOException& e) {
        EXPECT_EQ(e.Message(), "readString(char) len");
    }
}

} // namespace
} // namespace mvr
