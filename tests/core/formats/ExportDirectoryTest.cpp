#include "core/formats/ExportDirectory.h"

#include "core/formats/AsciiIndex.h"
#include "core/formats/ExportDataFile.h"
#include "core/platform/Bytes.h"
#include "core/platform/FileSystem.h"
#include "core/platform/Paths.h"
#include "FolderFixtures.h"

#include <gtest/gtest.h>

namespace mvr {
namespace {

using test::NewSymbol;
using test::OleDay;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

using Bytes = std::vector<std::uint8_t>;

Bytes Text(const std::string& text) {
    return {text.begin(), text.end()};
}

TEST(AsciiIndexTest, GoldenTwoSymbolIndex) {
    TempDir dir;
    ExportSymbolInfo a = NewSymbol("SAP", 11, "SAP SE");
    ExportSymbolInfo b = NewSymbol("BAS", 12, "BASF");
    b.firstDate = OleDay(1, 2, 2003);
    {
        CExportDirectory directory(15);
        ASSERT_TRUE(directory.Create(dir.Path(), OleDay(7, 3, 2005), 15));
        EXPECT_TRUE(directory.IsIndexLoaded());
        const Bytes empty = ReadBytes(dir.File("mvrexp.mas"));
        ASSERT_EQ(empty.size(), 80u);
        ASSERT_TRUE(directory.AddSymbol(a));
        ASSERT_TRUE(directory.AddSymbol(b));
        EXPECT_EQ(a.firstDate, OleDay(7, 3, 2005));
        EXPECT_EQ(a.fileNumber, 0); // file numbers are MetaStock's
        ASSERT_TRUE(directory.Save());
        EXPECT_FALSE(directory.IsModified());
    }
    const Bytes file = ReadBytes(dir.File("mvrexp.mas"));
    ASSERT_EQ(file.size(), 1536u);
    Bytes header(80, 0);
    StoreLEInt32(header.data(), 256);
    StoreLEInt32(header.data() + 4, 15);
    StoreLEInt32(header.data() + 8, 2);
    StoreLEDouble(header.data() + 16, OleDay(7, 3, 2005));
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 80), header);
    std::array<std::uint8_t, ExportSymbolInfo::kSize> record;
    a.Serialize(record);
    EXPECT_EQ(Bytes(file.begin() + 80, file.begin() + 808), Bytes(record.begin(), record.end()));
    b.Serialize(record);
    EXPECT_EQ(Bytes(file.begin() + 808, file.end()), Bytes(record.begin(), record.end()));

    CExportDirectory reread;
    EXPECT_EQ(reread.DetectFormat(dir.Path()), 15);
    ASSERT_TRUE(reread.Open(dir.Path(), 15));
    ASSERT_EQ(reread.SymbolCount(), 2u);
    EXPECT_EQ(reread.GetSymbol(0), a);
    EXPECT_EQ(reread.GetSymbol(1), b);
    EXPECT_EQ(reread.StartDate(), OleDay(7, 3, 2005));
}

TEST(AsciiIndexTest, AnIndexOfAnotherTypeGivesAnEmptyList) {
    TempDir dir;
    {
        CExportDirectory directory(5);
        ASSERT_TRUE(directory.Create(dir.Path(), OleDay(1, 1, 2001), 5));
        ExportSymbolInfo s = NewSymbol("SAP", 1);
        directory.AddSymbol(s);
    } // saved on destruction
    CExportDirectory other;
    ASSERT_TRUE(other.Open(dir.Path(), 9));
    EXPECT_EQ(other.SymbolCount(), 0u);
    EXPECT_FALSE(other.IsIndexLoaded());
    EXPECT_EQ(other.StartDate(), OleDay(1, 1, 2001));
    ASSERT_TRUE(other.Save());
    EXPECT_EQ(LoadLEInt32(ReadBytes(dir.File("mvrexp.mas")).data() + 4), 9);
    EXPECT_EQ(ReadBytes(dir.File("mvrexp.mas")).size(), 80u);
}

