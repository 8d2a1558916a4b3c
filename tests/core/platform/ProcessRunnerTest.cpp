// The process runner with real programs: words reach the program unchanged,
// the input arrives, both outputs and the exit status come back, and neither
// a child that stops reading nor a missing program harms the caller.

#include "core/platform/ProcessRunner.h"

#include "core/platform/FileSystem.h"
#include "core/platform/ProgramPath.h"

#include <gtest/gtest.h>

namespace mvr {
namespace {

CommandOutput Shell(const std::string& script, std::vector<std::string> words = {},
                    std::string_view input = {}) {
    words.insert(words.begin(), {"-c", script, "sh"});
    return CProcessRunner().Run("sh", words, input);
}

TEST(ProcessRunnerTest, InputOutputsAndExitStatusTravelSeparately) {
    const CommandOutput output = Shell("cat; echo oops >&2; exit 3", {}, "line 1\nline 2\n");
    EXPECT_TRUE(output.started);
    EXPECT_EQ(output.exitStatus, 3);
    EXPECT_FALSE(output.Succeeded());
    EXPECT_EQ(output.out, "line 1\nline 2\n");
    EXPECT_EQ(output.err, "oops\n");
    EXPECT_TRUE(Shell("exit 0").Succeeded());
}

TEST(ProcessRunnerTest, ArgumentsArriveAsTheyAreWithoutAShell) {
    const CommandOutput output =
        Shell("printf '%s|' \"$@\"", {"a b", "$HOME", "'q'\"", "", "; rm -rf x", "*"});
    EXPECT_EQ(output.out, "a b|$HOME|'q'\"||; rm -rf x|*|");
}

TEST(ProcessRunnerTest, LargeInputAndOutputDoNotBlockEachOther) {
    std::string input;
    for (int i = 0; input.size() < (1u << 20); ++i) {
        input += "line " + std::to_string(i) + "\n";
    }
    // The child writes everything back, and twice as much to its error output.
    const CommandOutput output = Shell("tee /dev/stderr /dev/stderr", {}, input);
    EXPECT_TRUE(output.Succeeded());
    EXPECT_EQ(output.out, input);
    EXPECT_EQ(output.err.size(), 2 * input.size());
}

TEST(ProcessRunnerTest, AChildThatStopsReadingOrDiesLeavesTheCallerRunning) {
    const CommandOutput ignored = Shell("exit 5", {}, std::string(1u << 20, 'x'));
    EXPECT_TRUE(ignored.started);
    EXPECT_EQ(ignored.exitStatus, 5);
    const CommandOutput killed = Shell("kill -9 $$");
    EXPECT_TRUE(killed.started);
    EXPECT_EQ(killed.exitStatus, -1);
}

TEST(ProcessRunnerTest, AMissingProgramIsNotStartedAndSaysWhy) {
    const CommandOutput output = CProcessRunner().Run("mvr-no-such-program", {"x"});
    EXPECT_FALSE(output.started);
    EXPECT_FALSE(output.Succeeded());
    EXPECT_NE(output.err.find("No such file"), std::string::npos) << output.err;
}

TEST(ProgramPathTest, TheRunningProgramIsFoundByItsAbsolutePath) {
    const auto path = CurrentProgramPath();
    ASSERT_TRUE(path.has_value());
    EXPECT_EQ(path->front(), '/');
    EXPECT_TRUE(IsRegularFile(*path)) << *path;
    EXPECT_NE(path->find("test_platform"), std::string::npos) << *path;
}

} // namespace
} // namespace mvr
