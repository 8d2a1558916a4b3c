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

TEST(ServerCommandLineTest, ServeWithDefaultsAndWithEveryOption) {
    const auto plain = Parse({"--serve", "data"});
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->kind, ServerCommandKind::Serve);
    EXPECT_EQ(plain->folder, "data");
    EXPECT_EQ(plain->serveOptions, ServeOptions{});
    EXPECT_EQ(plain->serveOptions.address, "127.0.0.1");
    EXPECT_EQ(plain->serveOptions.port, 5000);

    const auto full = Parse({"--serve",
                             "data",
                             "--address",
                             "0.0.0.0",
                             "--port",
                             "0",
                             "--connections",
                             "64",
                             "--timeout",
                             "250",
                             "--connection-limit",
                             "5000",
                             "--fault-close-after",
                             "0",
                             "--fault-delay",
                             "40",
                             "--fault-refuse",
                             "--fault-marker",
                             "-2",
                             "--data-until",
                             "2026-12-04"});
    ASSERT_TRUE(full);
    const ServeOptions& o = full->serveOptions;
    EXPECT_EQ(o.address, "0.0.0.0");
    EXPECT_EQ(o.port, 0);
    EXPECT_EQ(o.connections, 64);
    EXPECT_EQ(o.ioTimeout, std::chrono::milliseconds(250));
    EXPECT_EQ(o.connectionLimit, std::chrono::milliseconds(5000));
    EXPECT_EQ(o.faults.closeAfterBytes, 0);
    EXPECT_EQ(o.faults.blockDelay, std::chrono::milliseconds(40));
    EXPECT_TRUE(o.faults.refuse);
    EXPECT_EQ(o.faults.sectionMarker, -2);
    EXPECT_EQ(o.dataUntilDay, ParseIsoDate("2026-12-04"));
}

TEST(ServerCommandLineTest, WrongArgumentsSayWhatIsWrong) {
    const std::pair<std::vector<std::string_view>, const char*> cases[] = {
        {{}, "no option given"},
        {{"--listen"}, "unknown option --listen"},
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
        {{"--serve"}, "--serve needs a folder"},
        {{"--serve", "d", "--port", "65536"}, "--port needs a whole number from 0 to 65535"},
        {{"--serve", "d", "--connections", "0"}, "from 1 to 1024"},
        {{"--serve", "d", "--timeout", "0"}, "--timeout needs a whole number from 1"},
        {{"--serve", "d", "--fault-marker", "-3"}, "--fault-marker needs -1 or -2, not '-3'"},
        {{"--serve", "d", "--fault-close-after", "-1"}, "--fault-close-after needs"},
        {{"--serve", "d", "--fault-delay"}, "--fault-delay needs a value"},
        {{"--serve", "d", "--data-until", "4.12.2026"}, "--data-until needs a date YYYY-MM-DD"},
        {{"--serve", "d", "--years", "3"}, "unknown option --years"},
    };
    for (const auto& [arguments, message] : cases) {
        std::string error;
        EXPECT_FALSE(Parse(arguments, &error)) << message;
        EXPECT_NE(error.find(message), std::string::npos) << message << " / " << error;
    }
}

} // namespace
} // namespace mvr
