#include "core/formats/ExportDataFile.h"

#include "core/formats/DayNumber.h"
#include "core/formats/FormatCatalogue.h"
#include "core/formats/LineMemFile.h"
#include "core/formats/MetaStockDataFile.h"
#include "core/platform/FileSystem.h"
#include "core/platform/FolderListing.h"
#include "core/platform/Paths.h"
#include "support/CalendarDay.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace mvr {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

using test::Day;

ExportSymbolInfo Symbol(const std::string& text, int fileNumber = 1, int fieldCount = 7) {
    ExportSymbolInfo s;
    s.symbol = text;
    s.name = text + " name";
    s.fileNumber = fileNumber;
    s.fieldCount = fieldCount;
    return s;
}

PriceHistory Bars(std::size_t n, std::int32_t isNew = 0) {
    PriceHistory history;
    for (std::size_t i = 0; i < n; ++i) {
        PERIODE bar;
        bar.dayNumber = Day(3, 1, 2005) + static_cast<std::int32_t>(i);
        bar.open = 10 + static_cast<float>(i);
        bar.high = bar.open + 1;
        bar.low = bar.open - 1;
        bar.close = bar.open + 0.5f;
        bar.volume = 100 * static_cast<std::int32_t>(i);
        bar.isNew = isNew;
        history.push_back(bar);
    }
    return history;
}

std::vector<std::uint8_t> Text(const std::string& text) {
    return {text.begin(), text.end()};
}

TEST(ExportDataFileTest, BuildFileNameFollowsTheFormat) {
    TempDir dir;
    CExportDataFile file;
    EXPECT_EQ(file.FormatType(), kFormatNotSet);
    EXPECT_EQ(file.Symbol().fieldCount, 7);
    file.BuildFileName(dir.Path(), Symbol("SAP", 256), 4);
    EXPECT_EQ(file.FilePath(), dir.File("F256.MWD"));
    EXPECT_EQ(file.FormatType(), 4);
    file.BuildFileName(dir.Path(), Symbol("SAP", 255), 20);
    EXPECT_EQ(file.FilePath(), dir.File("F255.DAT"));
    // A directory without its separator gets one.
    file.BuildFileName(WithoutTrailingSeparator(dir.Path()), Symbol("SAP"), 5);
    EXPECT_EQ(file.FilePath(), dir.File("SAP.prn"));
    EXPECT_EQ(file.Directory(), dir.Path());
    // A type without files leaves the earlier path untouched.
    file.BuildFileName(dir.Path(), Symbol("BAS"), 2);
    EXPECT_EQ(file.FilePath(), dir.File("SAP.prn"));
    EXPECT_EQ(file.FormatType(), 2);
    // An unsafe or overlong name leaves no path, so that nothing earlier is written.
    file.BuildFileName(dir.Path(), Symbol("../escape"), 5);
    EXPECT_EQ(file.FilePath(), "");
    file.BuildFileName(dir.Path() + std::string(250, 'd'), Symbol("SAP"), 5);
    EXPECT_EQ(file.FilePath(), "");
    EXPECT_FALSE(file.Write(true));
    EXPECT_FALSE(file.Delete());
}

TEST(ExportDataFileTest, MetaStockWriteAndRead) {
    TempDir dir;
    CExportDataFile writer;
    writer.BuildFileName(dir.Path(), Symbol("SAP", 3), 4);
    writer.History() = Bars(3, 1);
    EXPECT_TRUE(writer.Write(false));
    EXPECT_EQ(ReadBytes(dir.File("F3.DAT")).size(), 112u);

    CExportDataFile reader;
    ASSERT_TRUE(reader.Read(dir.Path(), Symbol("SAP", 3), 4));
    ASSERT_EQ(reader.History().size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(reader.History()[i].sourcePos, static_cast<std::int32_t>(i));
        EXPECT_EQ(reader.History()[i].isNew, 0);
        EXPECT_EQ(reader.History()[i].close, writer.History()[i].close);
    }
    EXPECT_EQ(reader.GetLastDate(), DayNumberToPlainOleDate(Day(5, 1, 2005)));
    // Compu Trac reads the same records but writes nothing.
    CExportDataFile compuTrac;
    EXPECT_TRUE(compuTrac.Read(dir.Path(), Symbol("SAP", 3), 3));
    EXPECT_EQ(compuTrac.History().size(), 3u);
    EXPECT_FALSE(compuTrac.Write(true));
}

