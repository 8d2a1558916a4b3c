// Every writer must be the exact inverse of its reader: whatever value a
// reader can produce from some code, the writer codes it so that the reader
// gives back that value. The sweeps decode codes, re-encode the values and
// decode again; small code spaces are covered completely, large ones at their
// boundaries and by sampling (in full with MVR_LONG_TESTS=1).

#include "core/net/BigEndian.h"
#include "core/net/DataInputStream.h"
#include "core/net/DataOutputStream.h"
#include "core/net/IOException.h"
#include "NetTestSupport.h"

#include <bit>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <vector>

namespace mvr {
namespace {

using Bytes = std::vector<std::uint8_t>;

bool SameValue(float a, float b) {
    return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b);
}
bool SameValue(double a, double b) {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}
bool SameValue(const Tick& a, const Tick& b) {
    return SameValue(a.price, b.price) && a.tickNumber == b.tickNumber && a.volume == b.volume;
}
template <typename T>
bool SameValue(const T& a, const T& b) {
    return a == b;
}

// Collects codes into blocks; for each full block it decodes every code,
// writes the decoded values with the writer and checks that the writer's
// block decodes to the same values.
template <typename T>
class InverseSweep {
public:
    using Read = std::function<T(CDataInputStream&)>;
    using Write = std::function<void(CDataOutputStream&, const T&)>;

    InverseSweep(Read read, Write write) : read_(std::move(read)), write_(std::move(write)) {}
    ~InverseSweep() { Flush(); }

    void AddCode(std::uint64_t code, int length) {
        if (payload_.size() + static_cast<std::size_t>(length) > kFill) {
            Flush();
        }
        const std::size_t at = payload_.size();
        payload_.resize(at + static_cast<std::size_t>(length));
        StoreBigEndian(payload_.data() + at, code, length);
    }
    void AddCode(const Bytes& code) {
        if (payload_.size() + code.size() > kFill) {
            Flush();
        }
        payload_.insert(payload_.end(), code.begin(), code.end());
    }

    void Flush() {
        if (payload_.empty()) {
            return;
        }
        Bytes wire(4);
        StoreBE32(wire.data(), static_cast<std::uint32_t>(payload_.size()));
        wire.insert(wire.end(), payload_.begin(), payload_.end());
        payload_.clear();
        ASSERT_TRUE(test::LoadBlock(in_, wire));
        values_.clear();
        while (in_.HasMore()) {
            values_.push_back(read_(in_));
        }
        for (const T& value : values_) {
            write_(out_, value);
        }
        test::Transfer(out_, in_);
        for (const T& value : values_) {
            const T again = read_(in_);
            if (!SameValue(again, value)) {
                ASSERT_LT(++mismatches_, 5) << "too many mismatches";
                ADD_FAILURE() << "value at block offset " << in_.Position() << " changed";
            }
        }
        EXPECT_FALSE(in_.HasMore());
    }

private:
    // Well below the buffer end, so every reader has its full room.
    static constexpr std::size_t kFill = 3900;

