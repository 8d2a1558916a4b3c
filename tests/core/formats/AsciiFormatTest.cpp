#include "core/formats/AsciiFormat.h"

#include "core/formats/AsciiDataFile.h"
#include "core/formats/DayNumber.h"
#include "support/CalendarDay.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <random>

namespace mvr {
namespace {

using test::Day;

AsciiLineRecord SampleRecord() {
    AsciiLineRecord record;
    record.dayNumber = Day(7, 3, 2005);
    record.open = 10.5f;
    record.high = 11.0f;
    record.low = 10.25f;
    record.close = 10.75f;
    record.volume = 12345;
    return record;
}

std::string Line(int type, const AsciiLineRecord& record) {
    std::string out = "kept:";
    const std::size_t length = AsciiFormatInfo::ForFormatType(type).FormatLine(out, record);
    EXPECT_EQ(length + 5, out.size());
    return out.substr(5);
}

TEST(AsciiFormatTest, ResetAndBuiltInLayouts) {
    AsciiFormatInfo layout;
    layout.BuildForFormatType(10);
    layout.Reset();
    EXPECT_EQ(layout.decimalChar, '.');
    EXPECT_EQ(layout.dateSeparator, 0);
    EXPECT_EQ(layout.columnSeparator, ',');
    EXPECT_EQ(layout.decimals, 4);
    EXPECT_EQ(layout.layoutName, "default");
    EXPECT_EQ(layout.formatType, kFormatNotSet);
    EXPECT_TRUE(layout.columns.empty());

    const std::vector<ASCIICOLINFO> prices = {{3, 9}, {5, 9}, {4, 9}, {6, 9}, {7, 10}};
    auto withDate = [&](std::vector<ASCIICOLINFO> head) {
        head.insert(head.end(), prices.begin(), prices.end());
        return head;
    };
    EXPECT_EQ(AsciiFormatInfo::ForFormatType(5).columns, withDate({{1, 4}}));
    EXPECT_EQ(AsciiFormatInfo::ForFormatType(9).columns, withDate({{1, 4}}));
    EXPECT_EQ(AsciiFormatInfo::ForFormatType(10).columns, withDate({{1, 5}}));
    EXPECT_EQ(AsciiFormatInfo::ForFormatType(11).columns, withDate({{1, 5}}));
    EXPECT_EQ(AsciiFormatInfo::ForFormatType(15).columns, withDate({{1, 1}}));
    EXPECT_EQ(AsciiFormatInfo::ForFormatType(17).columns, withDate({{1, 1}}));
    EXPECT_EQ(AsciiFormatInfo::ForFormatType(21).columns, withDate({{1, 1}, {1, 6}}));
    EXPECT_EQ(AsciiFormatInfo::ForFormatType(13).columns, prices);
    EXPECT_EQ(AsciiFormatInfo::ForFormatType(14).columns, prices);
    const auto excel = AsciiFormatInfo::ForFormatType(10);
    EXPECT_EQ(excel.columnSeparator, '\t');
    EXPECT_EQ(excel.decimalChar, ',');
    EXPECT_EQ(excel.dateSeparator, '-');
    EXPECT_EQ(excel.decimals, 3);
    EXPECT_EQ(excel.formatType, 10);
    EXPECT_EQ(AsciiFormatInfo::ForFormatType(11).dateSeparator, '/');
}

TEST(AsciiFormatTest, LinesOfEveryWritableType) {
    const AsciiLineRecord r = SampleRecord();
    EXPECT_EQ(Line(5, r), "050307,10.500,11.000,10.250,10.750,12345\r\n");
    EXPECT_EQ(Line(9, r), "050307\t10.500\t11.000\t10.250\t10.750\t12345\r\n");
    EXPECT_EQ(Line(10, r), "07-03-05\t10,500\t11,000\t10,250\t10,750\t12345\r\n");
    EXPECT_EQ(Line(11, r), "07/03/05\t10.500\t11.000\t10.250\t10.750\t12345\r\n");
    EXPECT_EQ(Line(15, r), "20050307,10.500,11.000,10.250,10.750,12345\r\n");
    EXPECT_EQ(Line(17, r), "20050307,10.500,11.000,10.250,10.750,12345\r\n");
    EXPECT_EQ(Line(13, r), "10.500,11.000,10.250,10.750,12345\r\n");
    AsciiLineRecord intraday = r;
    intraday.secondsOfDay = 14 * 3600 + 30 * 60;
    EXPECT_EQ(Line(21, intraday), "20050307,143000,10.500,11.000,10.250,10.750,12345\r\n");
}

TEST(AsciiFormatTest, ColumnFormatsNotUsedByTheBuiltInLayouts) {
    AsciiFormatInfo layout;
    layout.dateSeparator = '.';
    layout.timeSeparator = ':';
    layout.decimals = 2;
    layout.AddColumn(kColumnText, kFormatTextAsIs);
    layout.AddColumn(kColumnDate, kFormatDayMonthYear);
    layout.AddColumn(kColumnTime, kFormatMonthDayYear);
    layout.AddColumn(kColumnTime, kFormatHourMinute);
    layout.AddColumn(kColumnTime, kFormatHourMinuteSecond);
    layout.AddColumn(kColumnClose, kFormatInteger);
    layout.AddColumn(kColumnVolume, kFormatDecimal);
    layout.AddColumn(99, kFormatDecimal); // a kind without a value: only its separator
    AsciiLineRecord r = SampleRecord();
    r.text = "a text longer than sixteen";
    r.secondsOfDay = 9 * 3600 + 5 * 60 + 7;
    std::string out;
    layout.FormatLine(out, r);
    EXPECT_EQ(out, "a text longer t,07.03.2005,03.07.2005,09:05,09:05:07,10,12345.00,\r\n");
}

TEST(AsciiFormatTest, AWholeNumberPriceColumnCutsTowardsZeroAndSaturates) {
    AsciiFormatInfo layout;
    layout.AddColumn(kColumnClose, kFormatInteger);
    const std::pair<float, const char*> cases[] = {
        {10.9f, "10"},
        {-10.9f, "-10"},
        {std::numeric_limits<float>::quiet_NaN(), "0"},
        {1e12f, "2147483647"},
        {-std::numeric_limits<float>::infinity(), "-2147483647"},
    };
    for (const auto& [close, text] : cases) {
        AsciiLineRecord r = SampleRecord();
        r.close = close;
        std::string out;
        layout.FormatLine(out, r);
        EXPECT_EQ(out, std::string(text) + "\r\n") << close;
    }
}

TEST(AsciiFormatTest, ParsesTheLinesItWrites) {
    const AsciiLineRecord sample = SampleRecord();
    for (int type : {5, 9, 10, 11, 15, 17}) {
        AsciiLineRecord parsed;
        ASSERT_TRUE(AsciiFormatInfo::ForFormatType(type).ParseLine(Line(type, sample), parsed))
            << type;
        EXPECT_EQ(parsed.dayNumber, sample.dayNumber) << type;
        EXPECT_EQ(parsed.secondsOfDay, 0) << type;
        EXPECT_EQ(parsed.open, sample.open);
        EXPECT_EQ(parsed.high, sample.high);
        EXPECT_EQ(parsed.low, sample.low);
        EXPECT_EQ(parsed.close, sample.close);
        EXPECT_EQ(parsed.volume, sample.volume);
    }
}

TEST(AsciiFormatTest, ParseLineToleratesWhatOtherProgramsWrite) {
    const auto comma = AsciiFormatInfo::ForFormatType(5);
    AsciiLineRecord r;
    ASSERT_TRUE(comma.ParseLine("050307,,10.5,11,10.25,10.75\n", r));
    EXPECT_EQ(r.open, 10.5f);
    EXPECT_EQ(r.high, 11.0f);
    EXPECT_EQ(r.low, 10.25f);
    EXPECT_EQ(r.close, 10.75f);
    EXPECT_EQ(r.volume, 0); // no volume column: 0, never the previous line's
    ASSERT_TRUE(comma.ParseLine("050307, 1, +2 ,3,4,1234.7\r\n", r));
    EXPECT_EQ(r.high, 2.0f);
    EXPECT_EQ(r.volume, 1234);
    ASSERT_TRUE(comma.ParseLine("050307,1,2,3,4,n/a", r));
    EXPECT_EQ(r.volume, 0);

    const auto excel = AsciiFormatInfo::ForFormatType(10);
    ASSERT_TRUE(excel.ParseLine("07-03-05\t10,500\t11\t10\t10,75", r));
    EXPECT_EQ(r.open, 10.5f);
    EXPECT_EQ(r.close, 10.75f);
    EXPECT_EQ(r.dayNumber, Day(7, 3, 2005));
    ASSERT_TRUE(excel.ParseLine("7/3/2005\t1\t1\t1\t1", r));
    EXPECT_EQ(r.dayNumber, Day(7, 3, 2005));
}

// Lines in the form this system writes are read in one pass, every other line
// field by field: a written line and its variants (blanks, empty and extra
// fields, signs, exponents, digit runs too long for the quick way) must give
// the same values either way.
TEST(AsciiFormatTest, WrittenLinesAndTheirVariantsReadAlike) {
    struct Case {
        int type;
        const char* written;
        std::vector<const char*> variants;
    };
    const std::vector<Case> cases = {
        {5,
         "050307,10.500,11.000,10.250,10.750,12345",
         {" 050307,10.500,11.000,10.250,10.750,12345", "050307,,10.5,11,10.25,10.75,12345,",
          "050307,1.05e1,+11.000,10.250 ,10.750,12345.9", "050307,10.5,11,10.25,10.75,12345,9,9",
          "050307x,10.5,11,10.25,10.75,12345\r\n"}},
        {5,
         "1050307,-0.5,0.25,-1.125,0,0",
         {"1050307,-.5,+.25,-1.125e0,-0,0", "20050307,-0.5,0.25,-1.125,0"}},
        {5,
         "050307,10.5,11,10.25,10.75",
         {"050307,10.5,11,10.25,10.75,n/a", "050307,10.5,11,10.25,10.75,\t"}},
        {5,
         "050307,12345678901234567890,1,1,1,99999999999",
         {"050307,1.2345678901234567890e19,1,1,1,1e11",
          "050307,12345678901234567890.0,1,1,1,99999999999"}},
        {10,
         "07-03-05\t10,500\t11,000\t10,250\t10,750\t12345",
         {"7-3-05\t10,5\t11\t10,25\t10,75\t12345 ", "07-03-05\t\t10.5\t11\t10.25\t10.75\t12345"}},
        {21,
         "20050307,093000,1.000,2.000,0.500,1.500,7",
         {"20050307, 93000 ,1,2,0.5,1.5,7", "20050307,93000,1,2,0.5,1.5,7.5,x"}},
    };
    for (const Case& c : cases) {
        const auto layout = AsciiFormatInfo::ForFormatType(c.type);
        AsciiLineRecord written;
        ASSERT_TRUE(layout.ParseLine(c.written, written)) << c.written;
        for (const char* variant : c.variants) {
            AsciiLineRecord r;
            ASSERT_TRUE(layout.ParseLine(variant, r)) << variant;
            EXPECT_EQ(r.dayNumber, written.dayNumber) << variant;
            EXPECT_EQ(r.secondsOfDay, written.secondsOfDay) << variant;
            EXPECT_EQ(r.open, written.open) << variant;
            EXPECT_EQ(r.high, written.high) << variant;
            EXPECT_EQ(r.low, written.low) << variant;
            EXPECT_EQ(r.close, written.close) << variant;
            EXPECT_EQ(r.volume, written.volume) << variant;
        }
    }
    AsciiLineRecord r;
    const auto comma = AsciiFormatInfo::ForFormatType(5);
    ASSERT_TRUE(comma.ParseLine("19991231,1,2,3,4,5", r));
    EXPECT_EQ(r.dayNumber, Day(31, 12, 1999));
    ASSERT_TRUE(comma.ParseLine("991231,-1.25,2,3,4,-5.9", r));
    EXPECT_EQ(r.dayNumber, Day(31, 12, 1999));
    EXPECT_EQ(r.open, -1.25f);
    EXPECT_EQ(r.volume, -5);
}

TEST(AsciiFormatTest, ParseLineRejectsLinesWithoutADateAndFourPrices) {
    const auto comma = AsciiFormatInfo::ForFormatType(5);
    AsciiLineRecord r;
    for (const char* line :
         {"", "\n", "Date,Open,High,Low,Close,Volume", "050307,1,2,3", "050307,1,2,x,4",
          "050307,1,2,3,inf", "050332,1,2,3,4", "05037,1,2,3,4", "200503071,1,2,3,4",
          "10.500,11.000,10.250,10.750,5", "050307,1,2,3,1e999"}) {
        EXPECT_FALSE(comma.ParseLine(line, r)) << line;
    }
    const auto intraday = AsciiFormatInfo::ForFormatType(21);
    EXPECT_FALSE(intraday.ParseLine("20050307,1,2,3,4", r));        // no time token
    EXPECT_FALSE(intraday.ParseLine("20050307,250000,1,2,3,4", r)); // no such hour
    ASSERT_TRUE(intraday.ParseLine("20050307,93000,1,2,3,4,5", r));
    EXPECT_EQ(r.dayNumber, Day(7, 3, 2005));
    EXPECT_EQ(r.secondsOfDay, 9 * 3600 + 30 * 60);
}

TEST(AsciiFormatTest, DateMasks) {
    const std::int32_t day = Day(7, 3, 2005);
    EXPECT_EQ(ParseDateMask("?md", "050307"), day);
    EXPECT_EQ(ParseDateMask("?md", "20050307"), day);
    EXPECT_EQ(ParseDateMask("?md", "1050307"), day);
    EXPECT_EQ(ParseDateMask("?md", "490101"), Day(1, 1, 2049));
    EXPECT_EQ(ParseDateMask("?md", "500101"), Day(1, 1, 1950));
    EXPECT_EQ(ParseDateMask("D-M-Y", "07-03-05"), day);
    EXPECT_EQ(ParseDateMask("D-M-Y", "7/3/2005"), day);
    EXPECT_EQ(ParseDateMask("ymd", "050307"), day);
    EXPECT_EQ(ParseDateMask("dmy", " 7 305"), day);
    // Four-digit years stand for themselves, also outside 1970..2037.
    EXPECT_EQ(ParseDateMask("?md", "19650412"), Day(12, 4, 1965));
    EXPECT_EQ(ParseDateMask("?md", "20410101"), Day(1, 1, 2041));
    EXPECT_EQ(ParseDateMask("D-M-Y", "1.2.1960"), Day(1, 2, 1960));
    for (const char* text : {"05030", "200503071", "", "0503x7", "050230", "051307"}) {
        EXPECT_FALSE(ParseDateMask("?md", text)) << text;
    }
    EXPECT_FALSE(ParseDateMask("D-M-Y", "-3-05"));
    EXPECT_FALSE(ParseDateMask("D-M-Y", "07-03"));
    EXPECT_FALSE(ParseDateMask("D-M-Y", "7/3/1850")); // neither a two-digit year nor a full one
    EXPECT_FALSE(ParseDateMask("dmy", "x70305"));
}

TEST(AsciiFormatTest, TimesOfDay) {
    EXPECT_EQ(ParseTimeText("143000"), 14 * 3600 + 30 * 60);
    EXPECT_EQ(ParseTimeText("93000"), 9 * 3600 + 30 * 60);
    EXPECT_EQ(ParseTimeText("930"), 0);
    EXPECT_EQ(ParseTimeText(""), 0);
    EXPECT_EQ(ParseTimeText("1430009"), 14 * 3600 + 30 * 60);
    EXPECT_EQ(ParseTimeText("235959"), 86399);
    EXPECT_FALSE(ParseTimeText("240000"));
    EXPECT_FALSE(ParseTimeText("126000"));
    EXPECT_FALSE(ParseTimeText("95960"));
}

// Histories of n bars written in a type and read back: prices to 3 decimals,
// two-digit years within 1950..2049.
PriceHistory RandomHistory(std::size_t n, int firstYear, int lastYear, bool intraday,
                           unsigned seed) {
    std::mt19937 random(seed);
    const std::int32_t first = DatumToDayNumber(DATUM{1, 1, static_cast<std::uint16_t>(firstYear)});
    const std::int32_t last = DatumToDayNumber(DATUM{31, 12, static_cast<std::uint16_t>(lastYear)});
    std::uniform_int_distribution<std::int32_t> days(first, last);
    std::uniform_real_distribution<float> prices(0.001f, 50000.0f);
    // Volumes travel as single-precision numbers when read: exact up to 2^24.
    std::uniform_int_distribution<std::int32_t> volumes(0, 16777216);
    std::uniform_int_distribution<std::int32_t> seconds(1, 86399);
    PriceHistory history;
    for (std::size_t i = 0; i < n; ++i) {
        PERIODE bar;
        bar.dayNumber = days(random);
        bar.secondsOfDay = intraday ? seconds(random) : 0;
        bar.low = prices(random);
        bar.high = bar.low + prices(random) / 10;
        bar.open = bar.low + (bar.high - bar.low) / 3;
        bar.close = bar.low + (bar.high - bar.low) / 2;
        bar.volume = volumes(random);
        history.push_back(bar);
    }
    return history;
}

void ExpectSameBars(const PriceHistory& written, const PriceHistory& read, int type) {
    ASSERT_EQ(read.size(), written.size()) << type;
    for (std::size_t i = 0; i < written.size(); ++i) {
        const PERIODE& w = written[i];
        const PERIODE& r = read[i];
        ASSERT_EQ(r.dayNumber, w.dayNumber) << type << " bar " << i;
        ASSERT_EQ(r.secondsOfDay, w.secondsOfDay) << type << " bar " << i;
        for (const auto& [a, b] : {std::pair{w.open, r.open}, std::pair{w.high, r.high},
                                   std::pair{w.low, r.low}, std::pair{w.close, r.close}}) {
            ASSERT_NEAR(a, b, 0.0005 + std::fabs(a) * 1e-7) << type << " bar " << i;
        }
        ASSERT_EQ(r.volume, w.volume);
        ASSERT_EQ(r.isNew, 0);
    }
}

TEST(AsciiDataFileTest, EveryWritableTypeRoundTrips) {
    struct Case {
        int type;
        int firstYear;
        int lastYear;
    };
    for (const Case c :
         {Case{5, 1950, 2049}, Case{9, 1950, 2049}, Case{10, 1950, 2049}, Case{11, 1950, 2049},
          Case{15, 1900, 2999}, Case{17, 1900, 2999}, Case{21, 1900, 2999}}) {
        const PriceHistory history = RandomHistory(500, c.firstYear, c.lastYear, c.type == 21,
                                                   static_cast<unsigned>(c.type));
        const std::string text = EncodeAsciiFile(history, c.type);
        const auto read =
            DecodeAsciiFile(std::span<const std::uint8_t>(
                                reinterpret_cast<const std::uint8_t*>(text.data()), text.size()),
                            c.type);
        ASSERT_TRUE(read) << c.type;
        ExpectSameBars(history, *read, c.type);
        // Each bar names the offset of its line.
        std::size_t offset = 0;
        for (const PERIODE& bar : *read) {
            ASSERT_EQ(bar.sourcePos, static_cast<std::int32_t>(offset));
            offset = text.find('\n', offset) + 1;
        }
    }
}

TEST(AsciiDataFileTest, TwoDigitYearsWrapOutsideTheirCentury) {
    PriceHistory history = RandomHistory(2, 2000, 2000, false, 1);
    history[0].dayNumber = DatumToDayNumber(DATUM{1, 1, 2050});
    history[1].dayNumber = DatumToDayNumber(DATUM{1, 1, 1949});
    const std::string text = EncodeAsciiFile(history, 5);
    const auto read =
        DecodeAsciiFile(std::span<const std::uint8_t>(
                            reinterpret_cast<const std::uint8_t*>(text.data()), text.size()),
                        5);
    ASSERT_EQ(read->size(), 2u);
    EXPECT_EQ((*read)[0].dayNumber, DatumToDayNumber(DATUM{1, 1, 1950}));
    EXPECT_EQ((*read)[1].dayNumber, DatumToDayNumber(DATUM{1, 1, 2049}));
}

std::optional<PriceHistory> Decode(const std::string& text, int type) {
    return DecodeAsciiFile(std::span<const std::uint8_t>(
                               reinterpret_cast<const std::uint8_t*>(text.data()), text.size()),
                           type);
}

// The reader carries a line's month on to the next line: a day that month
// does not have is still no date, and the next year's same month is entered
// anew.
TEST(AsciiDataFileTest, LinesOfOneMonthKeepTheCalendarsDays) {
    const auto bars = Decode("050227,1,1,1,1,5\r\n050228,1,1,1,1\r\n050229,1,1,1,1,5\r\n"
                             "060228,1,1,1,1,5\r\n080229,1,1,1,1,5\r\n080230,1,1,1,1,5\r\n"
                             "080400,1,1,1,1,5\r\n080430,1,1,1,1,5\r\n080431,1,1,1,1,5\r\n",
                             5);
    ASSERT_TRUE(bars);
    std::vector<std::int32_t> days;
    std::vector<std::int32_t> volumes;
    for (const PERIODE& bar : *bars) {
        days.push_back(bar.dayNumber);
        volumes.push_back(bar.volume);
    }
    EXPECT_EQ(days, (std::vector<std::int32_t>{Day(27, 2, 2005), Day(28, 2, 2005), Day(28, 2, 2006),
                                               Day(29, 2, 2008), Day(30, 4, 2008)}));
    // A line without a volume reads 0 after one with a volume.
    EXPECT_EQ(volumes, (std::vector<std::int32_t>{5, 0, 5, 5, 5}));
}

TEST(AsciiDataFileTest, SkipsLinesThatAreNoBarsAndCorrectsTheRest) {
    const auto bars = Decode("Date,Open,High,Low,Close\r\n\r\n050307,0,0,0,12.5,7\r\n" +
                                 std::string(300, '9') + "\r\n050308,10,9,11,10",
                             5);
    ASSERT_TRUE(bars);
    ASSERT_EQ(bars->size(), 2u);
    EXPECT_EQ((*bars)[0].open, 12.5f);
    EXPECT_EQ((*bars)[0].low, 12.5f);
    EXPECT_EQ((*bars)[0].sourcePos, 28);
    EXPECT_EQ((*bars)[1].high, 10.0f);
    EXPECT_EQ((*bars)[1].low, 10.0f);
    EXPECT_TRUE(Decode("", 5)->empty());
    EXPECT_TRUE(Decode("\r\n \r\n", 5)->empty());
}

TEST(AsciiDataFileTest, AFileWithoutOneBarLineIsNotThisFormats) {
    EXPECT_FALSE(Decode("Date,Open,High,Low,Close\r\n", 5));
    // Types 13 and 14 write no date, so their files cannot be read back.
    const PriceHistory history = RandomHistory(3, 2000, 2001, false, 2);
    EXPECT_FALSE(Decode(EncodeAsciiFile(history, 13), 13));
    EXPECT_FALSE(Decode(EncodeAsciiFile(history, 14), 14));
    // A file of another layout (tab-separated read as comma-separated).
    EXPECT_FALSE(Decode(EncodeAsciiFile(history, 9), 5));
}

} // namespace
} // namespace mvr