ExportSymbolInfo IntradaySymbol(const std::string& text, int fileNumber) {
    ExportSymbolInfo s = Symbol(text, fileNumber);
    s.period = kPeriodIntraday;
    s.interval = 5;
    return s;
}

TEST(ExportDataFileTest, AnIntradaySeriesIsReadWithItsTimesWhateverTheFolderType) {
    TempDir dir;
    CExportDataFile writer;
    writer.BuildFileName(dir.Path(), IntradaySymbol("SAP", 1), kFormatMetaStockIntraday);
    writer.History() = Bars(3, 1);
    for (std::size_t i = 0; i < 3; ++i) {
        writer.History()[i].secondsOfDay = 9 * 3600 + 300 * static_cast<std::int32_t>(i);
    }
    ASSERT_TRUE(writer.Write(false));
    EXPECT_TRUE(writer.IsIntradaySeries());

    for (const int type : {kFormatMetaStockIntraday, kFormatMetaStock, kFormatCompuTrac}) {
        CExportDataFile reader;
        ASSERT_TRUE(reader.Read(dir.Path(), IntradaySymbol("SAP", 1), type)) << type;
        EXPECT_TRUE(reader.IsIntradaySeries()) << type;
        ASSERT_EQ(reader.History().size(), 3u);
        EXPECT_EQ(reader.History()[2].secondsOfDay, 9 * 3600 + 600) << type;
        EXPECT_EQ(reader.History()[2].open, writer.History()[2].open) << type;
    }
    // The same file taken for a daily series would be read with shifted columns.
    CExportDataFile daily;
    ASSERT_TRUE(daily.Read(dir.Path(), Symbol("SAP", 1), kFormatMetaStock));
    EXPECT_FALSE(daily.IsIntradaySeries());
    EXPECT_NE(daily.History()[0].close, writer.History()[0].close);
}

TEST(ExportDataFileTest, AnIntradayFolderTakesASymbolWithoutBarsAsIntraday) {
    TempDir dir;
    CExportDataFile fresh;
    EXPECT_FALSE(fresh.Read(dir.Path(), Symbol("SAP", 1), kFormatMetaStockIntraday));
    EXPECT_EQ(fresh.Symbol().period, kPeriodIntraday);
    EXPECT_TRUE(fresh.IsIntradaySeries());

    // A daily series another program keeps there stays daily, and the
    // update leaves it alone rather than dropping the times of its bars.
    CExportDataFile daily;
    daily.BuildFileName(dir.Path(), Symbol("BAS", 2), kFormatMetaStock);
    daily.History() = Bars(2, 1);
    ASSERT_TRUE(daily.Write(false));
    CExportDataFile reader;
    ASSERT_TRUE(reader.Read(dir.Path(), Symbol("BAS", 2), kFormatMetaStockIntraday));
    EXPECT_EQ(reader.Symbol().period, kPeriodDaily);
    EXPECT_FALSE(reader.IsIntradaySeries());
}

TEST(ExportDataFileTest, ReadAsStoredShowsTheBarsUncorrectedAndBlocksTheWrite) {
    TempDir dir;
    WriteBytes(dir.File("SAP.prn"), Text("050103,0,9,11,10,-5\r\n"));
    CExportDataFile stored;
    ASSERT_TRUE(stored.ReadAsStored(dir.Path(), Symbol("SAP"), kFormatAsciiComma));
    ASSERT_EQ(stored.History().size(), 1u);
    EXPECT_EQ(stored.History()[0].open, 0.0f);
    EXPECT_EQ(stored.History()[0].high, 9.0f);
    EXPECT_EQ(stored.History()[0].low, 11.0f);
    EXPECT_EQ(stored.History()[0].volume, -5);
    EXPECT_TRUE(stored.IsWriteBlocked());
    EXPECT_FALSE(stored.Write(true));

    CExportDataFile corrected;
    ASSERT_TRUE(corrected.Read(dir.Path(), Symbol("SAP"), kFormatAsciiComma));
    EXPECT_EQ(corrected.History()[0].open, 10.0f);
    EXPECT_FALSE(corrected.IsWriteBlocked());
}