TEST(AsciiIndexTest, ACutIndexGivesTheRecordsThatAreThere) {
    TempDir dir;
    {
        CExportDirectory directory(5);
        ASSERT_TRUE(directory.Create(dir.Path(), 0.0, 5));
        for (int i = 1; i <= 3; ++i) {
            ExportSymbolInfo s = NewSymbol("S" + std::to_string(i), i);
            directory.AddSymbol(s);
        }
    }
    Bytes file = ReadBytes(dir.File("mvrexp.mas"));
    file.resize(80 + 2 * 728 + 100);
    WriteBytes(dir.File("mvrexp.mas"), file);
    CExportDirectory directory;
    ASSERT_TRUE(directory.Open(dir.Path(), 5));
    EXPECT_EQ(directory.SymbolCount(), 2u);
    EXPECT_FALSE(directory.Problem().empty());
    EXPECT_FALSE(directory.IsWriteProtected());
}

TEST(ExportDirectoryTest, DetectFormat) {
    TempDir dir;
    CExportDirectory directory;
    EXPECT_EQ(directory.DetectFormat(dir.Path()), kFormatUnrecognised);
    EXPECT_EQ(directory.FormatType(), kFormatUnrecognised);
    WriteBytes(dir.File("Master"), Bytes(53, 0));
    EXPECT_EQ(directory.DetectFormat(WithoutTrailingSeparator(dir.Path())), 4);
    EXPECT_EQ(directory.Path(), dir.Path());
    // An index of an ASCII type wins; one that names no ASCII type is no index.
    Bytes header(80, 0);
    StoreLEInt32(header.data(), 256);
    StoreLEInt32(header.data() + 4, 21);
    WriteBytes(dir.File("MVREXP.MAS"), header);
    EXPECT_EQ(directory.DetectFormat(dir.Path()), 21);
    StoreLEInt32(header.data() + 4, 4);
    WriteBytes(dir.File("MVREXP.MAS"), header);
    EXPECT_EQ(directory.DetectFormat(dir.Path()), 4);
    WriteBytes(dir.File("MVREXP.MAS"), Bytes(10, 0));
    EXPECT_EQ(directory.DetectFormat(dir.Path()), 4);
}

TEST(ExportDirectoryTest, OpenWithoutAnIndex) {
    TempDir dir;
    CExportDirectory directory(5);
    ASSERT_TRUE(directory.Create(dir.Path(), 0.0, 5));
    ExportSymbolInfo s = NewSymbol("SAP", 1);
    directory.AddSymbol(s);
    ASSERT_TRUE(directory.Save());
    TempDir empty;
    EXPECT_FALSE(directory.Open(empty.Path(), 5));
    EXPECT_EQ(directory.SymbolCount(), 1u); // the list stays as it was
    EXPECT_FALSE(directory.Problem().empty());
    EXPECT_FALSE(directory.Open(empty.Path(), 4));
    EXPECT_FALSE(directory.Open(dir.Path(), 2)); // a format without an index
    EXPECT_FALSE(directory.Save());
    EXPECT_FALSE(directory.Create(dir.Path(), 0.0, 7));
    EXPECT_FALSE(directory.Open(dir.Path() + std::string(255, 'x') + "/", 5));
}

TEST(ExportDirectoryTest, FindAddAndRemove) {
    TempDir dir;
    CExportDirectory directory(4);
    ASSERT_TRUE(directory.Create(dir.Path(), 0.0, 4));
    ExportSymbolInfo abc = NewSymbol("ABC", 7);
    ASSERT_TRUE(directory.AddSymbol(abc));
    EXPECT_TRUE(directory.IsModified());
    EXPECT_EQ(directory.FindSymbol("ABC"), 0);
    EXPECT_EQ(directory.FindSymbol("abc"), -1);
    // A server number already listed adds nothing, and reports success.
    ExportSymbolInfo same = NewSymbol("OTHER", 7);
    EXPECT_TRUE(directory.AddSymbol(same));
    EXPECT_EQ(directory.SymbolCount(), 1u);
    EXPECT_EQ(same.fileNumber, 0);
    EXPECT_FALSE(directory.RemoveBySymbol("abc"));
    EXPECT_FALSE(directory.RemoveBySInCode(8));
    EXPECT_TRUE(directory.RemoveBySInCode(7));
    EXPECT_EQ(directory.SymbolCount(), 0u);
    EXPECT_THROW(directory.GetSymbol(0), std::out_of_range);
}

