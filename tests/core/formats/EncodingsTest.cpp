#include "core/formats/DayNumber.h"
#include "core/formats/LongDate.h"
#include "core/formats/Mbf.h"

#include <array>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>

namespace mvr {
namespace {

using Bytes4 = std::array<std::uint8_t, 4>;

float FromMbf(Bytes4 bytes) {
    return LoadMbf(bytes.data());
}

Bytes4 ToMbf(float value) {
    Bytes4 bytes{0xAA, 0xAA, 0xAA, 0xAA};
    StoreMbf(bytes.data(), value);
    return bytes;
}

float FromBits(std::uint32_t bits) {
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

TEST(MbfTest, KnownValues) {
    EXPECT_EQ(FromMbf({0x00, 0x00, 0x00, 0x81}), 1.0f);
    EXPECT_EQ(FromMbf({0x00, 0x00, 0x00, 0x84}), 8.0f);
    EXPECT_EQ(FromMbf({0x00, 0x00, 0x80, 0x81}), -1.0f);
    EXPECT_EQ(FromMbf({0x00, 0x00, 0x00, 0x00}), 0.0f);
    EXPECT_EQ(ToMbf(1.0f), (Bytes4{0x00, 0x00, 0x00, 0x81}));
    EXPECT_EQ(ToMbf(-1.0f), (Bytes4{0x00, 0x00, 0x80, 0x81}));
    // 1050307, the packed date of 7 March 2005.
    EXPECT_EQ(FromMbf(ToMbf(1050307.0f)), 1050307.0f);
}

TEST(MbfTest, ExponentZeroIsZeroWhateverTheMantissa) {
    // Real files hold such values; taken bit for bit they would read near +-1e38.
    EXPECT_EQ(FromMbf({0x12, 0x34, 0x56, 0x00}), 0.0f);
    EXPECT_EQ(FromMbf({0xFF, 0xFF, 0xFF, 0x00}), 0.0f);
    // Exponents 1 and 2 lie below the smallest normal single; they must not
    // turn into NaN, infinity or a denormal of another value.
    EXPECT_EQ(FromMbf({0xFF, 0xFF, 0xFF, 0x01}), 0.0f);
    EXPECT_EQ(FromMbf({0x00, 0x00, 0x80, 0x02}), 0.0f);
    EXPECT_EQ(FromMbf({0x00, 0x00, 0x00, 0x03}), std::numeric_limits<float>::min());
}

TEST(MbfTest, ZeroAndValuesMbfCannotHoldAreWrittenSafely) {
    EXPECT_EQ(ToMbf(0.0f), (Bytes4{0, 0, 0, 0}));
    EXPECT_EQ(ToMbf(-0.0f), (Bytes4{0, 0, 0, 0}));
    EXPECT_EQ(ToMbf(std::numeric_limits<float>::denorm_min()), (Bytes4{0, 0, 0, 0}));
    EXPECT_EQ(ToMbf(std::numeric_limits<float>::quiet_NaN()), (Bytes4{0, 0, 0, 0}));
    EXPECT_EQ(ToMbf(std::numeric_limits<float>::infinity()), (Bytes4{0xFF, 0xFF, 0x7F, 0xFF}));
    EXPECT_EQ(ToMbf(-std::numeric_limits<float>::max()), (Bytes4{0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_GT(FromMbf(ToMbf(std::numeric_limits<float>::max())), 1.7e38f);
}

TEST(MbfTest, EveryRepresentableSingleRoundTrips) {
    // Normal singles whose exponent fits MBF (IEEE exponents 1..253); the
    // sample steps through the bit patterns (all of them in a long run would
    // take too long even there, so a dense stride is used).
    const std::uint32_t stride = 104729; // a prime: every mantissa region is visited
    std::size_t checked = 0;
    for (std::uint64_t bits = 0x00800000; bits < 0x7F000000; bits += stride) {
        for (const std::uint32_t sign : {0u, 0x80000000u}) {
            const float value = FromBits(static_cast<std::uint32_t>(bits) | sign);
            ASSERT_EQ(FromMbf(ToMbf(value)), value) << std::hex << bits;
            ++checked;
        }
    }
    EXPECT_GT(checked, 30000u);
}

TEST(LongDateTest, FromYearMonthDayWithTheCenturyRule) {
    EXPECT_EQ(LongDate::FromYearMonthDay(5, 3, 7).Value(), 20050307);
    EXPECT_EQ(LongDate::FromYearMonthDay(99, 12, 31).Value(), 19991231);
    EXPECT_EQ(LongDate::FromYearMonthDay(105, 3, 7).Value(), 20050307);
    EXPECT_EQ(LongDate::FromYearMonthDay(1969, 12, 31).Value(), 0);
    EXPECT_EQ(LongDate::FromYearMonthDay(2038, 1, 1).Value(), 0);
    EXPECT_EQ(LongDate::FromYearMonthDay(2004, 2, 29).Value(), 20040229);
    EXPECT_EQ(LongDate::FromYearMonthDay(2005, 2, 29).Value(), 0);
    EXPECT_EQ(LongDate::FromYearMonthDay(2005, 13, 1).Value(), 0);
    EXPECT_EQ(LongDate::FromYearMonthDay(2005, 4, 31).Value(), 0);
    EXPECT_EQ(LongDate::FromYearMonthDay(-1, 1, 1).Value(), 0);
    EXPECT_EQ(LongDate::FromYearMonthDay(55, 1, 1).Value(), 0); // 1955: before 1970
    EXPECT_EQ(LongDate::FromCalendarDate(100, 1, 1).Value(), 0);
    EXPECT_EQ(LongDate::FromCalendarDate(2037, 12, 31).Value(), 20371231);
}

TEST(LongDateTest, CenturyRule) {
    EXPECT_EQ(CenturyYear(0), 2000);
    EXPECT_EQ(CenturyYear(49), 2049);
    EXPECT_EQ(CenturyYear(50), 1950);
    EXPECT_EQ(CenturyYear(150), 2050);
    EXPECT_EQ(CenturyYear(151), 0);
    EXPECT_EQ(CenturyYear(1970), 1970);
    EXPECT_EQ(CenturyYear(2037), 2037);
    EXPECT_EQ(CenturyYear(2038), 0);
    EXPECT_EQ(CenturyYear(-5), 0);
}

LongDate FromPacked(float packed) {
    Bytes4 bytes;
    StoreMbf(bytes.data(), packed);
    return LongDate::FromMbfPacked(bytes.data());
}

TEST(LongDateTest, PackedDates) {
    EXPECT_EQ(FromPacked(1050307).Value(), 20050307);
    EXPECT_EQ(FromPacked(991231).Value(), 19991231);
    EXPECT_EQ(FromPacked(491231).Value(), 0); // 1949
    EXPECT_EQ(FromPacked(700101).Value(), 19700101);
    EXPECT_EQ(FromPacked(691231).Value(), 0);
    EXPECT_EQ(FromPacked(1371231).Value(), 20371231);
    EXPECT_EQ(FromPacked(1380101).Value(), 0);
    EXPECT_EQ(FromPacked(20050308).Value(), 20050308); // a full year is taken as well
    EXPECT_EQ(FromPacked(-1050307).Value(), 0);
    EXPECT_EQ(FromPacked(1e30f).Value(), 0);
    EXPECT_EQ(FromPacked(0).Value(), 0);
    EXPECT_EQ(FromPacked(1050230).Value(), 0); // 30 February

    std::uint8_t mbf[4];
    LongDate::FromYearMonthDay(2005, 3, 7).StoreMbfPacked(mbf);
    EXPECT_EQ(LoadMbf(mbf), 1050307.0f);
    LongDate().StoreMbfPacked(mbf);
    EXPECT_EQ(mbf[0] | mbf[1] | mbf[2] | mbf[3], 0);
    EXPECT_EQ(LongDate::FromYearMonthDay(1999, 12, 31).IeeePacked(), 991231.0f);
    EXPECT_EQ(LongDate().IeeePacked(), 0.0f);
}

TEST(LongDateTest, OleDates) {
    EXPECT_EQ(LongDate::FromOleDate(0.0).Value(), 0);
    EXPECT_EQ(LongDate::FromOleDate(36526.0).Value(), 20000101);
    EXPECT_EQ(LongDate::FromOleDate(36526.75).Value(), 20000101);
    EXPECT_EQ(LongDate::FromOleDate(-5.0).Value(), 0);
    EXPECT_EQ(LongDate::FromYearMonthDay(2000, 1, 1).OleDate(), 36526.0);
    EXPECT_EQ(LongDate().OleDate(), 0.0);
}

} // namespace
} // namespace mvr
