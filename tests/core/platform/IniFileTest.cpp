#include "core/platform/IniFile.h"

#include <gtest/gtest.h>

namespace mvr {
namespace {

TEST(IniFileTest, SectionsAndKeysIgnoreCaseAndTheFirstOccurrenceWins) {
    const CIniFile ini = CIniFile::Parse("; comment\r\n"
                                         "[Other]\nServerName=wrong\n"
                                         "[mvrkrsexp]\r\n"
                                         "  servername = prices.example.org \r\n"
                                         "ServerName=second\n"
                                         "ServerPort=5000\n");
    EXPECT_EQ(ini.GetString("MVRKrsExp", "ServerName", "default", 200), "prices.example.org");
    EXPECT_EQ(ini.GetInt("MVRKrsExp", "ServerPort", 443), 5000);
    EXPECT_EQ(ini.GetInt("MVRKrsExp", "Missing", 443), 443);
    EXPECT_EQ(ini.GetString("Missing", "ServerName", "default", 200), "default");
}

TEST(IniFileTest, IntegersComeFromLeadingDigits) {
    const CIniFile ini = CIniFile::Parse("[s]\na=123abc\nb=abc\nc=\nd=-5\ne=99999999999\n");
    EXPECT_EQ(ini.GetInt("s", "a", 7), 123);
    EXPECT_EQ(ini.GetInt("s", "b", 7), 0);
    EXPECT_EQ(ini.GetInt("s", "c", 7), 0);
    EXPECT_EQ(ini.GetInt("s", "d", 7), 0);
    EXPECT_EQ(ini.GetInt("s", "e", 7), 2147483647);
}

TEST(IniFileTest, StringsAreCutToTheBufferAndLoseEnclosingQuotes) {
    const CIniFile ini =
        CIniFile::Parse("[s]\nq=\"quoted value\"\nlong=" + std::string(300, 'x') + "\n");
    EXPECT_EQ(ini.GetString("s", "q", "", 200), "quoted value");
    EXPECT_EQ(ini.GetString("s", "long", "", 200), std::string(199, 'x'));
}

TEST(IniFileTest, GarbageNeverCrashesAndYieldsDefaults) {
    std::string garbage;
    for (int i = 0; i < 4096; ++i) {
        garbage.push_back(static_cast<char>((i * 7919) % 256));
    }
    const CIniFile ini = CIniFile::Parse(garbage);
    EXPECT_EQ(ini.GetInt("MVRKrsExp", "ServerPort", 443), 443);
    EXPECT_EQ(CIniFile::Load("/no/such/file.ini").GetInt("s", "k", 9), 9);
}

} // namespace
} // namespace mvr