TEST(ExportDirectoryTest, AFullMetaStockDirectoryRefusesMoreSymbols) {
    TempDir dir;
    CExportDirectory directory(4);
    ASSERT_TRUE(directory.Create(dir.Path(), 0.0, 4));
    for (int i = 1; i <= 5745; ++i) {
        ExportSymbolInfo s = NewSymbol("S", i);
        ASSERT_TRUE(directory.AddSymbol(s));
    }
    EXPECT_EQ(directory.GetSymbol(5744).fileNumber, 5745);
    ExportSymbolInfo s = NewSymbol("S", 99999);
    EXPECT_FALSE(directory.AddSymbol(s));
    ASSERT_TRUE(directory.RemoveBySInCode(1000));
    EXPECT_TRUE(directory.AddSymbol(s));
    EXPECT_EQ(s.fileNumber, 1000);
    EXPECT_TRUE(directory.Save());
    CExportDirectory reread;
    ASSERT_TRUE(reread.Open(dir.Path(), 4));
    EXPECT_EQ(reread.SymbolCount(), 5745u);
}

TEST(ExportDirectoryTest, SavesOnDestructionOnlyWhenModified) {
    TempDir dir;
    {
        CExportDirectory directory(4);
        ASSERT_TRUE(directory.Create(dir.Path(), 0.0, 4));
        ExportSymbolInfo s = NewSymbol("SAP", 1);
        directory.AddSymbol(s);
    }
    EXPECT_EQ(ReadBytes(dir.File("MASTER")).size(), 106u);
    WriteBytes(dir.File("EMASTER"), {9}); // replaced only by a real save
    {
        CExportDirectory directory;
        ASSERT_TRUE(directory.Open(dir.Path(), 4));
        directory.GetSymbol(0).lastDate = OleDay(3, 3, 2003); // edits alone do not save
    }
    EXPECT_EQ(ReadBytes(dir.File("EMASTER")), Bytes{9});
}

TEST(ExportDirectoryTest, CreateReplacesTheWholeIndex) {
    TempDir dir;
    {
        CExportDirectory directory(4);
        ASSERT_TRUE(directory.Create(dir.Path(), 0.0, 4));
        for (int i = 1; i <= 260; ++i) {
            ExportSymbolInfo s = NewSymbol("S", i);
            directory.AddSymbol(s);
        }
    }
    ASSERT_TRUE(EntryExists(dir.File("XMASTER")));
    CExportDirectory directory(4);
    ASSERT_TRUE(directory.Create(dir.Path(), 0.0, 4));
    EXPECT_FALSE(EntryExists(dir.File("XMASTER")));
    ASSERT_TRUE(directory.Open(dir.Path(), 4));
    EXPECT_EQ(directory.SymbolCount(), 0u);
}

