#include "core/net/DataInputStream.h"
#include "core/net/DataOutputStream.h"
#include "core/net/IOException.h"
#include "NetTestSupport.h"

#include <bit>
#include <functional>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <vector>

namespace mvr {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test::LoadBlock;
using test::Payload;
using ::testing::ElementsAre;

constexpr std::int32_t kEnd = CDataStream::kCapacity;

// Runs `call`, expecting the CIOException `message` with code 0.
void ExpectFailure(const std::function<void()>& call, const std::string& message) {
    try {
        call();
        ADD_FAILURE() << "expected " << message;
    } catch (const CIOException& e) {
        EXPECT_EQ(e.Message(), message);
        EXPECT_EQ(e.ErrorCode(), 0);
    }
}

// An input stream whose position is `position`, with `bytes` there and a
// payload that fills the whole buffer.
void PlaceAt(CDataInputStream& in, std::int32_t position, const Bytes& bytes) {
    ASSERT_TRUE(LoadBlock(in, {0x00, 0x00, 0x0F, 0xFC})); // 4092 bytes
    ASSERT_EQ(in.BlockLength(), 4092);
    std::copy(bytes.begin(), bytes.end(), in.Buffer() + position);
    Bytes skip(static_cast<std::size_t>(position - CDataStream::kHeaderSize));
    in.readBlob(skip.data(), static_cast<std::int32_t>(skip.size()));
    ASSERT_EQ(in.Position(), position);
}

void FillTo(CDataOutputStream& out, std::int32_t position) {
    const Bytes filler(static_cast<std::size_t>(position - out.Position()), 0xEE);
    out.writeBlob(filler.data(), static_cast<std::int32_t>(filler.size()));
}

TEST(DataStreamTest, StreamsStartResetAndResetClearsEverything) {
    CDataOutputStream out;
    EXPECT_EQ(out.Position(), 4);
    EXPECT_FALSE(out.writeSize()); // an empty block is not sent
    out.writeLong(0x01020304);
    out.writeByte(9);
    ASSERT_TRUE(out.writeSize());
    EXPECT_THAT(Bytes(out.Buffer(), out.Buffer() + out.BlockSize()),
                ElementsAre(0, 0, 0, 5, 1, 2, 3, 4, 9));
    out.Reset();
    EXPECT_EQ(out.Position(), 4);
    EXPECT_EQ(out.Buffer()[0] | out.Buffer()[3] | out.Buffer()[4], 0);
}

TEST(DataStreamTest, FixedWidthWritersAreBigEndian) {
    CDataOutputStream out;
    out.writeByte(0xAB);
    out.writeShort(0x1234);
    out.writeLong(-2);
    out.writeLong64(0x0102030405060708);
    out.writeBool(true);
    out.writeBool(false);
    EXPECT_THAT(Payload(out), ElementsAre(0xAB, 0x12, 0x34, 0xFF, 0xFF, 0xFF, 0xFE, 1, 2, 3, 4, 5,
                                          6, 7, 8, 1, 0));
}

TEST(DataStreamTest, SignedCompactCodeGoldenBytes) {
    const std::pair<std::int32_t, Bytes> cases[] = {
        {0, {0x00}},
        {31, {0x1F}},
        {32, {0x40, 0x20}},
        {-1, {0x21}},
        {-31, {0x3F}},
        {-32, {0x60, 0x20}},
        {8191, {0x5F, 0xFF}},
        {8192, {0x80, 0x20, 0x00}},
        {2097151, {0x9F, 0xFF, 0xFF}},
        {2097152, {0xC0, 0x20, 0x00, 0x00}},
        {536870911, {0xDF, 0xFF, 0xFF, 0xFF}},
        {-536870911, {0xFF, 0xFF, 0xFF, 0xFF}},
    };
    for (const auto& [value, bytes] : cases) {
        CDataOutputStream out;
        out.writeLongSigned(value);
        EXPECT_EQ(Payload(out), bytes) << value;
        CDataInputStream in;
        test::Transfer(out, in);
        EXPECT_EQ(in.readLongSigned(), value);
        EXPECT_EQ(in.Position(), 4 + static_cast<std::int32_t>(bytes.size()));
    }
}

TEST(DataStreamTest, SignedCompactCodeRefusesMagnitudesItCannotCarry) {
    // These would spill into the sign and length bits and arrive as other numbers.
    for (const std::int32_t value : {536870912, -536870912, INT32_MAX, INT32_MIN}) {
        CDataOutputStream out;
        ExpectFailure([&] { out.writeLongSigned(value); }, "writeLongSigned");
        EXPECT_EQ(out.Position(), 4);
    }
}

TEST(DataStreamTest, UnsignedCompactCodeGoldenBytes) {
    CDataInputStream in;
    ASSERT_TRUE(LoadBlock(in, {0, 0, 0, 7, 0x3F, 0x40, 0x40, 0xC0, 0x01, 0x02, 0x03}));
    EXPECT_EQ(in.readLongCompress(), 63u);
    EXPECT_EQ(in.readLongCompress(), 64u);
    EXPECT_EQ(in.readLongCompress(), 66051u);
    EXPECT_EQ(in.Position(), 11);

    CDataOutputStream out;
    for (const std::uint32_t value : {63u, 64u, 16383u, 16384u, 4194303u, 4194304u, 1073741823u}) {
        out.writeLongCompress(value);
    }
    EXPECT_THAT(Payload(out),
                ElementsAre(0x3F, 0x40, 0x40, 0x7F, 0xFF, 0x80, 0x40, 0x00, 0xBF, 0xFF, 0xFF, 0xC0,
                            0x40, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF));
    ExpectFailure([&] { out.writeLongCompress(1u << 30); }, "writeLongCompress");
}

TEST(DataStreamTest, VolumeCodeGoldenBytes) {
    CDataInputStream in;
    ASSERT_TRUE(LoadBlock(in, {0,    0,    0,    17,   0x45, 0x80, 0x05, 0xA0, 0x05, 0x81, 0x00,
                               0x05, 0xD0, 0x00, 0x02, 0xF0, 0x00, 0x00, 0x03, 0xBF, 0xFF}));
    EXPECT_EQ(in.readVolume(), 500);
    EXPECT_EQ(in.readVolume(), -5);
    EXPECT_EQ(in.readVolume(), -500);
    EXPECT_EQ(in.readVolume(), 256);
    EXPECT_EQ(in.readVolume(), 5);
    EXPECT_EQ(in.readVolume(), 200);    // three bytes, hundreds
    EXPECT_EQ(in.readVolume(), 300);    // four bytes, hundreds
    EXPECT_EQ(in.readVolume(), 819100); // two bytes, hundreds, 8191
    EXPECT_EQ(in.Position(), 21);

    CDataOutputStream out;
    for (const std::int32_t volume :
         {5, 500, -5, -500, 256, 63, 64, 6300, 6400, 8191, 8200, 1048575, 1048600}) {
        out.writeVolume(volume);
    }
    EXPECT_THAT(Payload(out), ElementsAre(0x05, 0x45, 0x80, 0x05, 0xA0, 0x05, 0x81, 0x00, 0x3F,
                                          0x80, 0x40, 0x7F, 0x99, 0x00, 0x9F, 0xFF, 0xA0, 0x52,
                                          0xCF, 0xFF, 0xFF, 0xD0, 0x28, 0xF6));
}

TEST(DataStreamTest, VolumesBeyondThirtyTwoBitsAreCapped) {
    CDataInputStream in;
    // The largest four-byte code: 0x0FFFFFFF hundreds.
    ASSERT_TRUE(LoadBlock(in, {0, 0, 0, 4, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(in.readVolume(), INT32_MAX);

    CDataOutputStream out;
    out.writeVolume(INT32_MAX);
    out.writeVolume(2147483600);
    test::Transfer(out, in);
    EXPECT_EQ(in.readVolume(), INT32_MAX);
    EXPECT_EQ(in.readVolume(), 2147483600);
    // Neither plain nor in hundreds: no code carries it.
    ExpectFailure([&] { out.writeVolume(268435457); }, "writeVolume");
    ExpectFailure([&] { out.writeVolume(-64); }, "writeVolume");
    ExpectFailure([&] { out.writeVolume(-6400); }, "writeVolume");
}

TEST(DataStreamTest, TickCodeGoldenBytes) {
    CDataInputStream in;
    ASSERT_TRUE(LoadBlock(in, {0,    0,    0,    25,   0x40,                         // empty
                               0x05, 0x3F, 0x80, 0x00, 0x00, 0x12, 0x34,             // plain
                               0x45, 0xBF, 0x80, 0x00, 0x00, 0x12, 0x34,             // +0x10000
                               0x80, 0x40, 0xBF, 0x80, 0x00, 0x00, 0x92, 0x34, 0x56, // 3 bytes
                               0x41}));
    Tick tick = in.readTick();
    EXPECT_EQ(in.Position(), 5);
    EXPECT_EQ(tick.price, 0.0f);
    EXPECT_EQ(tick.tickNumber, 0);
    EXPECT_EQ(tick.volume, 0);
    tick = in.readTick();
    EXPECT_EQ(tick.volume, 5);
    EXPECT_EQ(tick.price, 1.0f);
    EXPECT_EQ(tick.tickNumber, 0x1234);
    tick = in.readTick();
    EXPECT_EQ(tick.volume, 500);
    EXPECT_EQ(tick.price, 1.0f); // the flag is not part of the price
    EXPECT_EQ(tick.tickNumber, 0x11234);
    tick = in.readTick();
    EXPECT_EQ(tick.volume, 64);
    EXPECT_EQ(tick.price, 1.0f);
    EXPECT_EQ(tick.tickNumber, 0x123456);
    EXPECT_EQ(in.Position(), 28);

    CDataOutputStream out;
    out.writeTick({});
    out.writeTick({1.0f, 0x1234, 5});
    out.writeTick({1.0f, 0x11234, 500});
    out.writeTick({1.0f, 0x123456, 64});
    EXPECT_EQ(Payload(out), Bytes(in.Buffer() + 4, in.Buffer() + 28));
    ExpectFailure([&] { out.writeTick({-1.0f, 1, 1}); }, "writeTick");
    ExpectFailure([&] { out.writeTick({1.0f, 1 << 23, 1}); }, "writeTick");
    ExpectFailure([&] { out.writeTick({1.0f, -1, 1}); }, "writeTick");
}

TEST(DataStreamTest, EscapedFloatsGoldenBytes) {
    CDataInputStream in;
    ASSERT_TRUE(LoadBlock(
        in, {0, 0, 0, 15, 0x80, 0x3F, 0x80, 0x00, 0x00, 0x80, 0x3F, 0xF0, 0, 0, 0, 0, 0, 0, 0x00}));
    EXPECT_EQ(in.readFloat(), 0.0f);
    EXPECT_EQ(in.Position(), 5);
    EXPECT_EQ(in.readFloat(), 1.0f);
    EXPECT_EQ(in.readDouble(), 0.0);
    EXPECT_EQ(in.readDouble(), 1.0);
    EXPECT_EQ(in.Position(), 18);

    CDataOutputStream out;
    out.writeFloat(0.0f);
    out.writeFloat(1.0f);
    out.writeDouble(0.0);
    out.writeDouble(-2.0);
    // Minus zero would start with 0x80 and be misread; it travels as the escape.
    out.writeFloat(-0.0f);
    out.writeDouble(-0.0);
    EXPECT_THAT(Payload(out), ElementsAre(0x80, 0x3F, 0x80, 0x00, 0x00, 0x80, 0xC0, 0, 0, 0, 0, 0,
                                          0, 0, 0x80, 0x80));
}

TEST(DataStreamTest, StringsAndTheirLimits) {
    CDataOutputStream out;
    out.writeString("AB");
    out.writeString("");
    out.writeString(std::string_view("C\0D", 3)); // a text ends at its first zero byte
    EXPECT_THAT(Payload(out), ElementsAre('A', 'B', 0, 0, 'C', 0));

    CDataInputStream in;
    ASSERT_TRUE(
        LoadBlock(in, {0,   0, 0,   26,  0,   'e', 'l', 'e', 'v', 'e', 'n', 'c', 'h', 'a', 'r',
                       's', 0, 't', 'w', 'e', 'l', 'v', 'e', '-', 'c', 'h', 'a', 'r', 's', 0}));
    char field[12];
    EXPECT_EQ(in.readString(field, sizeof field), 0u);
    EXPECT_STREQ(field, "");
    EXPECT_EQ(in.Position(), 5);
    EXPECT_EQ(in.readString(field, sizeof field), 11u); // 11 characters fit 12 bytes
    EXPECT_STREQ(field, "elevenchars");
    ExpectFailure([&] { in.readString(field, sizeof field); }, "readString(char) len");
    EXPECT_EQ(in.Position(), 17);
    EXPECT_EQ(in.readString(13), "twelve-chars");
}

TEST(DataStreamTest, StringWithoutTerminatorBeforeTheBufferEnds) {
    CDataInputStream in;
    PlaceAt(in, kEnd - 3, {'a', 'b', 'c'});
    char field[100];
    ExpectFailure([&] { in.readString(field, sizeof field); }, "readString(char) memchr");
    EXPECT_EQ(in.Position(), kEnd - 3);
    Bytes skip(3);
    in.readBlob(skip.data(), 3);
    ExpectFailure([&] { in.readString(field, sizeof field); }, "readString(char) memchr");
    ExpectFailure([&] { in.readString(field, 0); }, "readString(char) memchr");

    PlaceAt(in, kEnd - 1, {0});
    ExpectFailure([&] { in.readString(field, 0); }, "readString(char) len");
    EXPECT_EQ(in.readString(field, 1), 0u);
}

TEST(DataStreamTest, WritersNeedTheirRoomAndWriteNothingWithout) {
    struct Case {
        const char* message;
        std::int32_t room; // the least room with which the writer succeeds
        std::function<void(CDataOutputStream&)> write;
    };
    const Case cases[] = {
        {"writeByte", 1, [](CDataOutputStream& o) { o.writeByte(1); }},
        {"writeShort", 2, [](CDataOutputStream& o) { o.writeShort(1); }},
        {"writeLong", 4, [](CDataOutputStream& o) { o.writeLong(1); }},
        {"writeLongSigned", 4, [](CDataOutputStream& o) { o.writeLongSigned(1); }},
        {"writeString(char)", 5, [](CDataOutputStream& o) { o.writeString("abc"); }},
        {"writeBlob", 3, [](CDataOutputStream& o) { o.writeBlob("abc", 3); }},
        {"writeBool", 1, [](CDataOutputStream& o) { o.writeBool(true); }},
        {"writeLong64", 8, [](CDataOutputStream& o) { o.writeLong64(1); }},
        {"writeLongCompress", 4, [](CDataOutputStream& o) { o.writeLongCompress(1); }},
        {"writeFloat", 4, [](CDataOutputStream& o) { o.writeFloat(0.0f); }},
        {"writeDouble", 8, [](CDataOutputStream& o) { o.writeDouble(0.0); }},
        {"writeVolume", 4, [](CDataOutputStream& o) { o.writeVolume(1); }},
        {"writeTick", 6, [](CDataOutputStream& o) { o.writeTick({}); }},
        {"writeTick", 11,
         [](CDataOutputStream& o) {
             o.writeTick({1.0f, 0x20000, 1 << 27});
         }},
        {"writeCompress", 24,
         [](CDataOutputStream& o) {
             DeltaBar running;
             o.writeCompress(running, DeltaBar{1, 1, 1, 1, 1, 1}, 2);
         }},
    };
    for (const Case& c : cases) {
        CDataOutputStream out;
        FillTo(out, kEnd - c.room + 1);
        const Bytes before(out.Buffer(), out.Buffer() + kEnd);
        ExpectFailure([&] { c.write(out); }, c.message);
        EXPECT_EQ(out.Position(), kEnd - c.room + 1) << c.message;
        EXPECT_EQ(Bytes(out.Buffer(), out.Buffer() + kEnd), before) << c.message;

        CDataOutputStream roomy;
        FillTo(roomy, kEnd - c.room);
        EXPECT_NO_THROW(c.write(roomy)) << c.message;
    }
}

TEST(DataStreamTest, ReadersNeedTheirRoomAndConsumeNothingWithout) {
    struct Case {
        const char* message;
        std::int32_t room;
        std::function<void(CDataInputStream&)> read;
        Bytes code = {}; // what lies at the position (zeros otherwise)
    };
    char text[8];
    std::uint8_t blob[3];
    const Case cases[] = {
        {"readByte", 1, [](CDataInputStream& i) { i.readByte(); }},
        {"readBool", 1, [](CDataInputStream& i) { i.readBool(); }},
        {"readShort", 2, [](CDataInputStream& i) { i.readShort(); }},
        {"readLong", 4, [](CDataInputStream& i) { i.readLong(); }},
        {"readLong", 8, [](CDataInputStream& i) { i.readLong64(); }},
        {"readLongCompress", 4, [](CDataInputStream& i) { i.readLongCompress(); }},
        {"readLongSigned", 4, [](CDataInputStream& i) { i.readLongSigned(); }},
        {"readFloat", 4, [](CDataInputStream& i) { i.readFloat(); }},
        {"readDouble", 8, [](CDataInputStream& i) { i.readDouble(); }},
        {"readBlob", 3, [&](CDataInputStream& i) { i.readBlob(blob, 3); }},
        {"readVolume", 4, [](CDataInputStream& i) { i.readVolume(); }},
        {"readTick", 6, [](CDataInputStream& i) { i.readTick(); }, {0x40}},
        {"readCompress", 24,
         [](CDataInputStream& i) {
             DeltaBar running;
             i.readCompress(running, 2);
         }},
        {"readString(char) memchr", 1, [&](CDataInputStream& i) { i.readString(text, 8); }},
    };
    for (const Case& c : cases) {
        CDataInputStream in;
        PlaceAt(in, kEnd - c.room + 1, c.code);
        ExpectFailure([&] { c.read(in); }, c.message);
        EXPECT_EQ(in.Position(), kEnd - c.room + 1) << c.message;

        PlaceAt(in, kEnd - c.room, c.code);
        EXPECT_NO_THROW(c.read(in)) << c.message;
    }
}

TEST(DataStreamTest, TickLongerThanItsFirstRoomCheckIsRefusedAtTheEnd) {
    // A four-byte volume, the price and a third tick byte: 11 bytes, of which
    // only 6 lie inside the buffer. Reading on would run off its end.
    CDataInputStream in;
    PlaceAt(in, kEnd - 6, {0xE0, 0x00, 0x00, 0x01, 0xBF, 0x80});
    ExpectFailure([&] { in.readTick(); }, "readTick");
    EXPECT_EQ(in.Position(), kEnd - 6);
    PlaceAt(in, kEnd - 10, {0xE0, 0x00, 0x00, 0x01, 0xBF, 0x80, 0x00, 0x00, 0x81, 0x02});
    ExpectFailure([&] { in.readTick(); }, "readTick");
    EXPECT_EQ(in.Position(), kEnd - 10);
    PlaceAt(in, kEnd - 11, {0xE0, 0x00, 0x00, 0x01, 0xBF, 0x80, 0x00, 0x00, 0x81, 0x02, 0x03});
    const Tick tick = in.readTick();
    EXPECT_EQ(tick.tickNumber, 0x010203);
    EXPECT_EQ(tick.volume, 1);
    EXPECT_EQ(in.Position(), kEnd);
}

TEST(DataStreamTest, BlockHeadersAndTheirLimits) {
    CDataInputStream in;
    EXPECT_TRUE(LoadBlock(in, {0x00, 0x00, 0x0F, 0xFC}));
    EXPECT_EQ(in.BlockLength(), 4092);
    ExpectFailure([&] { LoadBlock(in, {0x00, 0x00, 0x0F, 0xFD}); }, "readSize");
    ExpectFailure([&] { LoadBlock(in, {0x7F, 0xFF, 0xFF, 0xFF}); }, "readSize");

    EXPECT_FALSE(LoadBlock(in, {0xFF, 0xFF, 0xFF, 0xFE}));
    EXPECT_EQ(in.BlockLength(), -2);
    EXPECT_FALSE(in.HasMore());
    EXPECT_FALSE(LoadBlock(in, {0, 0, 0, 0}));
    EXPECT_EQ(in.BlockLength(), 0);

    EXPECT_TRUE(LoadBlock(in, {0, 0, 0, 2, 7, 8}));
    EXPECT_TRUE(in.HasMore());
    in.readShort();
    EXPECT_FALSE(in.HasMore());
}

TEST(DataStreamTest, PriceBlockHeaders) {
    CDataOutputStream out;
    EXPECT_FALSE(out.writeSizeNK(3));
    out.writeLong(1);
    ASSERT_TRUE(out.writeSizeNK(3));
    EXPECT_THAT(Bytes(out.Buffer(), out.Buffer() + 4), ElementsAre(3, 0, 0, 4));

    CDataInputStream in;
    in.Reset();
    const std::uint8_t header[] = {4, 0x00, 0x0F, 0xFC};
    std::copy(std::begin(header), std::end(header), in.Buffer());
    int decimals = -1;
    EXPECT_TRUE(in.readSizeNK(decimals));
    EXPECT_EQ(decimals, 4);
    EXPECT_EQ(in.BlockLength(), 4092);

    // The length is unsigned: a high byte that looks negative is a large length.
    const std::uint8_t large[] = {2, 0xFF, 0xFF, 0xFE};
    std::copy(std::begin(large), std::end(large), in.Buffer());
    ExpectFailure([&] { in.readSizeNK(decimals); }, "readSizeNK");
    const std::uint8_t past[] = {2, 0x00, 0x0F, 0xFD};
    std::copy(std::begin(past), std::end(past), in.Buffer());
    ExpectFailure([&] { in.readSizeNK(decimals); }, "readSizeNK");
    const std::uint8_t end[] = {6, 0, 0, 0};
    std::copy(std::begin(end), std::end(end), in.Buffer());
    EXPECT_FALSE(in.readSizeNK(decimals));
    EXPECT_EQ(decimals, 6);
    EXPECT_EQ(in.BlockLength(), 0);
}

TEST(DataStreamTest, ReadingPastThePayloadNeverShowsAnEarlierBlock) {
    CDataInputStream in;
    Bytes first = {0x00, 0x00, 0x0F, 0xFC};
    first.resize(4096, 'X');
    ASSERT_TRUE(LoadBlock(in, first));
    ASSERT_TRUE(LoadBlock(in, {0, 0, 0, 1, 'a'}));
    EXPECT_EQ(in.readByte(), 'a');
    char text[64];
    EXPECT_EQ(in.readString(text, sizeof text), 0u);
    std::uint8_t rest[100];
    in.readBlob(rest, sizeof rest);
    EXPECT_EQ(std::count(std::begin(rest), std::end(rest), 0), 100);
}

} // namespace
} // namespace mvr
