// Command lines as the Microsoft C runtime splits them: what the process
// runner gives a child on Windows and what a scheduled task keeps.

#include "core/platform/WindowsCommandLine.h"

#include <gtest/gtest.h>

namespace mvr {
namespace {

TEST(WindowsCommandLineTest, OnlyWordsThatNeedItAreQuoted) {
    EXPECT_EQ(QuoteWindowsArgument("-updateall"), "-updateall");
    EXPECT_EQ(QuoteWindowsArgument("C:\\Kurse\\DAX\\"), "C:\\Kurse\\DAX\\");
    EXPECT_EQ(QuoteWindowsArgument(""), "\"\"");
    EXPECT_EQ(QuoteWindowsArgument("C:\\Program Files\\Marvane Kavolo\\mvrkrsexp-batch.exe"),
              "\"C:\\Program Files\\Marvane Kavolo\\mvrkrsexp-batch.exe\"");
    // Backslashes before the closing quote or a quote of the text are doubled.
    EXPECT_EQ(QuoteWindowsArgument("C:\\My Kurse\\"), "\"C:\\My Kurse\\\\\"");
    EXPECT_EQ(QuoteWindowsArgument("say \\\"hi\""), "\"say \\\\\\\"hi\\\"\"");
}

TEST(WindowsCommandLineTest, SplittingGivesBackWhatWasJoined) {
    const std::vector<std::string> words = {
        "-dirupdate",        "C:\\My Kurse\\",    "",  "a\tb", "\"quoted\"", "back\\\\slash\\",
        "\\\\server\\share", "50% \"Gold\" list", "x",
    };
    EXPECT_EQ(SplitWindowsCommandLine(JoinWindowsCommandLine(words)), words);
}

TEST(WindowsCommandLineTest, LinesWrittenByOthersSplitByTheRuntimesRules) {
    using Words = std::vector<std::string>;
    EXPECT_EQ(SplitWindowsCommandLine("  a  b\t c  "), (Words{"a", "b", "c"}));
    EXPECT_EQ(SplitWindowsCommandLine("a\\b \"c d\"e"), (Words{"a\\b", "c de"}));
    EXPECT_EQ(SplitWindowsCommandLine("\\\\\"x y\" \\\"z"), (Words{"\\x y", "\"z"}));
    EXPECT_EQ(SplitWindowsCommandLine("\"a\"\"b\" \"open"), (Words{"a\"b", "open"}));
    EXPECT_EQ(SplitWindowsCommandLine(""), Words{});
}

} // namespace
} // namespace mvr
