// The run report as a document: every figure in its place, texts of the
// local code page as UTF-8, dates as calendar days, and the early end of a
// run without an update job.

#include "core/app/RunReport.h"

#include "core/formats/DayNumber.h"
#include "core/formats/FormatCatalogue.h"
#include "support/ChildProcess.h"
#include "support/JsonValue.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <regex>

namespace mvr {
namespace {

using test::JsonValue;

JsonValue Parsed(const RunReport& report) {
    std::string error;
    const auto parsed = test::ParseJson(RunReportJson(report), &error);
    EXPECT_TRUE(parsed.has_value()) << error << "\n" << RunReportJson(report);
    return parsed.value_or(JsonValue{});
}

double OleDate(int day, int month, int year) {
    return DayNumberToPlainOleDate(
        DatumToDayNumber({static_cast<std::uint8_t>(day), static_cast<std::uint8_t>(month),
                          static_cast<std::uint16_t>(year)}));
}

RunReport FinishedRun() {
    RunReport report;
    report.started = std::chrono::system_clock::from_time_t(1752574830);
    report.ended = report.started + std::chrono::seconds(75);
    report.runSwitch = "-dirupdate";
    report.argument = "/data/M\xfcnchen/";
    report.end = {kExitNotWritten, "files in /data/full/ could not be written (No space left)"};
    UpdateSummary summary;
    summary.directories = 2;
    summary.symbolsRequested = 3;
    summary.symbolsWritten = 1;
    summary.barsAdded = 250;
    summary.barsChanged = 2;
    summary.symbolsWithoutAnswer = 1;
    summary.indexesNotSaved = 1;
    summary.elapsed = std::chrono::milliseconds(74250);
    SymbolOutcome written{
        "SAPX", "Sapex \"Software\" AG", 250, 2, OleDate(2, 1, 2024), OleDate(10, 12, 2025), ""};
    SymbolOutcome unanswered{"BAY", "Bayer M\xfcnchen \x80",    0, 0, OleDate(1, 1, 2020),
                             0.0,   "no answer from the server"};
    SymbolOutcome notWritten{"IDX",
                             "Index",
                             0,
                             0,
                             OleDate(1, 1, 2024),
                             OleDate(1, 2, 2024),
                             "the data file could not be written (No space left)"};
    summary.directoryOutcomes = {
        {"/data/M\xfcnchen/", kFormatAsciiComma, {written, unanswered}, ""},
        {"/data/full/",
         kFormatMetaStock,
         {notWritten},
         "Files in /data/full/ could not be written"},
    };
    report.summary = summary;
    return report;
}

TEST(RunReportTest, AFinishedRunGivesItsFiguresAndEverySymbol) {
    const JsonValue json = Parsed(FinishedRun());
    EXPECT_EQ(json["version"].text, MVR_PROJECT_VERSION);
    const std::regex localTime(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d[+-]\d\d:\d\d)");
    EXPECT_TRUE(std::regex_match(json["started"].text, localTime)) << json["started"].text;
    EXPECT_TRUE(std::regex_match(json["ended"].text, localTime)) << json["ended"].text;
    EXPECT_EQ(json["switch"].text, "-dirupdate");
    EXPECT_EQ(json["argument"].text, "/data/M\xc3\xbcnchen/");
    EXPECT_EQ(json["exitCode"].Integer(), 8);
    EXPECT_EQ(json["error"].text, "files in /data/full/ could not be written (No space left)");

    const JsonValue& summary = json["summary"];
    EXPECT_EQ(summary["directories"].Integer(), 2);
    EXPECT_EQ(summary["symbolsRequested"].Integer(), 3);
    EXPECT_EQ(summary["symbolsWritten"].Integer(), 1);
    EXPECT_EQ(summary["barsAdded"].Integer(), 250);
    EXPECT_EQ(summary["barsChanged"].Integer(), 2);
    EXPECT_EQ(summary["symbolsWithoutAnswer"].Integer(), 1);
    EXPECT_EQ(summary["indexesNotSaved"].Integer(), 1);
    EXPECT_EQ(summary["symbolsNotAdded"].Integer(), 0);
    EXPECT_FALSE(summary["stopped"].boolean);
    EXPECT_EQ(summary["milliseconds"].Integer(), 74250);

    const JsonValue& directories = json["directories"];
    ASSERT_EQ(directories.items.size(), 2u);
    EXPECT_EQ(directories[0]["path"].text, "/data/M\xc3\xbcnchen/");
    EXPECT_EQ(directories[0]["formatType"].Integer(), kFormatAsciiComma);
    EXPECT_EQ(directories[0]["formatName"].text, FormatDisplayName(kFormatAsciiComma));
    EXPECT_TRUE(directories[0]["error"].IsNull());
    EXPECT_EQ(directories[1]["error"].text, "Files in /data/full/ could not be written");

    const JsonValue& sapx = directories[0]["symbols"][0];
    EXPECT_EQ(sapx["symbol"].text, "SAPX");
    EXPECT_EQ(sapx["name"].text, "Sapex \"Software\" AG");
    EXPECT_EQ(sapx["barsAdded"].Integer(), 250);
    EXPECT_EQ(sapx["barsChanged"].Integer(), 2);
    EXPECT_EQ(sapx["firstDate"].text, "2024-01-02");
    EXPECT_EQ(sapx["lastDate"].text, "2025-12-10");
    EXPECT_TRUE(sapx["error"].IsNull());

    // A history without bars has no dates, whatever start the index asks for.
    const JsonValue& bay = directories[0]["symbols"][1];
    EXPECT_EQ(bay["name"].text, "Bayer M\xc3\xbcnchen \xe2\x82\xac");
    EXPECT_TRUE(bay["firstDate"].IsNull());
    EXPECT_TRUE(bay["lastDate"].IsNull());
    EXPECT_EQ(bay["error"].text, "no answer from the server");
    EXPECT_EQ(directories[1]["symbols"][0]["lastDate"].text, "2024-02-01");
}

TEST(RunReportTest, ARunThatEndedBeforeAnyUpdateHasNoSummary) {
    RunReport report;
    report.runSwitch = "-updateall";
    report.end = {kExitNoAccount, "no account configured (see --set-account)"};
    const JsonValue json = Parsed(report);
    EXPECT_TRUE(json["argument"].IsNull());
    EXPECT_EQ(json["exitCode"].Integer(), 3);
    EXPECT_EQ(json["error"].text, "no account configured (see --set-account)");
    EXPECT_TRUE(json.Has("summary"));
    EXPECT_TRUE(json["summary"].IsNull());
    EXPECT_EQ(json["directories"].kind, JsonValue::Kind::Array);
    EXPECT_TRUE(json["directories"].items.empty());

    report.end = {};
    EXPECT_TRUE(Parsed(report)["error"].IsNull());
}

TEST(RunReportTest, TheDocumentReplacesTheFileOrTheReasonIsGiven) {
    test::TempDir dir;
    const RunReport report = FinishedRun();
    std::string error;
    test::WriteBytes(dir.File("report.json"), {'o', 'l', 'd'});
    ASSERT_TRUE(WriteRunReport(dir.File("report.json"), report, error)) << error;
    EXPECT_EQ(test::FileText(dir.File("report.json")), RunReportJson(report));
    EXPECT_FALSE(WriteRunReport(dir.File("missing/report.json"), report, error));
    EXPECT_NE(error.find("cannot write the report " + dir.File("missing/report.json") + " ("),
              std::string::npos)
        << error;
}

} // namespace
} // namespace mvr
