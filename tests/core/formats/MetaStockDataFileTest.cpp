#include "core/formats/MetaStockDataFile.h"

#include "core/formats/DayNumber.h"
#include "core/formats/LongDate.h"
#include "core/formats/Mbf.h"
#include "core/platform/Bytes.h"
#include "support/CalendarDay.h"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>
#include <random>

namespace mvr {
namespace {

using test::Day;

PERIODE Bar(std::int32_t day, float open, float high, float low, float close, std::int32_t volume) {
    PERIODE bar;
    bar.dayNumber = day;
    bar.open = open;
    bar.high = high;
    bar.low = low;
    bar.close = close;
    bar.volume = volume;
    return bar;
}

std::vector<float> Fields(const ByteBuffer& image, std::size_t record, int fieldCount) {
    std::vector<float> fields;
    for (int f = 0; f < fieldCount; ++f) {
        fields.push_back(LoadMbf(image.data() + record * 4 * fieldCount + 4 * f));
    }
    return fields;
}

PriceHistory ThreeBars() {
    return {Bar(Day(7, 3, 2005), 10.5f, 11, 10.25f, 10.75f, 12345),
            Bar(Day(8, 3, 2005), 10.75f, 12, 10.5f, 11.5f, 20000),
            Bar(Day(9, 3, 2005), 11.5f, 11.5f, 9, 9.5f, 0)};
}

TEST(MetaStockDataFileTest, SevenFieldLayout) {
    const auto image = EncodeMetaStockFile(ThreeBars(), 7);
    ASSERT_TRUE(image);
    ASSERT_EQ(image->size(), 112u);
    EXPECT_EQ(LoadLE16(image->data()), 0);
    EXPECT_EQ((*image)[2], 0x04);
    EXPECT_EQ((*image)[3], 0x00);
    for (std::size_t i = 4; i < 28; ++i) {
        EXPECT_EQ((*image)[i], 0) << i;
    }
    EXPECT_EQ(Fields(*image, 1, 7),
              (std::vector<float>{1050307, 10.5f, 11, 10.25f, 10.75f, 12345, 0}));

    const auto bars = DecodeMetaStockFile(*image, 7);
    ASSERT_TRUE(bars);
    ASSERT_EQ(bars->size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        PERIODE expected = ThreeBars()[i];
        expected.sourcePos = static_cast<std::int32_t>(i);
        EXPECT_EQ((*bars)[i], expected) << i;
    }
}

TEST(MetaStockDataFileTest, EveryFieldCountRoundTrips) {
    PriceHistory history;
    for (int i = 0; i < 200; ++i) {
        const float base = 10.0f + static_cast<float>(i) / 8.0f;
        history.push_back(
            Bar(Day(1, 1, 1970) + i * 37, base, base + 1, base - 1, base + 0.5f, 1000 * i));
    }
    for (int fields = 5; fields <= 8; ++fields) {
        const auto image = EncodeMetaStockFile(history, fields);
        ASSERT_TRUE(image) << fields;
        EXPECT_EQ(image->size(), 4u * fields * (history.size() + 1));
        const auto bars = DecodeMetaStockFile(*image, fields);
        ASSERT_TRUE(bars);
        ASSERT_EQ(bars->size(), history.size());
        for (std::size_t i = 0; i < history.size(); ++i) {
            PERIODE expected = history[i];
            expected.sourcePos = static_cast<std::int32_t>(i);
            if (fields == 5) {
                expected.open = expected.close; // 5 fields carry no open
            }
            EXPECT_EQ((*bars)[i], expected) << fields << " " << i;
        }
    }
}

TEST(MetaStockDataFileTest, FiveFieldRecordHasNoOpen) {
    ByteBuffer image(40, 0);
    StoreLE16(image.data() + 2, 2);
    const float record[5] = {1050307, 10, 9, 9.5f, 1000};
    for (int f = 0; f < 5; ++f) {
        StoreMbf(image.data() + 20 + 4 * f, record[f]);
    }
    const auto bars = DecodeMetaStockFile(image, 5);
    ASSERT_TRUE(bars);
    ASSERT_EQ(bars->size(), 1u);
    EXPECT_EQ((*bars)[0], ([] {
                  PERIODE b = Bar(Day(7, 3, 2005), 9.5f, 10, 9, 9.5f, 1000);
                  b.sourcePos = 0;
                  return b;
              }()));
    const auto back = EncodeMetaStockFile(*bars, 5);
    ASSERT_TRUE(back);
    EXPECT_EQ(Fields(*back, 1, 5), (std::vector<float>{1050307, 10, 9, 9.5f, 1000}));
}

TEST(MetaStockDataFileTest, EmptyAndShortFiles) {
    EXPECT_EQ(EncodeMetaStockFile({}, 7)->size(), 0u);
    EXPECT_TRUE(DecodeMetaStockFile({}, 7)->empty());
    const ByteBuffer header(28, 0);
    EXPECT_TRUE(DecodeMetaStockFile(header, 7)->empty());
}

// The reader takes the calendar work once per month; every date must still
// read exactly as LongDate reads it, whatever order and form the dates come in.
TEST(MetaStockDataFileTest, DatesReadAsLongDateReadsThem) {
    const std::vector<double> edges = {1040227,  1040228,  1040229,  1040230,  1040301, 1040229.75,
                                       20040301, 20040302, 20040331, 20040401, 1050231, 1050301,
                                       991231,   1000101,  700101,   691231,   1371231, 1380101,
                                       0,        -1040301, 1040300,  1040332,  1e9,     1040315};
    std::vector<float> packed(edges.begin(), edges.end());
    std::mt19937 random(11);
    std::uniform_int_distribution<int> years(60, 140), months(0, 13), days(0, 32);
    for (int i = 0; i < 3000; ++i) {
        packed.push_back(
            static_cast<float>(years(random) * 10000 + months(random) * 100 + days(random)));
    }
    ByteBuffer image((packed.size() + 1) * 20, 0);
    for (std::size_t i = 0; i < packed.size(); ++i) {
        StoreMbf(image.data() + (i + 1) * 20, packed[i]);
        StoreMbf(image.data() + (i + 1) * 20 + 12, 1.0f);
    }
    const auto bars = DecodeMetaStockFile(image, 5);
    ASSERT_TRUE(bars);
    ASSERT_EQ(bars->size(), packed.size());
    for (std::size_t i = 0; i < packed.size(); ++i) {
        const LongDate date = LongDate::FromMbfPacked(image.data() + (i + 1) * 20);
        ASSERT_EQ((*bars)[i].dayNumber, DayNumberOfStoredDate(date.OleDate())) << packed[i];
    }
    // Written back, each date is the packed form of its day (or zero outside 1970..2037).
    const auto back = EncodeMetaStockFile(*bars, 5);
    for (std::size_t i = 0; i < packed.size(); ++i) {
        const LongDate date = LongDate::FromMbfPacked(image.data() + (i + 1) * 20);
        ASSERT_EQ(LoadMbf(back->data() + (i + 1) * 20), date.IeeePacked()) << packed[i];
    }
}

// Records are decoded in groups in vector registers and one by one at the end
// of a block or file: either way every bar must be what the field definitions
// give, including zero-exponent prices, signs, saturating volumes and dates
// that leave the month mid-group. Raw random words reach cases no writer makes.
TEST(MetaStockDataFileTest, EveryRecordDecodesAsItsFieldsDefine) {
    std::mt19937 random(5);
    std::uniform_int_distribution<std::uint32_t> anyWord;
    std::uniform_int_distribution<int> kind(0, 9), smallExponent(0, 3), dayStep(0, 2);
    std::uniform_int_distribution<int> hour(0, 23), sixty(0, 59);
    const std::vector<MetaStockLayout> layouts = {{5},       {6},       {7},      {8},
                                                  {6, true}, {7, true}, {8, true}};
    for (const MetaStockLayout& layout : layouts) {
        const int fields = layout.fieldCount;
        const int time = layout.hasTime ? 1 : 0;
        const bool hasOpen = fields - time > 5;
        const std::size_t length = 4 * static_cast<std::size_t>(fields);
        // Past a block of 128, not a multiple of 4: groups and single records.
        const std::size_t records = 261 + static_cast<std::size_t>(fields);
        ByteBuffer image((records + 1) * length, 0);
        std::int32_t day = Day(27, 12, 1999);
        for (std::size_t r = 1; r <= records; ++r) {
            std::uint8_t* record = image.data() + r * length;
            day += dayStep(random);
            const DATUM date = DayNumberToDatum(day);
            LongDate::FromCalendarDate(date.year, date.month, date.day).StoreMbfPacked(record);
            if (kind(random) == 0) {
                StoreLE32(record, anyWord(random));
            }
            for (int f = 1; f < fields; ++f) {
                std::uint32_t word = anyWord(random);
                if (kind(random) < 3) {
                    word = (word & 0x00FFFFFF) |
                           (static_cast<std::uint32_t>(smallExponent(random)) << 24);
                }
                StoreLE32(record + 4 * f, word);
            }
            if (layout.hasTime) {
                StoreMbf(record + 4, static_cast<float>(hour(random) * 10000 + sixty(random) * 100 +
                                                        sixty(random)));
            }
        }
        for (const BarReading reading : {BarReading::Corrected, BarReading::AsStored}) {
            const auto bars = DecodeMetaStockFile(image, layout, reading);
            ASSERT_TRUE(bars);
            ASSERT_EQ(bars->size(), records);
            for (std::size_t i = 0; i < records; ++i) {
                const std::uint8_t* record = image.data() + (i + 1) * length;
                int f = 1;
                PERIODE expected;
                if (layout.hasTime) {
                    const auto hhmmss = static_cast<std::int32_t>(LoadMbf(record + 4 * f++));
                    expected.secondsOfDay =
                        hhmmss / 10000 * 3600 + hhmmss / 100 % 100 * 60 + hhmmss % 100;
                }
                expected.open = hasOpen ? LoadMbf(record + 4 * f++) : 0.0f;
                expected.high = LoadMbf(record + 4 * f++);
                expected.low = LoadMbf(record + 4 * f++);
                expected.close = LoadMbf(record + 4 * f++);
                const double volume = LoadMbf(record + 4 * f);
                expected.dayNumber =
                    DayNumberOfStoredDate(LongDate::FromMbfPacked(record).OleDate());
                expected.sourcePos = static_cast<std::int32_t>(i);
                if (reading == BarReading::Corrected) {
                    expected.volume = std::fabs(volume) < 2147483648.0
                                          ? static_cast<std::int32_t>(std::fabs(volume))
                                          : 2147483647;
                    CorrectBar(expected);
                } else {
                    expected.volume = TruncateToInt32(volume);
                }
                ASSERT_EQ((*bars)[i], expected)
                    << fields << " fields, time " << time << ", record " << i;
            }
        }
    }
}

// Bars are encoded in groups in vector registers and one by one at the end:
// either way every field must be what the scalar definitions give, including
// zero, negative, denormal, huge, infinite and NaN prices, volumes beyond a
// float's integers, months left mid-group, and days outside LongDate's years.
TEST(MetaStockDataFileTest, EveryBarEncodesAsItsFieldsDefine) {
    std::mt19937 random(11);
    const float specials[] = {0.0f,
                              -0.0f,
                              -3.5f,
                              1e-40f,
                              3e38f,
                              -3e38f,
                              std::numeric_limits<float>::infinity(),
                              std::numeric_limits<float>::quiet_NaN(),
                              123.456f};
    std::uniform_int_distribution<int> pick(0, 15), special(0, 8), dayStep(0, 3);
    std::uniform_real_distribution<float> price(0.5f, 500.0f);
    std::uniform_int_distribution<std::int32_t> volume(-2147483647, 2147483647);
    std::uniform_int_distribution<std::int32_t> seconds(0, 86399);
    const auto value = [&] {
        return pick(random) == 0 ? specials[special(random)] : price(random);
    };
    // Missing prices take a negative close, and prices outside the day's range.
    PriceHistory bars = {
        Bar(Day(1, 12, 1969), 0, 0, -0.0f, -3.5f, 1), Bar(Day(2, 12, 1969), 0, -1, 0, -3.5f, 2),
        Bar(Day(3, 12, 1969), 9, 2, 1, 5, 3), Bar(Day(4, 12, 1969), 1, 2, 3, 0, 4)};
    std::int32_t day = Day(20, 12, 1969);
    for (int i = 0; i < 301; ++i) {
        day += dayStep(random);
        if (i == 150) {
            day = Day(25, 12, 2037); // on past the last LongDate year
        }
        PERIODE bar;
        bar.dayNumber = i == 9 ? 0 : day;
        bar.secondsOfDay = seconds(random);
        bar.open = value();
        bar.high = value();
        bar.low = value();
        bar.close = value();
        bar.volume = volume(random);
        bars.push_back(bar);
    }
    const std::vector<MetaStockLayout> layouts = {{5},       {6},       {7},      {8},
                                                  {6, true}, {7, true}, {8, true}};
    for (const MetaStockLayout& layout : layouts) {
        const int fields = layout.fieldCount;
        const auto image = EncodeMetaStockFile(bars, layout);
        ASSERT_TRUE(image);
        for (std::size_t i = 0; i < bars.size(); ++i) {
            PERIODE bar = bars[i];
            const DATUM date = DayNumberToDatum(bar.dayNumber);
            const LongDate packed =
                bar.dayNumber < 1 ? LongDate()
                                  : LongDate::FromCalendarDate(date.year, date.month, date.day);
            std::vector<std::uint32_t> expected = {
                packed.IsDate() ? FloatToMbfWord(packed.IeeePacked()) : 0u};
            if (layout.hasTime) {
                expected.push_back(FloatToMbfWord(MetaStockTimeField(bar.secondsOfDay)));
            }
            CorrectBar(bar);
            if (HasOpenField(layout)) {
                expected.push_back(FloatToMbfWord(bar.open));
            }
            for (const float f : {bar.high, bar.low, bar.close, static_cast<float>(bar.volume)}) {
                expected.push_back(FloatToMbfWord(f));
            }
            expected.resize(static_cast<std::size_t>(fields), 0u);
            std::vector<std::uint32_t> stored;
            for (int f = 0; f < fields; ++f) {
                stored.push_back(LoadLE32(image->data() + (i + 1) * 4 * fields + 4 * f));
            }
            ASSERT_EQ(stored, expected)
                << fields << " fields, time " << layout.hasTime << ", bar " << i;
        }
    }
}

PERIODE At(PERIODE bar, int hour, int minute) {
    bar.secondsOfDay = hour * 3600 + minute * 60;
    return bar;
}

TEST(MetaStockDataFileTest, IntradayLayoutsHoldTheTimeAfterTheDate) {
    const PriceHistory bars = {At(ThreeBars()[0], 9, 5), At(ThreeBars()[0], 9, 15),
                               At(ThreeBars()[1], 17, 35)};
    const auto seven = EncodeMetaStockFile(bars, {7, true});
    ASSERT_TRUE(seven);
    EXPECT_EQ(seven->size(), 4u * 28);
    EXPECT_EQ(Fields(*seven, 1, 7),
              (std::vector<float>{1050307, 90500, 10.5f, 11, 10.25f, 10.75f, 12345}));
    EXPECT_EQ(Fields(*seven, 3, 7),
              (std::vector<float>{1050308, 173500, 10.75f, 12, 10.5f, 11.5f, 20000}));
    const auto six = EncodeMetaStockFile(bars, {6, true});
    EXPECT_EQ(Fields(*six, 2, 6), (std::vector<float>{1050307, 91500, 11, 10.25f, 10.75f, 12345}));
    const auto eight = EncodeMetaStockFile(bars, {8, true});
    EXPECT_EQ(Fields(*eight, 1, 8),
              (std::vector<float>{1050307, 90500, 10.5f, 11, 10.25f, 10.75f, 12345, 0}));

    for (const MetaStockLayout layout : {MetaStockLayout(7, true), MetaStockLayout(8, true)}) {
        const auto back = DecodeMetaStockFile(*EncodeMetaStockFile(bars, layout), layout);
        ASSERT_TRUE(back);
        for (std::size_t i = 0; i < bars.size(); ++i) {
            PERIODE expected = bars[i];
            expected.sourcePos = static_cast<std::int32_t>(i);
            EXPECT_EQ((*back)[i], expected) << layout.fieldCount << " fields, bar " << i;
        }
    }
    // Read as a daily series, the same file would show the time as its open
    // (cut down to the high, which is the open's field).
    EXPECT_EQ((*DecodeMetaStockFile(*seven, 7))[0].high, 10.5f);
    EXPECT_EQ((*DecodeMetaStockFile(*seven, 7))[0].open, 10.5f);

    // Without a volume field an intraday record is no layout at all.
    EXPECT_FALSE(IsMetaStockLayout({5, true}));
    EXPECT_FALSE(EncodeMetaStockFile(bars, {5, true}));
    EXPECT_FALSE(DecodeMetaStockFile(*seven, {5, true}));
}

TEST(MetaStockDataFileTest, TimeFieldsAreTimesOfDayOrTheFileIsDamaged) {
    EXPECT_EQ(SecondsOfMetaStockTime(0.0f), 0);
    EXPECT_EQ(SecondsOfMetaStockTime(90500.0f), 9 * 3600 + 5 * 60);
    EXPECT_EQ(SecondsOfMetaStockTime(235959.0f), 86399);
    for (const float bad : {-100.0f, 240000.0f, 96000.0f, 90560.0f, 90500.5f, 1e30f}) {
        EXPECT_EQ(SecondsOfMetaStockTime(bad), -1) << bad;
    }
    EXPECT_EQ(MetaStockTimeField(0), 0.0f);
    EXPECT_EQ(MetaStockTimeField(86399), 235959.0f);

    // A damaged time in a group of four and in a record decoded alone.
    PriceHistory bars;
    for (int i = 0; i < 10; ++i) {
        bars.push_back(At(ThreeBars()[0], 9, i));
    }
    const auto image = *EncodeMetaStockFile(bars, {7, true});
    for (const std::size_t damaged : {std::size_t{2}, std::size_t{9}}) {
        ByteBuffer copy = image;
        StoreMbf(copy.data() + (damaged + 1) * 28 + 4, 96000.0f);
        EXPECT_FALSE(DecodeMetaStockFile(copy, {7, true})) << damaged;
        EXPECT_FALSE(DecodeMetaStockFile(copy, {7, true}, BarReading::AsStored)) << damaged;
    }
}

TEST(MetaStockDataFileTest, ReadAsStoredKeepsWhatTheCorrectionHides) {
    ByteBuffer image(3 * 28, 0);
    std::uint8_t* record = image.data() + 28;
    LongDate::FromCalendarDate(2005, 3, 7).StoreMbfPacked(record);
    const float stored[] = {0.0f, 9.0f, 11.0f, 10.0f, -500.0f}; // open 0, high < low
    for (int f = 0; f < 5; ++f) {
        StoreMbf(record + 4 * (f + 1), stored[f]);
    }
    std::memcpy(record + 28, record, 28);
    const auto raw = DecodeMetaStockFile(image, 7, BarReading::AsStored);
    ASSERT_TRUE(raw);
    ASSERT_EQ(raw->size(), 2u); // both paths: the second record is read alone
    EXPECT_EQ((*raw)[1].open, 0.0f);
    EXPECT_EQ((*raw)[1].high, 9.0f);
    EXPECT_EQ((*raw)[1].low, 11.0f);
    EXPECT_EQ((*raw)[1].volume, -500);
    const auto corrected = DecodeMetaStockFile(image, 7);
    EXPECT_EQ((*corrected)[1].open, 10.0f);
    EXPECT_EQ((*corrected)[1].high, 10.0f);
    EXPECT_EQ((*corrected)[1].volume, 500);
}

TEST(MetaStockDataFileTest, TrailingPartialRecordIsDropped) {
    auto image = *EncodeMetaStockFile(ThreeBars(), 7);
    image.resize(image.size() - 5);
    const auto bars = DecodeMetaStockFile(image, 7);
    ASSERT_TRUE(bars);
    ASSERT_EQ(bars->size(), 2u);
    EXPECT_EQ((*bars)[1].close, 11.5f);
}

TEST(MetaStockDataFileTest, RefusesWhatNoMetaStockFileCanHold) {
    EXPECT_FALSE(EncodeMetaStockFile(ThreeBars(), 4));
    EXPECT_FALSE(EncodeMetaStockFile(ThreeBars(), 9));
    EXPECT_FALSE(EncodeMetaStockFile(ThreeBars(), 0));
    EXPECT_FALSE(DecodeMetaStockFile(ByteBuffer(100, 0), 0));
    PriceHistory longest(kMaxMetaStockBars, Bar(Day(1, 1, 2000), 1, 1, 1, 1, 1));
    EXPECT_TRUE(EncodeMetaStockFile(longest, 7));
    longest.push_back(longest.back());
    EXPECT_FALSE(EncodeMetaStockFile(longest, 7));
    const ByteBuffer huge(20 * (kMaxMetaStockRecordsRead + 2), 0);
    EXPECT_FALSE(DecodeMetaStockFile(huge, 5));
}

TEST(MetaStockDataFileTest, DatesOutsideTheRangeAreStoredAsZero) {
    PriceHistory history = {Bar(Day(31, 12, 1969), 1, 1, 1, 1, 1), Bar(0, 1, 1, 1, 1, 1),
                            Bar(Day(1, 1, 2038), 1, 1, 1, 1, 1)};
    const auto image = EncodeMetaStockFile(history, 7);
    ASSERT_TRUE(image);
    for (std::size_t r = 1; r <= 3; ++r) {
        EXPECT_EQ(LoadLE32(image->data() + r * 28), 0u) << r;
    }
    const auto bars = DecodeMetaStockFile(*image, 7);
    for (const PERIODE& bar : *bars) {
        EXPECT_EQ(bar.dayNumber, 693960);
    }
}

TEST(MetaStockDataFileTest, WriterCorrectsBarsButNotTheHistory) {
    PriceHistory history = {Bar(Day(7, 3, 2005), 0, 0, 0, 12.5f, 5),
                            Bar(Day(8, 3, 2005), 12, 11, 9, 10, 5)};
    const auto image = EncodeMetaStockFile(history, 7);
    EXPECT_EQ(Fields(*image, 1, 7),
              (std::vector<float>{1050307, 12.5f, 12.5f, 12.5f, 12.5f, 5, 0}));
    EXPECT_EQ(Fields(*image, 2, 7), (std::vector<float>{1050308, 11, 11, 9, 10, 5, 0}));
    EXPECT_EQ(history[0].open, 0.0f);
}

TEST(MetaStockDataFileTest, VolumeIsTheMagnitudeAndSaturates) {
    ByteBuffer image(56, 0);
    const float a[7] = {1050307, 1, 1, 1, 1, -1234.75f, 0};
    const float b[7] = {1050308, 1, 1, 1, 1, 1e20f, 0};
    for (int f = 0; f < 7; ++f) {
        StoreMbf(image.data() + 28 + 4 * f, a[f]);
    }
    image.resize(84, 0);
    for (int f = 0; f < 7; ++f) {
        StoreMbf(image.data() + 56 + 4 * f, b[f]);
    }
    const auto bars = DecodeMetaStockFile(image, 7);
    ASSERT_EQ(bars->size(), 2u);
    EXPECT_EQ((*bars)[0].volume, 1234);
    EXPECT_EQ((*bars)[1].volume, 2147483647);
}

} // namespace
} // namespace mvr
