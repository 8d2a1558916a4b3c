#include "server/DataFolderCheck.h"

#include "server/BarFiles.h"
#include "server/DataFolderLayout.h"
#include "SmallDataFolder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace mvr {
namespace {

using test::TempDir;
using test::WriteDataFile;

class DataFolderCheckTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::WriteDataFolder(folder.Path());
        WriteDataFile(folder.Path(), "daily/1001.csv",
                      FormatDailyBars(std::vector<DailyBar>{test::Daily(738000, 5, 6, 4, 5, 1),
                                                            test::Daily(738003, 5, 7, 5, 6, 2)},
                                      2));
        WriteDataFile(
            folder.Path(), "daily/1004.csv",
            FormatDailyBars(std::vector<DailyBar>{test::Daily(737990, 9, 9, 9, 9, 0)}, 0));
        WriteDataFile(folder.Path(), "intraday/1004.csv",
                      "date,time,open,high,low,close,volume\n2024-01-02,09:00,1,1,1,1,0\n");
    }

    TempDir folder;
};

TEST_F(DataFolderCheckTest, CountsTheTablesAndEveryBarFile) {
    const DataFolderReport report = CheckDataFolder(folder.Path());
    ASSERT_FALSE(report.error) << report.error->Text();
    EXPECT_TRUE(report.warnings.empty());
    EXPECT_EQ(report.tables, test::SmallTables());
    EXPECT_EQ(report.daily.files, 2u);
    EXPECT_EQ(report.daily.bars, 3u);
    EXPECT_EQ(report.daily.firstDay, 737990);
    EXPECT_EQ(report.daily.lastDay, 738003);
    EXPECT_EQ(report.intraday.files, 1u);
    const std::string text = FormatDataFolderReport(report);
    EXPECT_NE(text.find("The data folder is sound."), std::string::npos);
    EXPECT_NE(text.find("  instruments: 6\n"), std::string::npos);
    EXPECT_NE(text.find("  catalogues: 3 with 11 members\n"), std::string::npos);
    EXPECT_NE(text.find("  intraday bar files: 1 with 1 1-minute bars, 2024-01-02 to 2024-01-02\n"),
              std::string::npos);
}

TEST_F(DataFolderCheckTest, ABrokenBarFileIsTheFault) {
    // 1005 has six decimal places; seven are one too many.
    WriteDataFile(folder.Path(), "daily/1005.csv",
                  "date,open,high,low,close,volume\n2024-01-02,1,1,1,1,0\n"
                  "2024-01-03,1.0000001,2,1,1,0\n");
    const DataFolderReport report = CheckDataFolder(folder.Path());
    ASSERT_TRUE(report.error);
    EXPECT_EQ(report.error->file, "daily/1005.csv");
    EXPECT_EQ(report.error->line, 3);
    EXPECT_EQ(FormatDataFolderReport(report).substr(0, 29), "error: daily/1005.csv:3: open");
}

TEST_F(DataFolderCheckTest, BarFilesOfNoInstrumentAreWarnedAbout) {
    WriteDataFile(folder.Path(), "daily/4242.csv", "not even a bar file");
    WriteDataFile(folder.Path(), "intraday/notes.txt", "mine");
    const DataFolderReport report = CheckDataFolder(folder.Path());
    ASSERT_FALSE(report.error);
    EXPECT_EQ(report.warnings,
              (std::vector<std::string>{
                  "daily/4242.csv: no instrument has this file; it is never read",
                  "intraday/notes.txt: no instrument has this file; it is never read"}));
    EXPECT_EQ(FormatDataFolderReport(report).substr(0, 9), "warning: ");
}

#ifndef _WIN32
TEST_F(DataFolderCheckTest, TheAccountsFileIsReadableByItsOwnerOnly) {
    struct stat status {};
    ASSERT_EQ(::stat(DataFilePath(folder.Path(), kAccountsFile).c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
}
#endif

} // namespace
} // namespace mvr