TEST(ExportDirectoryTest, HermesFoldersAreScannedForTheirFiles) {
    TempDir dir;
    WriteBytes(dir.File("SAP.asc"), Text("20050307,1,2,0.5,1.5,10\r\n20050309,1,2,0.5,1.5,10\r\n"));
    WriteBytes(dir.File("AVERYLONGNAME.ASC"), Text("20060102,1,2,0.5,1.5\r\n"));
    WriteBytes(dir.File("EMPTY.asc"), {});
    WriteBytes(dir.File(".asc"), Text("20060102,1,2,0.5,1.5\r\n"));
    WriteBytes(dir.File("notes.txt"), Text("20060102,1,2,0.5,1.5\r\n"));
    CExportDirectory directory(17);
    ASSERT_TRUE(directory.Open(dir.Path(), 17));
    ASSERT_EQ(directory.SymbolCount(), 3u);
    const ExportSymbolInfo& longName = directory.GetSymbol(0);
    EXPECT_EQ(longName.symbol, "AVERYLONGNAME");
    EXPECT_EQ(longName.name, "AVERYLONGNAME");
    EXPECT_EQ(longName.sinCode, 0);
    EXPECT_EQ(longName.firstDate, OleDay(2, 1, 2006));
    EXPECT_EQ(longName.lastDate, OleDay(2, 1, 2006));
    EXPECT_EQ(directory.GetSymbol(1).symbol, "EMPTY");
    EXPECT_EQ(directory.GetSymbol(1).firstDate, 0.0);
    EXPECT_EQ(directory.GetSymbol(2).lastDate, OleDay(9, 3, 2005));
    EXPECT_EQ(directory.GetSymbol(2).fieldCount, 7);
    // The full base name names the data file.
    CExportDataFile file;
    file.UseFolderListing(&directory.FolderListing());
    ASSERT_TRUE(file.Read(directory.Path(), longName, 17));
    EXPECT_EQ(file.FilePath(), dir.File("AVERYLONGNAME.ASC"));
    EXPECT_TRUE(directory.Save());
    EXPECT_TRUE(directory.Create(dir.Path(), 0.0, 17));
}

TEST(ExportDirectoryTest, ReloadReadsTheIndexAgain) {
    TempDir dir;
    CExportDirectory first(5);
    ASSERT_TRUE(first.Create(dir.Path(), 0.0, 5));
    CExportDirectory second;
    ASSERT_TRUE(second.Open(dir.Path(), 5));
    ExportSymbolInfo s = NewSymbol("SAP", 1);
    first.AddSymbol(s);
    ASSERT_TRUE(first.Save());
    EXPECT_EQ(second.SymbolCount(), 0u);
    ASSERT_TRUE(second.Reload());
    EXPECT_EQ(second.SymbolCount(), 1u);
    ASSERT_TRUE(RemoveFile(dir.File("mvrexp.mas")));
    EXPECT_FALSE(second.Reload());
    EXPECT_EQ(second.SymbolCount(), 1u);
}

TEST(ExportDirectoryTest, DataFilesOfAFolderAreResolvedWithOneListing) {
    TempDir dir;
    {
        CExportDirectory directory(4);
        ASSERT_TRUE(directory.Create(dir.Path(), 0.0, 4));
        for (int i = 1; i <= 300; ++i) {
            ExportSymbolInfo s = NewSymbol("S" + std::to_string(i), i);
            directory.AddSymbol(s);
            CExportDataFile file;
            file.BuildFileName(dir.Path(), s, 4);
            PERIODE bar;
            bar.dayNumber = 730486;
            bar.close = static_cast<float>(i);
            file.History().push_back(bar);
            ASSERT_TRUE(file.Write(true));
            // As an earlier version of the system named them.
            const std::string name = FileNamePart(file.FilePath());
            ASSERT_EQ(std::rename(file.FilePath().c_str(), dir.File("f" + name.substr(1)).c_str()),
                      0);
        }
    }
    CExportDirectory directory;
    ASSERT_TRUE(directory.Open(dir.Path(), 4));
    for (std::size_t i = 0; i < directory.SymbolCount(); ++i) {
        CExportDataFile file;
        file.UseFolderListing(&directory.FolderListing());
        ASSERT_TRUE(file.Read(directory.Path(), directory.GetSymbol(i), 4)) << i;
        ASSERT_EQ(file.History().size(), 1u);
        EXPECT_EQ(file.History()[0].close, static_cast<float>(i + 1));
    }
    EXPECT_EQ(directory.FolderListing().ListingCount(), 1u);
}

} // namespace
} // namespace mvr
