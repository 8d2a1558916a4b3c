#include "core/formats/DayNumber.h"
#include "server/CsvText.h"
#include "server/FieldText.h"
#include "server/Isin.h"
#include "server/KeyValueText.h"
#include "server/PriceBars.h"

#include <gtest/gtest.h>

namespace mvr {
namespace {

TEST(PriceTextTest, ReadsUpToTheDecimalPlacesAsUnits) {
    EXPECT_EQ(ParsePriceUnits("12.5", 2, kMaxPriceUnits), 1250);
    EXPECT_EQ(ParsePriceUnits("12", 2, kMaxPriceUnits), 1200);
    EXPECT_EQ(ParsePriceUnits("0.001", 3, kMaxPriceUnits), 1);
    EXPECT_EQ(ParsePriceUnits("4.194304", 6, kMaxPriceUnits), kMaxPriceUnits);
    EXPECT_EQ(ParsePriceUnits("17", 0, kMaxPriceUnits), 17);
    for (const char* bad : {"12.345", "-1", "1e3", "12.", ".5", " 1", "1,5", "", "1.2.3", "+1",
                            "4.194305", "9999999999999999"}) {
        EXPECT_FALSE(ParsePriceUnits(bad, bad == std::string("4.194305") ? 6 : 2, kMaxPriceUnits))
            << bad;
    }
    EXPECT_FALSE(ParsePriceUnits("1.5", 0, kMaxPriceUnits));
    EXPECT_FALSE(ParsePriceUnits("1", 7, kMaxPriceUnits));
}

TEST(PriceTextTest, WritesExactlyTheDecimalPlacesAndReadsBack) {
    EXPECT_EQ(FormatPrice(1205, 2), "12.05");
    EXPECT_EQ(FormatPrice(5, 3), "0.005");
    EXPECT_EQ(FormatPrice(42, 0), "42");
    for (int decimals = 0; decimals <= 6; ++decimals) {
        for (std::int64_t units : {1LL, 9LL, 10LL, 101LL, 123456LL, 4194304LL}) {
            EXPECT_EQ(ParsePriceUnits(FormatPrice(units, decimals), decimals, kMaxPriceUnits),
                      units)
                << units << " with " << decimals;
        }
    }
}

TEST(FieldTextTest, DatesAreStrictIsoDates) {
    const auto day = ParseIsoDate("2024-02-29");
    ASSERT_TRUE(day);
    EXPECT_EQ(*day, DatumToDayNumber(DATUM{29, 2, 2024}));
    EXPECT_EQ(FormatIsoDate(*day), "2024-02-29");
    EXPECT_EQ(FormatIsoDate(DatumToDayNumber(DATUM{5, 1, 1003})), "1003-01-05");
    for (const char* bad : {"2023-02-29", "2024-1-05", "0000-01-01", "2024-13-01", "2024/01/01",
                            "24-01-01", "2024-01-01 ", "2024-01-00"}) {
        EXPECT_FALSE(ParseIsoDate(bad)) << bad;
    }
}

TEST(FieldTextTest, TimesAreWholeMinutes) {
    EXPECT_EQ(ParseMinuteTime("09:30"), 34200);
    EXPECT_EQ(ParseMinuteTime("23:59:00"), 86340);
    EXPECT_EQ(ParseMinuteTime("00:00"), 0);
    for (const char* bad : {"09:30:30", "24:00", "9:30", "09:60", "0930", "09:3"}) {
        EXPECT_FALSE(ParseMinuteTime(bad)) << bad;
    }
    EXPECT_EQ(FormatMinuteTime(34200), "09:30");
}

TEST(FieldTextTest, NumbersFlagsAndBooleans) {
    EXPECT_EQ(ParseInteger("-1", -1, 5), -1);
    EXPECT_FALSE(ParseInteger("-2", -1, 5));
    EXPECT_FALSE(ParseInteger("6", -1, 5));
    EXPECT_FALSE(ParseInteger("+3", -1, 5));
    EXPECT_FALSE(ParseInteger("3 ", -1, 5));
    EXPECT_FALSE(ParseInteger("99999999999999999999", 0, 5));
    EXPECT_EQ(ParseFlagWord("0x20000"), 0x20000u);
    EXPECT_EQ(ParseFlagWord("0XFFFFFFFF"), 0xFFFFFFFFu);
    EXPECT_EQ(ParseFlagWord("131072"), 0x20000u);
    EXPECT_FALSE(ParseFlagWord("0x"));
    EXPECT_FALSE(ParseFlagWord("0x1FFFFFFFF"));
    EXPECT_FALSE(ParseFlagWord("4294967296"));
    EXPECT_EQ(ParseFlagWord(FormatFlagWord(0x40020001)), 0x40020001u);
    EXPECT_EQ(ParseBoolean("true"), true);
    EXPECT_EQ(ParseBoolean("0"), false);
    EXPECT_FALSE(ParseBoolean("yes"));
}

TEST(IsinTest, CheckDigitsOfKnownIsins) {
    for (const char* isin : {"US0378331005", "DE0007164600", "AU0000XVGZA3", "GB0002634946",
                             "NL0000009165", "CH0012032048"}) {
        EXPECT_TRUE(IsValidIsin(isin)) << isin;
        EXPECT_EQ(IsinCheckDigit(std::string_view(isin, 11)), isin[11]) << isin;
    }
}

TEST(IsinTest, RejectsAlteredOrMalformedIsins) {
    EXPECT_FALSE(IsValidIsin("US0378331006"));  // wrong check digit
    EXPECT_FALSE(IsValidIsin("US0378313005"));  // two digits swapped
    EXPECT_FALSE(IsValidIsin("us0378331005"));  // lower case
    EXPECT_FALSE(IsValidIsin("US037833100"));   // too short
    EXPECT_FALSE(IsValidIsin("US03783310055")); // too long
    EXPECT_FALSE(IsValidIsin("1S0378331005"));  // country must be letters
    EXPECT_FALSE(IsinCheckDigit("US03783-100"));
}

std::vector<std::string> ReadAll(std::string_view text, std::string* error = nullptr,
                                 int* line = nullptr) {
    CCsvReader reader(text);
    std::vector<std::string> all;
    std::vector<std::string> fields;
    while (reader.Next(fields)) {
        std::string joined;
        for (const std::string& field : fields) {
            joined += "[" + field + "]";
        }
        all.push_back(joined);
    }
    if (error != nullptr) {
        *error = reader.Error();
    }
    if (line != nullptr) {
        *line = reader.Line();
    }
    return all;
}

TEST(CsvTextTest, QuotedFieldsRoundTrip) {
    const std::vector<std::string_view> fields = {
        "plain", "with,comma", "with \"quote\"", "  leading", "trailing  ", "", "\"", ",,"};
    std::string text;
    AppendCsvRow(text, fields);
    CCsvReader reader(text);
    std::vector<std::string> read;
    ASSERT_TRUE(reader.Next(read));
    ASSERT_EQ(read.size(), fields.size());
    for (std::size_t i = 0; i < fields.size(); ++i) {
        EXPECT_EQ(read[i], fields[i]);
    }
    EXPECT_FALSE(reader.Next(read));
    EXPECT_TRUE(reader.Error().empty());
}

TEST(CsvTextTest, TrimsUnquotedFieldsSkipsBlankLinesAndCountsEveryLine) {
    std::string error;
    int line = 0;
    const auto rows = ReadAll("\xEF\xBB\xBF"
                              "a , b\r\n\n   \r\n\" c \",d,\n",
                              &error, &line);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], "[a][b]");
    EXPECT_EQ(rows[1], "[ c ][d][]");
    EXPECT_TRUE(error.empty());
    EXPECT_EQ(line, 4);
}