    Read read_;
    Write write_;
    Bytes payload_;
    std::vector<T> values_;
    CDataInputStream in_;
    CDataOutputStream out_;
    int mismatches_ = 0;
};

// Every code of `length` bytes whose first byte lies in [firstLow, firstHigh]:
// all of them when the space is small or long tests run, else every
// `stride`-th one plus the first and last 300 around each first byte.
template <typename T>
void SweepCodeSpace(InverseSweep<T>& sweep, int length, std::uint32_t firstLow,
                    std::uint32_t firstHigh, std::uint64_t stride) {
    const int shift = 8 * (length - 1);
    const std::uint64_t perFirst = std::uint64_t{1} << shift;
    const bool complete = test::LongTestsEnabled() || perFirst <= 65536;
    for (std::uint64_t first = firstLow; first <= firstHigh; ++first) {
        const std::uint64_t base = first << shift;
        if (complete) {
            for (std::uint64_t rest = 0; rest < perFirst; ++rest) {
                sweep.AddCode(base | rest, length);
            }
            continue;
        }
        for (std::uint64_t rest = 0; rest < 300; ++rest) {
            sweep.AddCode(base | rest, length);
            sweep.AddCode(base | (perFirst - 1 - rest), length);
        }
        for (std::uint64_t rest = 300; rest < perFirst - 300; rest += stride) {
            sweep.AddCode(base | rest, length);
        }
    }
}

TEST(WireCodeRoundTripTest, UnsignedCompactCode) {
    InverseSweep<std::uint32_t> sweep(
        [](CDataInputStream& in) { return in.readLongCompress(); },
        [](CDataOutputStream& out, const std::uint32_t& v) { out.writeLongCompress(v); });
    SweepCodeSpace(sweep, 1, 0x00, 0x3F, 1);
    SweepCodeSpace(sweep, 2, 0x40, 0x7F, 1);
    SweepCodeSpace(sweep, 3, 0x80, 0xBF, 1);
    SweepCodeSpace(sweep, 4, 0xC0, 0xFF, 4099);
}

TEST(WireCodeRoundTripTest, SignedCompactCode) {
    InverseSweep<std::int32_t> sweep(
        [](CDataInputStream& in) { return in.readLongSigned(); },
        [](CDataOutputStream& out, const std::int32_t& v) { out.writeLongSigned(v); });
    SweepCodeSpace(sweep, 1, 0x00, 0x3F, 1);
    SweepCodeSpace(sweep, 2, 0x40, 0x7F, 1);
    SweepCodeSpace(sweep, 3, 0x80, 0xBF, 1);
    SweepCodeSpace(sweep, 4, 0xC0, 0xFF, 4099);
}

TEST(WireCodeRoundTripTest, VolumeCode) {
    InverseSweep<std::int32_t> sweep(
        [](CDataInputStream& in) { return in.readVolume(); },
        [](CDataOutputStream& out, const std::int32_t& v) { out.writeVolume(v); });
    SweepCodeSpace(sweep, 1, 0x00, 0x7F, 1);
    SweepCodeSpace(sweep, 2, 0x80, 0xBF, 1);
    SweepCodeSpace(sweep, 3, 0xC0, 0xDF, 1);
    SweepCodeSpace(sweep, 4, 0xE0, 0xFF, 2053);
}

TEST(WireCodeRoundTripTest, EscapedFloat) {
    InverseSweep<float> sweep([](CDataInputStream& in) { return in.readFloat(); },
                              [](CDataOutputStream& out, const float& v) { out.writeFloat(v); });
    sweep.AddCode(0x80, 1);
    // Four-byte codes are every bit pattern whose first byte is not the escape.
    SweepCodeSpace(sweep, 4, 0x00, 0x7F, 65537);
    SweepCodeSpace(sweep, 4, 0x81, 0xFF, 65537);
}

TEST(WireCodeRoundTripTest, EscapedDouble) {
    InverseSweep<double> sweep([](CDataInputStream& in) { return in.readDouble(); },
                               [](CDataOutputStream& out, const double& v) { out.writeDouble(v); });
    sweep.AddCode(0x80, 1);
    std::mt19937_64 random(7);
    const int samples = test::LongTestsEnabled() ? 4000000 : 100000;
    for (int i = 0; i < samples; ++i) {
        std::uint64_t bits = random();
        if ((bits >> 56) == 0x80) {
            continue;
        }
        sweep.AddCode(bits, 8);
    }
    for (const double special :
         {1.0, -1.0, std::numeric_limits<double>::infinity(),
          -std::numeric_limits<double>::infinity(), std::numeric_limits<double>::denorm_min(),
          std::numeric_limits<double>::max(), std::numeric_limits<double>::quiet_NaN()}) {
        sweep.AddCode(std::bit_cast<std::uint64_t>(special), 8);
    }
}

TEST(WireCodeRoundTripTest, ValuesThatCannotStartWithTheEscapeByteTravelAsZero) {
    // Minus zero and negative numbers below about 1e-38 (floats) cannot be
    // told from the escape; they are as good as zero and arrive as +0.0.
    CDataOutputStream out;
    out.writeFloat(-std::numeric_limits<float>::denorm_min());
    out.writeFloat(std::bit_cast<float>(0x80FFFFFFu));
    out.writeDouble(-std::numeric_limits<double>::denorm_min());
    out.writeFloat(std::bit_cast<float>(0x81000000u)); // the next negative float travels whole
    CDataInputStream in;
    test::Transfer(out, in);
    EXPECT_TRUE(SameValue(in.readFloat(), 0.0f));
    EXPECT_TRUE(SameValue(in.readFloat(), 0.0f));
    EXPECT_TRUE(SameValue(in.readDouble(), 0.0));
    EXPECT_TRUE(SameValue(in.readFloat(), std::bit_cast<float>(0x81000000u)));
}

TEST(WireCodeRoundTripTest, TickCode) {
    InverseSweep<Tick> sweep([](CDataInputStream& in) { return in.readTick(); },
                             [](CDataOutputStream& out, const Tick& v) { out.writeTick(v); });
    sweep.AddCode(0x40, 1);
    // Every tick-number pair, plain and extended, behind a one-byte volume;
    // an extended pair with its top bit set takes a third byte.
    for (const std::uint32_t price : {0x3F800000u, 0xBF800000u, 0x00000000u, 0x80000000u}) {
        for (std::uint32_t xy = 0; xy < 65536; ++xy) {
            Bytes code(7);
            code[0] = 0x05;
            StoreBE32(&code[1], price);
            code[5] = static_cast<std::uint8_t>(xy >> 8);
            code[6] = static_cast<std::uint8_t>(xy);
            if ((price & 0x80000000u) != 0 && (xy & 0x8000) != 0) {
                code.push_back(0xA5);
            }
            sweep.AddCode(code);
        }
    }
    // Random codes: whatever a random byte string starts with, read as a tick.
    std::mt19937 random(11);
    const int samples = test::LongTestsEnabled() ? 4000000 : 200000;
    for (int i = 0; i < samples; ++i) {
        Bytes code(11);
        for (auto& b : code) {
            b = static_cast<std::uint8_t>(random());
        }
        CDataInputStream probe;
        Bytes wire = {0, 0, 0, 11};
        wire.insert(wire.end(), code.begin(), code.end());
        test::LoadBlock(probe, wire);
        probe.readTick();
        code.resize(static_cast<std::size_t>(probe.Position() - 4));
        sweep.AddCode(code);
    }
}

TEST(WireCodeRoundTripTest, FixedWidthValuesAndBooleans) {
    std::mt19937_64 random(3);
    CDataOutputStream out;
    CDataInputStream in;
    std::vector<std::int64_t> values = {0, 1, -1, INT64_MIN, INT64_MAX, INT32_MIN, INT32_MAX};
    for (int i = 0; i < 200; ++i) {
        values.push_back(static_cast<std::int64_t>(random()));
    }
    for (const std::int64_t v : values) {
        out.writeLong64(v);
        out.writeLong(static_cast<std::int32_t>(v));
        out.writeShort(static_cast<std::uint16_t>(v));
        out.writeBool((v & 1) != 0);
        test::Transfer(out, in);
        EXPECT_EQ(in.readLong64(), v);
        EXPECT_EQ(in.readLong(), static_cast<std::int32_t>(v));
        EXPECT_EQ(in.readShort(), static_cast<std::uint16_t>(v));
        EXPECT_EQ(in.readBool(), (v & 1) != 0);
    }
    // Only the byte 1 is true.
    Bytes wire = {0, 0, 0x01, 0x00};
    for (int b = 0; b < 256; ++b) {
        wire.push_back(static_cast<std::uint8_t>(b));
    }
    ASSERT_TRUE(test::LoadBlock(in, wire));
    for (int b = 0; b < 256; ++b) {
        EXPECT_EQ(in.readBool(), b == 1) << b;
    }
}

TEST(WireCodeRoundTripTest, StringsOfEveryLengthThatFits) {
    std::mt19937 random(5);
    for (std::int32_t length = 0; length <= CDataStream::kMaxPayload - 2;
         length += 1 + length / 8) {
        std::string text(static_cast<std::size_t>(length), 'x');
        for (char& c : text) {
            c = static_cast<char>(1 + random() % 255);
        }
        CDataOutputStream out;
        out.writeString(text);
        CDataInputStream in;
        test::Transfer(out, in);
        EXPECT_EQ(in.readString(text.size() + 1), text) << length;
    }
    // The longest text a block can hold.
    CDataOutputStream out;
    const std::string longest(CDataStream::kMaxPayload - 2, 'y');
    out.writeString(longest);
    EXPECT_THROW(out.writeString(""), CIOException);
    EXPECT_THROW(CDataOutputStream().writeString(std::string(CDataStream::kMaxPayload - 1, 'z')),
                 CIOException);
}

TEST(WireCodeRoundTripTest, WrittenCodesReadBackAtTheVeryEndOfTheBuffer) {
    // A writer demands the room its reader will demand, so nothing it writes
    // is unreadable at the position where it was written.
    const Tick longTick{1.0f, 0x7FFFFF, 0x0FFFFFFF};
    for (std::int32_t position = CDataStream::kCapacity - 30; position <= CDataStream::kCapacity;
         ++position) {
        const std::function<void(CDataOutputStream&)> writers[] = {
            [](CDataOutputStream& o) { o.writeLongCompress(5); },
            [](CDataOutputStream& o) { o.writeLongSigned(-5); },
            [](CDataOutputStream& o) { o.writeVolume(500); },
            [](CDataOutputStream& o) { o.writeFloat(0.0f); },
            [](CDataOutputStream& o) { o.writeDouble(0.0); },
            [](CDataOutputStream& o) { o.writeTick({}); },
            [&](CDataOutputStream& o) { o.writeTick(longTick); },
            [](CDataOutputStream& o) {
                DeltaBar running;
                o.writeCompress(running, DeltaBar{1, 0.5f, 0, 0, 0, 7}, 1);
            },
        };
        const std::function<void(CDataInputStream&)> readers[] = {
            [](CDataInputStream& i) { EXPECT_EQ(i.readLongCompress(), 5u); },
            [](CDataInputStream& i) { EXPECT_EQ(i.readLongSigned(), -5); },
            [](CDataInputStream& i) { EXPECT_EQ(i.readVolume(), 500); },
            [](CDataInputStream& i) { EXPECT_EQ(i.readFloat(), 0.0f); },
            [](CDataInputStream& i) { EXPECT_EQ(i.readDouble(), 0.0); },
            [](CDataInputStream& i) { EXPECT_EQ(i.readTick().tickNumber, 0); },
            [&](CDataInputStream& i) { EXPECT_TRUE(SameValue(i.readTick(), longTick)); },
            [](CDataInputStream& i) {
                DeltaBar running;
                i.readCompress(running, 1);
                EXPECT_EQ(running, (DeltaBar{1, 0.5f, 0, 0, 0, 7}));
            },
        };
        for (std::size_t k = 0; k < std::size(writers); ++k) {
            CDataOutputStream out;
            const Bytes filler(static_cast<std::size_t>(position - 4), 0);
            out.writeBlob(filler.data(), static_cast<std::int32_t>(filler.size()));
            try {
                writers[k](out);
            } catch (const CIOException&) {
                continue; // too little room: nothing to read back
            }
            CDataInputStream in;
            std::memcpy(in.Buffer(), out.Buffer(), CDataStream::kCapacity);
            std::vector<std::uint8_t> skip(filler.size());
            in.readBlob(skip.data(), static_cast<std::int32_t>(skip.size()));
            readers[k](in);
        }
    }
}

} // namespace
} // namespace mvr
