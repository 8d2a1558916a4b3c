// mvrkrsexp-batch --report as a program: the report of an update against the
// reference server agrees with the printed summary, and runs that end early
// or cannot write their report still say how they ended.

#include "BatchToolFixture.h"
#include "core/formats/FormatCatalogue.h"
#include "core/platform/FileSystem.h"
#include "core/platform/Paths.h"
#include "support/JsonValue.h"

namespace mvr {
namespace {

using test::JsonValue;
using test::ToolRun;

constexpr int kDemoCatalogue = 1; // the 100 members of the demo data

// The figure of a summary line such as "  Bars added:             52000".
std::int64_t PrintedFigure(const std::string& summary, const std::string& label) {
    const std::size_t at = summary.find("  " + label + ":");
    EXPECT_NE(at, std::string::npos) << label << " in\n" << summary;
    return at == std::string::npos ? -1 : std::stoll(summary.substr(at + label.size() + 3));
}

class BatchReportTest : public test::BatchToolFixture {
protected:
    JsonValue Report() const {
        std::string error;
        const auto parsed = test::ParseJson(test::FileText(ReportFile()), &error);
        EXPECT_TRUE(parsed.has_value()) << error;
        return parsed.value_or(JsonValue{});
    }
    std::string ReportFile() const { return Folder("report.json"); }
};

TEST_F(BatchReportTest, TheReportOfAnUpdateAgreesWithThePrintedSummary) {
    StartServer();
    Configure({{Folder("ms"), std::to_string(kFormatMetaStock), std::to_string(kDemoCatalogue)}});
    const ToolRun run = RunTool({"--report", ReportFile(), "-nowindow", "-updateall"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const JsonValue report = Report();
    EXPECT_EQ(report["switch"].text, "-updateall");
    EXPECT_TRUE(report["argument"].IsNull());
    EXPECT_EQ(report["exitCode"].Integer(), 0);
    EXPECT_TRUE(report["error"].IsNull());

    const JsonValue& summary = report["summary"];
    for (const auto& [key, label] : {std::pair{"directories", "Directories"},
                                     {"symbolsRequested", "Symbols requested"},
                                     {"symbolsWritten", "Symbols written"},
                                     {"barsAdded", "Bars added"},
                                     {"barsChanged", "Bars changed"},
                                     {"symbolsWithoutAnswer", "Symbols without answer"}}) {
        EXPECT_EQ(summary[key].Integer(), PrintedFigure(run.out, label)) << key;
    }
    ASSERT_EQ(report["directories"].items.size(), 1u);
    const JsonValue& directory = report["directories"][0];
    EXPECT_EQ(directory["path"].text, WithTrailingSeparator(Folder("ms")));
    EXPECT_EQ(directory["formatName"].text, FormatDisplayName(kFormatMetaStock));
    ASSERT_EQ(directory["symbols"].items.size(), 100u);
    std::int64_t added = 0;
    for (const JsonValue& symbol : directory["symbols"].items) {
        EXPECT_TRUE(symbol["error"].IsNull()) << symbol["symbol"].text;
        EXPECT_FALSE(symbol["name"].text.empty()) << symbol["symbol"].text;
        EXPECT_LT(symbol["firstDate"].text, symbol["lastDate"].text) << symbol["symbol"].text;
        added += symbol["barsAdded"].Integer();
        EXPECT_EQ(symbol["barsChanged"].Integer(), 0);
    }
    EXPECT_EQ(added, summary["barsAdded"].Integer());
    EXPECT_GT(added, 100 * 200);
}

TEST_F(BatchReportTest, RunsThatEndEarlyReportTheirEnd) {
    StartServer();
    const ToolRun noAccount = RunTool({"--report", ReportFile(), "-listupdate", "Abend"});
    EXPECT_EQ(noAccount.exitCode, 3);
    EXPECT_EQ(Report()["exitCode"].Integer(), 3);
    EXPECT_EQ(Report()["error"].text, "no account configured (see --set-account)");
    EXPECT_EQ(Report()["switch"].text, "-listupdate");
    EXPECT_EQ(Report()["argument"].text, "Abend");
    EXPECT_TRUE(Report()["summary"].IsNull());

    Configure({});
    PointAtNoServer();
    const ToolRun unreachable = RunTool({"--report", ReportFile(), "-updateall"});
    EXPECT_EQ(unreachable.exitCode, 7) << unreachable.err;
    EXPECT_EQ(Report()["exitCode"].Integer(), 7);
    EXPECT_EQ(Report()["error"].text, "The price server cannot be reached.");
    EXPECT_TRUE(Report()["directories"].items.empty());

    const std::string input = Folder("definition-in.txt");
    const ToolRun definition =
        RunTool({"--report", ReportFile(), "-definitionfile", input, "x", Folder("out.txt")});
    EXPECT_EQ(definition.exitCode, 7) << definition.err;
    EXPECT_EQ(Report()["switch"].text, "-definitionfile");
    EXPECT_EQ(Report()["argument"].text, input);
}

TEST_F(BatchReportTest, AReportThatCannotBeWrittenFailsTheRun) {
    StartServer();
    Configure({{Folder("ascii"), std::to_string(kFormatAsciiComma)}});
    const std::string nowhere = Folder("missing/report.json");
    const ToolRun done = RunTool({"--report", nowhere, "-updateall"});
    EXPECT_EQ(done.exitCode, 1) << done.err;
    EXPECT_NE(done.err.find("cannot write the report " + nowhere), std::string::npos) << done.err;

    // A run that failed keeps its own exit code.
    PointAtNoServer();
    EXPECT_EQ(RunTool({"--report", nowhere, "-updateall"}).exitCode, 7);
}

// Checked before anything runs: no report of a run that never was.
TEST_F(BatchReportTest, AMisplacedReportIsAUsageErrorThatWritesNothing) {
    EXPECT_EQ(RunTool({"--report", ReportFile(), "--show"}).exitCode, 2);
    EXPECT_EQ(RunTool({"-updateall", "--report", ReportFile()}).exitCode, 2);
    EXPECT_FALSE(EntryExists(ReportFile()));
}

} // namespace
} // namespace mvr