TEST(CsvTextTest, MalformedLinesGiveTheirLine) {
    struct Case {
        std::string text;
        int line;
        const char* message;
    };
    const Case cases[] = {
        {"a\n\"open", 2, "does not end on its line"},
        {"a\n\"multi\nline\"", 2, "does not end on its line"},
        {"x,ab\"c", 1, "holds a quote"},
        {"\"a\"b,c", 1, "text after the closing quote"},
        {"ok\n" + std::string(kMaxCsvLineBytes + 1, 'x'), 2, "longer than"},
    };
    for (const Case& c : cases) {
        std::string error;
        int line = 0;
        ReadAll(c.text, &error, &line);
        EXPECT_NE(error.find(c.message), std::string::npos)
            << c.text.substr(0, 20) << ": " << error;
        EXPECT_EQ(line, c.line) << c.text.substr(0, 20);
    }
}

TEST(CsvTextTest, HeaderMustMatchExactly) {
    const std::array<std::string_view, 2> columns = {"number", "name"};
    CCsvReader good("number, name\n1,x\n");
    EXPECT_TRUE(good.ExpectHeader(columns));
    CCsvReader wrong("name,number\n");
    EXPECT_FALSE(wrong.ExpectHeader(columns));
    EXPECT_EQ(wrong.Error(), "the header line must be number,name");
    CCsvReader empty("");
    EXPECT_FALSE(empty.ExpectHeader(columns));
    EXPECT_EQ(empty.Error(), "the header line number,name is missing");
}

TEST(KeyValueTextTest, EscapesRoundTripAndCommentsAreSkipped) {
    std::string text = "# comment\n\n";
    AppendKeyValue(text, "message", "two\nlines with a \\ backslash");
    AppendKeyValue(text, "empty", "");
    text += "  spaced  =  value  \r\n";
    std::vector<KeyValueEntry> entries;
    int line = -1;
    std::string error;
    ASSERT_TRUE(ParseKeyValueText(text, &entries, &line, &error)) << error;
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].value, "two\nlines with a \\ backslash");
    EXPECT_EQ(entries[0].line, 3);
    EXPECT_EQ(entries[1].value, "");
    EXPECT_EQ(entries[2].key, "spaced");
    EXPECT_EQ(entries[2].value, "value");
}

TEST(KeyValueTextTest, MalformedLinesGiveTheirLine) {
    struct Case {
        const char* text;
        int line;
        const char* message;
    };
    const Case cases[] = {
        {"a=1\nno equals sign\n", 2, "expected key=value"},
        {"=1\n", 1, "key before"},
        {"a=1\n# x\na=2\n", 3, "appears again (first on line 1)"},
        {"a=c:\\temp\n", 1, "backslash must be followed"},
        {"a=trailing\\", 1, "backslash must be followed"},
    };
    for (const Case& c : cases) {
        std::vector<KeyValueEntry> entries;
        int line = 0;
        std::string error;
        EXPECT_FALSE(ParseKeyValueText(c.text, &entries, &line, &error)) << c.text;
        EXPECT_EQ(line, c.line) << c.text;
        EXPECT_NE(error.find(c.message), std::string::npos) << c.text << ": " << error;
    }
}

} // namespace
} // namespace mvr
