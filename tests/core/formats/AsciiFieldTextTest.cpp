// The date, time and number fields of ASCII lines against the library
// conversions they must agree with byte for byte: the bar's OLE date read
// back into calendar fields, fixed notation of the library, and the
// library's number reading.

#include "core/formats/AsciiDataFile.h"
#include "core/formats/AsciiFormat.h"
#include "core/formats/DayNumber.h"
#include "core/formats/Periode.h"
#include "core/platform/OleDate.h"
#include "support/CalendarDay.h"
#include "support/Sweep.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <limits>
#include <random>

namespace mvr {
namespace {

using test::Day;

// Every date and time layout in one line.
AsciiFormatInfo AllDateColumns(char dateSeparator, char timeSeparator) {
    AsciiFormatInfo layout;
    layout.dateSeparator = dateSeparator;
    layout.timeSeparator = timeSeparator;
    for (std::int32_t format = kFormatYearMonthDay; format <= kFormatHourMinuteAlt; ++format) {
        layout.AddColumn(format % 2 == 0 ? kColumnDate : kColumnTime, format);
    }
    return layout;
}

// The line as the bar's OLE date shows it, printed by the C library.
std::string ExpectedDateLine(std::int32_t dayNumber, std::int32_t secondsOfDay, char ds, char ts) {
    PERIODE bar;
    bar.dayNumber = dayNumber;
    bar.secondsOfDay = secondsOfDay;
    SystemTime t;
    if (!VariantTimeToSystemTime(BarOleDate(bar), &t)) {
        t = SystemTime{};
    }
    const std::string d = ds != 0 ? std::string(1, ds) : std::string();
    const std::string s = ts != 0 ? std::string(1, ts) : std::string();
    const int y = t.year;
    const int m = t.month;
    const int dd = t.day;
    char text[200];
    std::snprintf(text, sizeof text,
                  "%4d%s%02d%s%02d,%02d%s%02d%s%4d,%02d%s%02d%s%4d,%02d%s%02d%s%02d,"
                  "%02d%s%02d%s%02d,%02d%s%02d%s%02d,%02d%s%02d,%02d%s%02d\r\n",
                  y, d.c_str(), m, d.c_str(), dd, dd, d.c_str(), m, d.c_str(), y, m, d.c_str(), dd,
                  d.c_str(), y, y % 100, d.c_str(), m, d.c_str(), dd, dd, d.c_str(), m, d.c_str(),
                  y % 100, t.hour, s.c_str(), t.minute, s.c_str(), t.second, t.hour, s.c_str(),
                  t.minute, t.hour, s.c_str(), t.minute);
    return text;
}

std::string FormattedLine(const AsciiFormatInfo& layout, const AsciiLineRecord& record) {
    std::string out;
    layout.FormatLine(out, record);
    return out;
}

TEST(AsciiFieldTextTest, DateColumnsShowWhatTheOleDateShows) {
    std::vector<std::int32_t> days = {0,
                                      DAY_NUMBER_INVALID,
                                      -1,
                                      1,
                                      std::numeric_limits<std::int32_t>::max(),
                                      std::numeric_limits<std::int32_t>::min()};
    // The ends of the OLE range (1.1.100 and 31.12.9999), its epoch, the
    // century turns and the two-digit-year window 1950..2049.
    for (const std::int32_t anchor :
         {Day(1, 1, 100), Day(31, 12, 9999), kOleEpochDayNumber, Day(1, 1, 1900), Day(1, 1, 1950),
          Day(1, 1, 2000), Day(1, 1, 2050)}) {
        for (std::int32_t d = anchor - 400; d <= anchor + 400; ++d) {
            days.push_back(d);
        }
    }
    for (const std::size_t i : test::SweepPoints(3652500 / 7)) {
        days.push_back(static_cast<std::int32_t>(i * 7));
    }
    std::mt19937 random(11);
    std::uniform_int_distribution<std::int32_t> anySecond(1, 86399);
    const std::pair<char, char> separators[] = {{0, 0}, {'-', ':'}, {'/', '.'}};
    for (const std::int32_t day : days) {
        for (const std::int32_t seconds : {0, anySecond(random), 1, 86399, 86400, -1}) {
            AsciiLineRecord record;
            record.dayNumber = day;
            record.secondsOfDay = seconds;
            const auto& [ds, ts] = separators[static_cast<std::uint32_t>(day) % 3];
            ASSERT_EQ(FormattedLine(AllDateColumns(ds, ts), record),
                      ExpectedDateLine(day, seconds, ds, ts))
                << "day " << day << " seconds " << seconds;
        }
    }
}

TEST(AsciiFieldTextTest, EveryDayOfTheTwoDigitYearWindowIsReadBack) {
    PriceHistory history;
    for (std::int32_t day = Day(1, 1, 1950); day <= Day(31, 12, 2049); ++day) {
        PERIODE bar;
        bar.dayNumber = day;
        bar.open = bar.high = bar.low = bar.close = 1.0f;
        history.push_back(bar);
    }
    for (const int type : {kFormatAsciiComma, kFormatAsciiTab, kFormatAsciiExcelComma,
                           kFormatAsciiExcelPoint, kFormatAsciiCommaLongYear}) {
        const std::string text = EncodeAsciiFile(history, type);
        const auto read = DecodeAsciiFile(
            std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()), type);
        ASSERT_TRUE(read) << type;
        ASSERT_EQ(read->size(), history.size()) << type;
        for (std::size_t i = 0; i < history.size(); ++i) {
            ASSERT_EQ((*read)[i].dayNumber, history[i].dayNumber) << type << " bar " << i;
        }
    }
}

// Fixed notation by the library, the decimal character for the point.
std::string ExpectedDecimal(float value, int decimals, char decimalChar) {
    char text[400];
    const auto end = std::to_chars(text, text + sizeof text, static_cast<double>(value),
                                   std::chars_format::fixed, decimals)
                         .ptr;
    std::string expected(text, end);
    std::replace(expected.begin(), expected.end(), '.', decimalChar != 0 ? decimalChar : '.');
    return expected + "\r\n";
}

std::vector<float> EdgeFloats() {
    std::vector<float> values = {0.0f,
                                 -0.0f,
                                 0.0005f,
                                 -0.0005f,
                                 0.0004999f,
                                 9.9995f,
                                 999999.9f,
                                 16777216.0f,
                                 9007199254740992.0f,
                                 std::numeric_limits<float>::max(),
                                 -std::numeric_limits<float>::max(),
                                 std::numeric_limits<float>::min(),
                                 std::numeric_limits<float>::denorm_min(),
                                 std::numeric_limits<float>::infinity(),
                                 -std::numeric_limits<float>::infinity(),
                                 std::numeric_limits<float>::quiet_NaN()};
    // Exact halves at the last place: rounded half to even.
    for (int k = -300; k <= 300; ++k) {
        values.push_back(static_cast<float>(k) / 16.0f);
        values.push_back(static_cast<float>(k) / 1024.0f);
        values.push_back(static_cast<float>(k) + 0.5f);
    }
    // Any bit pattern: every magnitude and sign.
    std::mt19937 random(5);
    for (int i = 0; i < 4000; ++i) {
        values.push_back(std::bit_cast<float>(static_cast<std::uint32_t>(random())));
    }
    // Prices as they occur, around every power of ten.
    std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
    for (int i = 0; i < 4000; ++i) {
        values.push_back(unit(random) * std::pow(10.0f, static_cast<float>(i % 16 - 4)));
    }
    return values;
}

TEST(AsciiFieldTextTest, DecimalColumnsMatchTheLibrarysFixedNotation) {
    const std::vector<float> values = EdgeFloats();
    for (const char decimalChar : {'.', ',', '\0'}) {
        for (int decimals = -2; decimals <= 17; ++decimals) {
            AsciiFormatInfo layout;
            layout.decimalChar = decimalChar;
            layout.decimals = decimals;
            layout.AddColumn(kColumnClose, kFormatDecimal);
            const int places = std::clamp(decimals, 0, 15);
            for (const float value : values) {
                AsciiLineRecord record;
                record.close = value;
                ASSERT_EQ(FormattedLine(layout, record),
                          ExpectedDecimal(value, places, decimalChar))
                    << value << " with " << decimals << " decimals";
            }
        }
    }
}

TEST(AsciiFieldTextTest, VolumesAsDecimalsAndIntegersAtTheirEdges) {
    AsciiFormatInfo layout;
    layout.decimals = 2;
    layout.AddColumn(kColumnVolume, kFormatDecimal);
    layout.AddColumn(kColumnVolume, kFormatInteger);
    for (const std::int32_t volume : {0, -1, 16777217, std::numeric_limits<std::int32_t>::max(),
                                      std::numeric_limits<std::int32_t>::min()}) {
        AsciiLineRecord record;
        record.volume = volume;
        const std::string decimal = ExpectedDecimal(static_cast<float>(volume), 2, '.');
        EXPECT_EQ(FormattedLine(layout, record),
                  decimal.substr(0, decimal.size() - 2) + "," + std::to_string(volume) + "\r\n");
    }
}

// What the library reads from the token: the decimal character stands for
// the point, a leading '+' is skipped, trailing characters are ignored.
std::optional<double> ExpectedValue(std::string token, char decimalChar) {
    token = token.substr(0, 63);
    if (decimalChar != '.') {
        const std::size_t point = token.find(decimalChar);
        if (point != std::string::npos) {
            token[point] = '.';
        }
    }
    const char* begin = token.data();
    if (!token.empty() && *begin == '+') {
        ++begin;
    }
    double value = 0.0;
    const auto result = std::from_chars(begin, token.data() + token.size(), value);
    if (result.ec != std::errc{} || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

// A price is kept in single precision.
std::optional<float> ExpectedNumber(const std::string& token, char decimalChar) {
    const std::optional<double> value = ExpectedValue(token, decimalChar);
    return value ? std::optional<float>(static_cast<float>(*value)) : std::nullopt;
}

std::vector<std::string> NumberTokens(char decimalChar) {
    std::vector<std::string> tokens = {"0",
                                       "-0",
                                       "+0",
                                       "00001.50000",
                                       "1.",
                                       ".5",
                                       "-.5",
                                       ".",
                                       "-",
                                       "+",
                                       "+-1",
                                       "-+1",
                                       "1.5.3",
                                       "1e3",
                                       "1E-3",
                                       "1e",
                                       "1.e5",
                                       "inf",
                                       "nan",
                                       "-infinity",
                                       "1e999",
                                       "0x10",
                                       "9007199254740992",
                                       "9007199254740993",
                                       "9007199254740993.0",
                                       "1234567890123456789",
                                       "12345678901234567890",
                                       "0.1234567890123456789",
                                       "3.4028235e38",
                                       "340282356779733661637539395458142568448",
                                       "1" + std::string(70, '0'),
                                       "0." + std::string(70, '0') + "1",
                                       "0.000000000000000000001",
                                       "2147483648",
                                       "-2147483649"};
    std::mt19937 random(3);
    const std::string alphabet = std::string("0123456789+-eE.") + decimalChar;
    std::uniform_int_distribution<std::size_t> letter(0, alphabet.size() - 1);
    std::uniform_int_distribution<std::size_t> length(1, 24);
    for (int i = 0; i < 20000; ++i) {
        std::string token(length(random), '0');
        for (char& c : token) {
            c = i % 2 == 0 ? alphabet[letter(random)] : static_cast<char>('0' + random() % 10);
        }
        if (i % 2 == 1) {
            token[random() % token.size()] = decimalChar; // digits with one point
        }
        tokens.push_back(token);
    }
    std::uniform_real_distribution<double> any(-1e7, 1e7);
    for (int i = 0; i < 5000; ++i) {
        char text[64];
        std::snprintf(text, sizeof text, "%.*f", i % 20, any(random) / std::pow(10.0, i % 9));
        tokens.push_back(text);
    }
    return tokens;
}

TEST(AsciiFieldTextTest, PricesAreReadAsTheLibraryReadsThem) {
    for (const int type : {kFormatAsciiComma, kFormatAsciiExcelComma}) {
        const AsciiFormatInfo layout = AsciiFormatInfo::ForFormatType(type);
        const char point = layout.decimalChar;
        const std::string date = type == kFormatAsciiComma ? "050307" : "07-03-05";
        const std::string sep(1, layout.columnSeparator);
        for (const std::string& token : NumberTokens(point)) {
            AsciiLineRecord record;
            const bool read = layout.ParseLine(
                date + sep + token + sep + "1" + sep + "1" + sep + "1" + sep + token, record);
            const std::optional<float> expected = ExpectedNumber(token, point);
            ASSERT_EQ(read, expected.has_value()) << token;
            if (read) {
                ASSERT_EQ(std::bit_cast<std::uint32_t>(record.open),
                          std::bit_cast<std::uint32_t>(*expected))
                    << token;
                // A volume is a whole number: no single-precision step on the way.
                ASSERT_EQ(record.volume, TruncateToInt32(*ExpectedValue(token, point))) << token;
            }
        }
    }
}

} // namespace
} // namespace mvr
