// What mvrkrsexp-batch makes of its arguments, and the texts it prints.

#include "batch/BatchArguments.h"

#include "batch/BatchSummary.h"
#include "batch/ProgressDisplay.h"

#include <gtest/gtest.h>

namespace mvr::batch {
namespace {

TEST(BatchArgumentsTest, UpdateSwitchesAndDefinitionFilesKeepTheDesktopForms) {
    const BatchCommand all = ParseBatchArguments({"-nowindow", "-UpdateAll"});
    EXPECT_EQ(all.action, BatchAction::Run);
    EXPECT_EQ(all.startup.kind, RunKind::Window);
    EXPECT_EQ(all.startup.firstArgument, "-UpdateAll");

    const BatchCommand dir = ParseBatchArguments({"-dirupdate", "/data/ms", "extra"});
    EXPECT_EQ(dir.action, BatchAction::Run);
    EXPECT_EQ(dir.startup.secondArgument, "/data/ms");

    const BatchCommand definition =
        ParseBatchArguments({"-nowindow", "-definitionfile", "in.txt", "x", "out.txt"});
    EXPECT_EQ(definition.action, BatchAction::Run);
    EXPECT_EQ(definition.startup.kind, RunKind::DefinitionFile);
    EXPECT_EQ(definition.startup.definitionInput, "in.txt");
    EXPECT_EQ(definition.startup.definitionOutput, "out.txt");

    const BatchCommand reported =
        ParseBatchArguments({"--report", "run.json", "-nowindow", "-dirupdate", "/data/ms"});
    EXPECT_EQ(reported.action, BatchAction::Run);
    EXPECT_EQ(reported.reportFile, "run.json");
    EXPECT_EQ(reported.startup.firstArgument, "-dirupdate");
    EXPECT_EQ(reported.startup.secondArgument, "/data/ms");
    EXPECT_EQ(ParseBatchArguments({"-updateall"}).reportFile, "");
}

TEST(BatchArgumentsTest, OwnOptionsCheckTheirOperands) {
    EXPECT_EQ(ParseBatchArguments({"--help"}).action, BatchAction::Help);
    EXPECT_EQ(ParseBatchArguments({"-h"}).action, BatchAction::Help);
    EXPECT_EQ(ParseBatchArguments({"--version"}).action, BatchAction::Version);
    EXPECT_EQ(ParseBatchArguments({"--show"}).action, BatchAction::Show);
    const BatchCommand account = ParseBatchArguments({"--set-account", "A", "P"});
    EXPECT_EQ(account.action, BatchAction::SetAccount);
    EXPECT_EQ(account.values, (std::vector<std::string>{"A", "P"}));
    const BatchCommand directory =
        ParseBatchArguments({"--add-directory", "/d", "4", "1", "01.01.2020"});
    EXPECT_EQ(directory.action, BatchAction::AddDirectory);
    EXPECT_EQ(directory.values.size(), 4u);

    const std::pair<std::vector<std::string>, const char*> wrong[] = {
        {{}, "no switch given"},
        {{"-nowindow"}, "no switch given"},
        {{"--set-account", "A"}, "wrong number of values for --set-account"},
        {{"--add-directory", "/d"}, "wrong number of values for --add-directory"},
        {{"--add-directory", "/d", "4", "1", "01.01.2020", "x"}, "wrong number of values"},
        {{"--help", "me"}, "wrong number of values for --help"},
        {{"--colour"}, "unknown option --colour"},
        {{"-bogus"}, "unknown switch -bogus"},
        {{"-nowindow", "-UPDATE"}, "unknown switch -UPDATE"},
        {{"-definitionfile", "in.txt", "out.txt"}, "-definitionfile takes IN x OUT"},
        {{"--report"}, "--report takes FILE and the arguments of a run"},
        {{"--report", "r.json", "--show"}, "--report goes once before an update switch"},
        {{"--report", "r.json", "--report", "s.json", "-updateall"}, "--report goes once"},
        {{"--report", "r.json", "-bogus"}, "unknown switch -bogus"},
        {{"-updateall", "--report", "r.json"}, "--report goes before the switch"},
    };
    for (const auto& [arguments, error] : wrong) {
        const BatchCommand command = ParseBatchArguments(arguments);
        EXPECT_EQ(command.action, BatchAction::Usage);
        EXPECT_NE(command.error.find(error), std::string::npos) << command.error;
    }
}

TEST(BatchArgumentsTest, ASchedulesTimeAndSwitchAreCheckedAsARunsWouldBe) {
    const BatchCommand full = ParseBatchArguments({"--schedule", "07:30"});
    EXPECT_EQ(full.action, BatchAction::Schedule);
    EXPECT_EQ(full.scheduleTime, (DailyTime{7, 30}));
    EXPECT_EQ(full.startup.firstArgument, "-updateall");
    EXPECT_EQ(full.startup.secondArgument, "");

    const BatchCommand list = ParseBatchArguments({"--schedule", "23:59", "-ListUpdate", "Abend"});
    EXPECT_EQ(list.action, BatchAction::Schedule);
    EXPECT_EQ(list.scheduleTime, (DailyTime{23, 59}));
    EXPECT_EQ(list.startup.firstArgument, "-ListUpdate");
    EXPECT_EQ(list.startup.secondArgument, "Abend");
    EXPECT_EQ(ParseBatchArguments({"--unschedule"}).action, BatchAction::Unschedule);

    const std::pair<std::vector<std::string>, const char*> wrong[] = {
        {{"--schedule"}, "wrong number of values for --schedule"},
        {{"--schedule", "24:00"}, "the time must be HH:MM from 00:00 to 23:59, not 24:00"},
        {{"--schedule", "7:30"}, "not 7:30"},
        {{"--schedule", "07:60", "-updateall"}, "not 07:60"},
        {{"--schedule", "07:30", "-bogus"}, "unknown switch -bogus"},
        {{"--schedule", "07:30", "-dirupdate"}, "-dirupdate needs a value"},
        {{"--schedule", "07:30", "-updateallrt", "x"}, "-updateallrt takes no value"},
        {{"--schedule", "07:30", "-definitionfile", "in"},
         "only an update switch can be scheduled"},
        {{"--schedule", "07:30", "-nowindow"}, "no switch given"},
        {{"--unschedule", "now"}, "wrong number of values for --unschedule"},
    };
    for (const auto& [arguments, error] : wrong) {
        const BatchCommand command = ParseBatchArguments(arguments);
        EXPECT_EQ(command.action, BatchAction::Usage) << arguments.back();
        EXPECT_NE(command.error.find(error), std::string::npos) << command.error;
    }
}

TEST(BatchArgumentsTest, UsageListsTheExitCodesAndTheFormats) {
    const std::string usage = UsageText();
    EXPECT_NE(usage.find("Exit codes: 0 done"), std::string::npos);
    EXPECT_NE(usage.find("7 communication failure"), std::string::npos);
    EXPECT_NE(usage.find("  4\tMetaStock"), std::string::npos) << usage;
}

TEST(BatchSummaryTest, EveryFigureHasItsLine) {
    UpdateSummary summary;
    summary.directories = 3;
    summary.symbolsRequested = 120;
    summary.symbolsWritten = 118;
    summary.barsAdded = 2500000;
    summary.barsChanged = 7;
    summary.symbolsWithoutAnswer = 2;
    summary.elapsed = std::chrono::milliseconds(12345);
    EXPECT_EQ(FormatSummary(summary), "Summary\n"
                                      "  Directories:            3\n"
                                      "  Symbols requested:      120\n"
                                      "  Symbols written:        118\n"
                                      "  Bars added:             2500000\n"
                                      "  Bars changed:           7\n"
                                      "  Symbols without answer: 2\n"
                                      "  Time taken:             12.3 s\n");
}

TEST(ProgressDisplayTest, BarFillsByPercentAndStaysInsideItsRange) {
    EXPECT_EQ(CProgressDisplay::BarText(0, 10, 0, 10), "[          ]   0%");
    EXPECT_EQ(CProgressDisplay::BarText(0, 10, 5, 10), "[#####     ]  50%");
    EXPECT_EQ(CProgressDisplay::BarText(0, 10, 10, 10), "[##########] 100%");
    EXPECT_EQ(CProgressDisplay::BarText(0, 10, 12, 10), "[##########] 100%");
    EXPECT_EQ(CProgressDisplay::BarText(0, 10, -3, 10), "[          ]   0%");
    EXPECT_EQ(CProgressDisplay::BarText(0, 0, 0, 4), "[    ]   0%");
}

TEST(ProgressDisplayTest, WithoutATerminalEachPhaseIsOneLine) {
    std::FILE* out = std::tmpfile();
    ASSERT_NE(out, nullptr);
    CProgressDisplay display(out, false);
    display.PhaseChanged("initializing ...");
    display.ProgressRange(0, 10);
    display.ProgressPosition(4);
    display.PhaseChanged("Connecting ...");
    display.JobEnded(UpdateSummary{});
    std::rewind(out);
    char text[256] = {};
    const std::size_t length = std::fread(text, 1, sizeof text - 1, out);
    std::fclose(out);
    EXPECT_EQ(std::string(text, length), "initializing ...\nConnecting ...\n");
}

} // namespace
} // namespace mvr::batch
