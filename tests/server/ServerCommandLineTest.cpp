#include "server/ServerCommandLine.h"

#include "server/FieldText.h"

#include <gtest/gtest.h>

namespace mvr {
namespace {

constexpr std::int32_t kToday = 739500;

std::optional<ServerCommand> Parse(std::vector<std::string_view> arguments,
                                   std::string* error = nullptr) {
    std::string ignored;
    return ParseServerCommandLine(arguments, kToday, error != nullptr ? error : &ignored);
}

TEST(ServerCommandLineTest, MakeDemoWithDefaultsAndWithEveryOption) {
    const auto plain = Parse({"--make-demo", "out"});
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->kind, ServerCommandKind::MakeDemo);
    EXPECT_EQ(plain->folder, "out");
    EXPECT_EQ(plain->demoOptions.instruments, DemoOptions::kDefaultInstruments);
    EXPECT_EQ(plain->demoOptions.years, DemoOptions::kDefaultYears);
    EXPECT_EQ(plain->demoOptions.seed, DemoOptions::kDefaultSeed);
    EXPECT_EQ(plain->demoOptions.lastDay, kToday);

    const auto full = Parse({"--make-demo", "d", "--seed", "18446744073709551615", "--years", "20",
                             "--instruments", "5000", "--end-date", "2020-02-29"});
    ASSERT_TRUE(full);
    EXPECT_EQ(full->demoOptions.instruments, 5000);
    EXPECT_EQ(full->demoOptions.years, 20);
    EXPECT_EQ(full->demoOptions.seed, 18446744073709551615ULL);
    EXPECT_EQ(full->demoOptions.lastDay, *ParseIsoDate("2020-02-29"));
}

TEST(ServerCommandLineTest, OtherCommands) {
    EXPECT_EQ(Parse({"--help"})->kind, ServerCommandKind::Help);
    EXPECT_EQ(Parse({"--version"})->kind, ServerCommandKind::Version);
    const auto check = Parse({"--check-data", "dir"});
    ASSERT_TRUE(check);
    EXPECT_EQ(check->kind, ServerCommandKind::CheckData);
    EXPECT_EQ(check->folder, "dir");
}

TEST(ServerCommandLineTest, WrongArgumentsSayWhatIsWrong) {
    const std::pair<std::vector<std::string_view>, const char*> cases[] = {
        {{}, "no option given"},
        {{"--serve"}, "unknown option --serve"},
        {{"--make-demo"}, "--make-demo needs a folder"},
        {{"--make-demo", "--years", "3"}, "--make-demo needs a folder"},
        {{"--make-demo", "d", "--years"}, "--years needs a value"},
        {{"--make-demo", "d", "--instruments", "99"},
         "--instruments needs a whole number from 100 to 100000, not '99'"},
        {{"--make-demo", "d", "--years", "0"}, "from 1 to 100"},
        {{"--make-demo", "d", "--years", "ten"}, "not 'ten'"},
        {{"--make-demo", "d", "--seed", "-1"}, "--seed needs a whole number"},
        {{"--make-demo", "d", "--seed", "18446744073709551616"}, "--seed needs a whole number"},
        {{"--make-demo", "d", "--end-date", "13.06.2025"}, "--end-date needs a date YYYY-MM-DD"},
        {{"--make-demo", "d", "--end-date", "1050-01-01", "--years", "51"},
         "would start before the year 1000"},
        {{"--make-demo", "d", "--colour", "red"}, "unknown option --colour"},
        {{"--check-data", "d", "e"}, "--check-data takes only the folder"},
        {{"--help", "me"}, "--help takes no further arguments"},
    };
    for (const auto& [arguments, message] : cases) {
        std::string error;
        EXPECT_FALSE(Parse(arguments, &error)) << message;
        EXPECT_NE(error.find(message), std::string::npos) << message << " / " << error;
    }
}

} // namespace
} // namespace mvr