TEST(ExportDataFileTest, MetaStockWriteWithoutNewBarsLeavesTheFileUntouched) {
    TempDir dir;
    CExportDataFile file;
    file.BuildFileName(dir.Path(), Symbol("SAP", 1), 4);
    file.History() = Bars(4);
    ASSERT_TRUE(file.Write(true));
    const auto written = ReadBytes(dir.File("F1.DAT"));
    WriteBytes(dir.File("F1.DAT"), {1, 2, 3}); // a marker: replaced only by a real write
    EXPECT_TRUE(file.Write(false));
    EXPECT_EQ(ReadBytes(dir.File("F1.DAT")), (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_TRUE(file.Write(true));
    EXPECT_EQ(ReadBytes(dir.File("F1.DAT")), written);
    file.History()[2].isNew = 1;
    WriteBytes(dir.File("F1.DAT"), {1, 2, 3});
    EXPECT_TRUE(file.Write(false));
    EXPECT_EQ(ReadBytes(dir.File("F1.DAT")), written);
    // An empty history written with force leaves an empty file.
    file.History().clear();
    EXPECT_TRUE(file.Write(true));
    EXPECT_TRUE(ReadBytes(dir.File("F1.DAT")).empty());
}

TEST(ExportDataFileTest, TooManyBarsOrAnUnknownFieldCountKeepTheOldFile) {
    TempDir dir;
    CExportDataFile file;
    file.BuildFileName(dir.Path(), Symbol("SAP", 1), 4);
    file.History() = Bars(5, 1);
    ASSERT_TRUE(file.Write(true));
    const auto old = ReadBytes(dir.File("F1.DAT"));
    file.History() = Bars(kMaxMetaStockBars + 1, 1);
    EXPECT_FALSE(file.Write(true));
    EXPECT_EQ(ReadBytes(dir.File("F1.DAT")), old);

    CExportDataFile noFields;
    noFields.BuildFileName(dir.Path(), Symbol("SAP", 1, 0), 4);
    noFields.History() = Bars(2, 1);
    EXPECT_FALSE(noFields.Write(true));
    EXPECT_EQ(ReadBytes(dir.File("F1.DAT")), old);
}

TEST(ExportDataFileTest, AFileThatCannotBeTakenBlocksItsRewrite) {
    TempDir dir;
    // An XMASTER field mask of no known count gives field count 0: the file is
    // not read with record length 0, and not replaced by what an update merges.
    WriteBytes(dir.File("F300.MWD"), std::vector<std::uint8_t>(56, 7));
    CExportDataFile file;
    EXPECT_FALSE(file.Read(dir.Path(), Symbol("X", 300, 0), 4));
    EXPECT_TRUE(file.IsWriteBlocked());
    file.Symbol().fieldCount = 7;
    file.History() = Bars(3, 1);
    EXPECT_FALSE(file.Write(true));
    EXPECT_EQ(ReadBytes(dir.File("F300.MWD")), std::vector<std::uint8_t>(56, 7));

    // An ASCII file of another layout.
    WriteBytes(dir.File("OTHER.prn"), Text("05/03/07;1;2;3;4\r\n"));
    CExportDataFile ascii;
    EXPECT_FALSE(ascii.Read(dir.Path(), Symbol("OTHER"), 5));
    ascii.History() = Bars(2, 1);
    EXPECT_FALSE(ascii.Write(true));
    EXPECT_EQ(ReadBytes(dir.File("OTHER.prn")), Text("05/03/07;1;2;3;4\r\n"));

    // A missing file blocks nothing: the history is written as a new file.
    CExportDataFile fresh;
    fresh.History() = Bars(1);
    EXPECT_FALSE(fresh.Read(dir.Path(), Symbol("NEW"), 5));
    EXPECT_EQ(fresh.History().size(), 1u); // left as it was
    EXPECT_FALSE(fresh.IsWriteBlocked());
    EXPECT_TRUE(fresh.Write(false));
    EXPECT_TRUE(IsRegularFile(dir.File("NEW.prn")));
}

TEST(ExportDataFileTest, UnsupportedTypesDoNothing) {
    TempDir dir;
    WriteBytes(dir.File("SAP.hdf"), {1});
    CExportDataFile file;
    EXPECT_FALSE(file.Read(dir.Path(), Symbol("SAP"), 7));
    EXPECT_EQ(file.FilePath(), dir.File("SAP.hdf"));
    EXPECT_FALSE(file.Delete());
    EXPECT_TRUE(IsRegularFile(dir.File("SAP.hdf")));
    EXPECT_FALSE(file.Write(true));
    EXPECT_FALSE(file.Read(dir.Path(), Symbol("SAP"), 2));
    EXPECT_FALSE(file.Read(dir.Path(), Symbol("SAP"), 99));
    EXPECT_EQ(file.GetLastDate(), 0.0);
}

TEST(ExportDataFileTest, AsciiWriteReadAndDelete) {
    TempDir dir;
    for (int type : {5, 9, 10, 11, 15, 17, 21}) {
        CExportDataFile writer;
        writer.BuildFileName(dir.Path(), Symbol("SYM"), type);
        writer.History() = Bars(3);
        if (type == 21) {
            writer.History()[2].secondsOfDay = 9 * 3600 + 30 * 60;
        }
        ASSERT_TRUE(writer.Write(false)) << type; // ASCII files are always written
        CExportDataFile reader;
        ASSERT_TRUE(reader.Read(dir.Path(), Symbol("SYM"), type)) << type;
        ASSERT_EQ(reader.History().size(), 3u);
        EXPECT_EQ(reader.History()[2].close, writer.History()[2].close);
        EXPECT_EQ(reader.GetLastDate(), writer.GetLastDate()) << type;
        EXPECT_TRUE(reader.Delete());
        EXPECT_FALSE(reader.Delete());
    }
    EXPECT_TRUE(ListFileNames(dir.Path()).empty());
}

TEST(ExportDataFileTest, FilesCopiedFromWindowsAreUsedUnderTheirOwnNames) {
    TempDir dir;
    CExportDataFile seed;
    seed.BuildFileName(dir.Path(), Symbol("SAP", 7), 4);
    seed.History() = Bars(2, 1);
    ASSERT_TRUE(seed.Write(true));
    // Written as f7.DAT by an earlier version of the system.
    const std::vector<std::uint8_t> bytes = ReadBytes(dir.File("F7.DAT"));
    ASSERT_TRUE(RemoveFile(dir.File("F7.DAT")));
    WriteBytes(dir.File("f7.DAT"), bytes);
    WriteBytes(dir.File("BAS.PRN"), Text("20050307,1,2,0.5,1.5,10\r\n"));

    CFolderListing listing(dir.Path());
    CExportDataFile file;
    file.UseFolderListing(&listing);
    ASSERT_TRUE(file.Read(dir.Path(), Symbol("SAP", 7), 4));
    EXPECT_EQ(file.FilePath(), dir.File("f7.DAT"));
    file.History().push_back(Bars(3, 1).back());
    ASSERT_TRUE(file.Write(false));

    CExportDataFile ascii; // without a listing the folder is searched directly
    ASSERT_TRUE(ascii.Read(dir.Path(), Symbol("BAS"), 15));
    ASSERT_TRUE(ascii.Write(false));
    EXPECT_EQ(ListFileNames(dir.Path()).size(), 2u); // no F7.DAT or BAS.prn beside them
    EXPECT_TRUE(IsRegularFile(dir.File("BAS.PRN")));
    CExportDataFile again;
    ASSERT_TRUE(again.Read(dir.Path(), Symbol("SAP", 7), 4));
    EXPECT_EQ(again.History().size(), 3u);
    EXPECT_TRUE(again.Delete());
    EXPECT_FALSE(IsRegularFile(dir.File("f7.DAT")));
}

TEST(ExportDataFileTest, ReadFirstAndLastOfHermesFiles) {
    TempDir dir;
    std::string text = "Datum,Open,High,Low,Close,Volume\r\n";
    for (int i = 1; i <= 400; ++i) {
        const DATUM date = DayNumberToDatum(Day(1, 1, 2005) + i);
        char line[64];
        std::snprintf(line, sizeof line, "%04d%02d%02d,%d.5,%d,%d,%d.25,%d\r\n", date.year,
                      date.month, date.day, i, i + 1, i - 1, i, i * 10);
        text += line;
    }
    text += "\r\n";
    WriteBytes(dir.File("LONGNAME123.asc"), Text(text)); // beyond the 4 KB windows
    CExportDataFile file;
    ASSERT_TRUE(file.ReadFirstAndLast(dir.Path(), Symbol("LONGNAME123")));
    ASSERT_EQ(file.History().size(), 2u);
    const PERIODE& first = file.History()[0];
    const PERIODE& last = file.History()[1];
    EXPECT_EQ(first.dayNumber, Day(2, 1, 2005));
    EXPECT_EQ(first.open, 1.5f); // stored as written: no correction
    EXPECT_EQ(first.sourcePos, 0);
    EXPECT_EQ(last.dayNumber, Day(1, 1, 2005) + 400);
    EXPECT_EQ(last.volume, 4000);
    EXPECT_EQ(last.sourcePos, -1);

    WriteBytes(dir.File("ONE.asc"), Text("20050307,1,2,0.5,1.5"));
    ASSERT_TRUE(file.ReadFirstAndLast(dir.Path(), Symbol("ONE")));
    ASSERT_EQ(file.History().size(), 2u);
    EXPECT_EQ(file.History()[0].dayNumber, file.History()[1].dayNumber);

    WriteBytes(dir.File("EMPTY.asc"), {});
    EXPECT_FALSE(file.ReadFirstAndLast(dir.Path(), Symbol("EMPTY")));
    EXPECT_TRUE(file.History().empty());
    EXPECT_FALSE(file.ReadFirstAndLast(dir.Path(), Symbol("MISSING")));
}

// The edges are the first and last lines the whole-file read takes: a line
// end of CR LF counts once, so a line of 258 characters still holds a bar and
// one of 259 does not, at the end of the file as anywhere else.
TEST(ExportDataFileTest, FirstAndLastTakeTheLinesThatTheWholeReadTakes) {
    TempDir dir;
    const auto padded = [](const std::string& date, std::size_t length) {
        const std::string head = date + ",1,2,0.5,";
        return head + std::string(length - head.size() - 3, '0') + "1.5";
    };
    const std::string longest = padded("20050308", CLineMemFile::kMaxLineChars - 1);
    const std::string tooLong = padded("20050309", CLineMemFile::kMaxLineChars);
    WriteBytes(dir.File("EDGE.asc"), Text("20050307,1,2,0.5,1.5\r\n" + longest + "\r\n" + tooLong));
    CExportDataFile whole;
    ASSERT_TRUE(whole.Read(dir.Path(), Symbol("EDGE"), kFormatHermes));
    ASSERT_EQ(whole.History().size(), 2u);
    EXPECT_EQ(whole.History().back().dayNumber, Day(8, 3, 2005));

    CExportDataFile edges;
    ASSERT_TRUE(edges.ReadFirstAndLast(dir.Path(), Symbol("EDGE")));
    ASSERT_EQ(edges.History().size(), 2u);
    EXPECT_EQ(edges.History()[1].dayNumber, Day(8, 3, 2005));
}

} // namespace
} // namespace mvr
