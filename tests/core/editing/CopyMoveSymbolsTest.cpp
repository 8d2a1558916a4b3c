// Copy and move of symbols between directories of different formats.

#include "core/editing/CopyMoveSymbols.h"

#include "core/net/UserRequests.h"
#include "core/platform/AtomicFile.h"
#include "core/platform/Paths.h"
#include "EditingFixtures.h"
#include "server/TestPriceServer.h"
#include "support/LongSymbolFolder.h"
#include "support/Running.h"
#include "support/SmallFileSystem.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace mvr {
namespace {

using test::Bar;
using test::ClosesAndVolumes;
using test::Day;
using test::MakeDirectory;
using test::RecordsOf;
using test::SymbolOnDisk;

MVRKrsExportInfo Directory(const std::string& path, int formatType, std::uint16_t interval = 10) {
    MVRKrsExportInfo record;
    record.path = WithTrailingSeparator(path);
    record.formatType = formatType;
    record.interval = interval;
    record.startDate = 40000.0;
    return record;
}

class CopyMoveSymbolsTest : public ::testing::Test {
protected:
    void SetUp() override {
        server.BecomeServer();
        std::string message;
        ASSERT_GT(Login("valid1", "pw", message, test::Running()), 0) << message;
    }

    std::string PathOf(const char* name) const { return WithTrailingSeparator(root.File(name)); }

    // The symbols of the source, as the main window hands them over.
    std::vector<ExportSymbolInfo> Selected(const MVRKrsExportInfo& source,
                                           const std::vector<std::string>& names) const {
        CExportDirectory directory(source.formatType);
        EXPECT_TRUE(directory.Open(source.path, source.formatType));
        std::vector<ExportSymbolInfo> symbols;
        for (const std::string& name : names) {
            const int at = directory.FindSymbol(name);
            EXPECT_GE(at, 0) << name;
            if (at >= 0) {
                symbols.push_back(directory.GetSymbol(static_cast<std::size_t>(at)));
            }
        }
        return symbols;
    }

    std::vector<ExportSymbolInfo> SymbolsOf(const MVRKrsExportInfo& record) const {
        CExportDirectory directory(record.formatType);
        directory.Open(record.path, record.formatType);
        return directory.Symbols();
    }

    // The reference server knows SAPX as 1001 and APLX as 1002.
    const PriceHistory sapx{Bar(Day(4, 1, 2010), 50.0f, 100), Bar(Day(5, 1, 2010), 51.0f, 200)};
    const PriceHistory aplx{Bar(Day(6, 1, 2010), 30.0f, 300)};
    const PriceHistory oldAplx{Bar(Day(1, 1, 2005), 9.0f, 9), Bar(Day(2, 1, 2005), 9.5f, 9)};
    test::TestPriceServer server;
    test::TempDir root;
};

// BIOTEC.OL and BIOTEC.OS of a foreign folder: in a MetaStock target both
// would keep only BIOTEC.O, so the second must not land on the first's file.
TEST_F(CopyMoveSymbolsTest, LongSymbolsSharingTheirFirstEightCharactersStayApart) {
    const MVRKrsExportInfo source = Directory(PathOf("long"), kFormatMetaStock);
    const MVRKrsExportInfo target = Directory(PathOf("target"), kFormatMetaStock);
    ASSERT_TRUE(CreateFolders(source.path));
    test::WriteLongSymbolFolder(source.path);
    MakeDirectory(target.path, kFormatMetaStock, {});

    CCopyMoveSymbols dialog({source, target}, 0, Selected(source, {"BIOTEC.OL", "BIOTEC.OS"}), 1);
    const CopyMoveResult& result = dialog.Move();
    EXPECT_EQ(result.copied, 1);
    ASSERT_EQ(result.refused.size(), 1u);
    EXPECT_EQ(result.refused[0].symbol, "BIOTEC.OS");
    EXPECT_EQ(result.refused[0].reason, CopyRefusal::FileNameTaken);
    const auto copied = RecordsOf(target.path, kFormatMetaStock, "BIOTEC.O");
    ASSERT_EQ(copied.size(), 1u);
    EXPECT_EQ(copied[0].close, 1.0f); // BIOTEC.OL's bar, not BIOTEC.OS's
    std::vector<std::string> left;
    for (const ExportSymbolInfo& symbol : SymbolsOf(source)) {
        left.push_back(FullSymbolText(symbol));
    }
    EXPECT_EQ(left,
              (std::vector<std::string>{"BIOTEC.OS", "NHY", "NORDICSEMI.OL", "NORDICSEMI.OSLO"}));
}

TEST_F(CopyMoveSymbolsTest, DialogTextsNameTheCountAndTheTarget) {
    MVRKrsExportInfo linked = Directory("/a", kFormatMetaStock);
    linked.catalogueId = 5;
    const std::vector<ExportSymbolInfo> three(3);
    CCopyMoveSymbols dialog({linked, Directory("/b", kFormatAsciiComma)}, 0, three, 1);
    EXPECT_EQ(dialog.CountText(), "No. of selected Symbols: 3");
    EXPECT_EQ(dialog.CopyButtonText(), "Copy to '" + WithTrailingSeparator("/b") + "'");
    EXPECT_EQ(dialog.MoveButtonText(), "Move to '" + WithTrailingSeparator("/b") + "'");
    EXPECT_FALSE(dialog.MoveEnabled());
    CCopyMoveSymbols back({linked, Directory("/b", kFormatAsciiComma)}, 1, three, 0);
    EXPECT_TRUE(back.MoveEnabled());
}

TEST_F(CopyMoveSymbolsTest, CopyFromMetaStockIntoAsciiReplacesExistingAndAddsNewSymbols) {
    const MVRKrsExportInfo source = Directory(PathOf("ms"), kFormatMetaStock);
    const MVRKrsExportInfo target = Directory(PathOf("ascii"), kFormatAsciiComma, 15);
    MakeDirectory(source.path, kFormatMetaStock, {{"SAPX", 0, sapx}, {"APLX", 0, aplx}});
    MakeDirectory(target.path, kFormatAsciiComma, {{"APLX", 1002, oldAplx}});

    CCopyMoveSymbols dialog({source, target}, 0, Selected(source, {"SAPX", "APLX"}), 1);
    const CopyMoveResult& result = dialog.Copy();
    EXPECT_EQ(result.copied, 2);
    EXPECT_TRUE(result.refused.empty());

    EXPECT_EQ(ClosesAndVolumes(RecordsOf(target.path, kFormatAsciiComma, "APLX")),
              ClosesAndVolumes(aplx));
    EXPECT_EQ(ClosesAndVolumes(RecordsOf(target.path, kFormatAsciiComma, "SAPX")),
              ClosesAndVolumes(sapx));
    const auto copied = SymbolsOf(target);
    ASSERT_EQ(copied.size(), 2u);
    const ExportSymbolInfo& added = copied[1];
    EXPECT_EQ(added.symbol, "SAPX");
    EXPECT_EQ(added.sinCode, 1001); // looked up: MetaStock keeps no numbers
    EXPECT_EQ(added.interval, 15);
    EXPECT_EQ(added.firstDate, DayNumberToPlainOleDate(Day(4, 1, 2010)));
    EXPECT_EQ(added.lastDate, DayNumberToPlainOleDate(Day(5, 1, 2010)));
    EXPECT_EQ(copied[0].firstDate, DayNumberToPlainOleDate(Day(6, 1, 2010)));
    // A copy leaves the source alone.
    EXPECT_EQ(SymbolsOf(source).size(), 2u);
}

TEST_F(CopyMoveSymbolsTest, CopyFromAsciiIntoMetaStockWritesMetaStockFiles) {
    const MVRKrsExportInfo source = Directory(PathOf("ascii"), kFormatAsciiComma);
    const MVRKrsExportInfo target = Directory(PathOf("ms"), kFormatMetaStock);
    MakeDirectory(source.path, kFormatAsciiComma, {{"SAPX", 1001, sapx}, {"APLX", 1002, aplx}});
    MakeDirectory(target.path, kFormatMetaStock, {{"APLX", 0, oldAplx}});

    CCopyMoveSymbols dialog({source, target}, 0, Selected(source, {"APLX", "SAPX"}), 1);
    EXPECT_EQ(dialog.Copy().copied, 2);
    EXPECT_EQ(ClosesAndVolumes(RecordsOf(target.path, kFormatMetaStock, "APLX")),
              ClosesAndVolumes(aplx));
    EXPECT_EQ(ClosesAndVolumes(RecordsOf(target.path, kFormatMetaStock, "SAPX")),
              ClosesAndVolumes(sapx));
    const auto copied = SymbolsOf(target);
    ASSERT_EQ(copied.size(), 2u);
    EXPECT_EQ(copied[1].fileNumber, 2);
}

TEST_F(CopyMoveSymbolsTest, CopyOfASymbolWithoutRecordsGivesItNoDates) {
    const MVRKrsExportInfo source = Directory(PathOf("a"), kFormatAsciiComma);
    const MVRKrsExportInfo target = Directory(PathOf("b"), kFormatAsciiTab);
    MakeDirectory(source.path, kFormatAsciiComma, {{"SAPX", 1001, {}}});
    MakeDirectory(target.path, kFormatAsciiTab, {});
    CCopyMoveSymbols dialog({source, target}, 0, Selected(source, {"SAPX"}), 1);
    EXPECT_EQ(dialog.Copy().copied, 1);
    const auto copied = SymbolsOf(target);
    ASSERT_EQ(copied.size(), 1u);
    EXPECT_EQ(copied[0].firstDate, 0.0);
    EXPECT_EQ(copied[0].lastDate, 0.0);
}

TEST_F(CopyMoveSymbolsTest, MoveRemovesTheSymbolsAndTheirFilesFromTheSource) {
    const MVRKrsExportInfo source = Directory(PathOf("ms"), kFormatMetaStock);
    const MVRKrsExportInfo target = Directory(PathOf("ascii"), kFormatAsciiComma);
    MakeDirectory(source.path, kFormatMetaStock,
                  {{"SAPX", 0, sapx}, {"APLX", 0, aplx}, {"IDX", 0, aplx}});
    MakeDirectory(target.path, kFormatAsciiComma, {});
    ASSERT_TRUE(EntryExists(source.path + "F1.DAT"));

    CCopyMoveSymbols dialog({source, target}, 0, Selected(source, {"SAPX", "APLX"}), 1);
    EXPECT_EQ(dialog.Move().copied, 2);
    const auto left = SymbolsOf(source);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].symbol, "IDX");
    EXPECT_FALSE(EntryExists(source.path + "F1.DAT"));
    EXPECT_FALSE(EntryExists(source.path + "F2.DAT"));
    EXPECT_TRUE(EntryExists(source.path + "F3.DAT"));
    EXPECT_EQ(SymbolsOf(target).size(), 2u);
    EXPECT_EQ(ClosesAndVolumes(RecordsOf(target.path, kFormatAsciiComma, "SAPX")),
              ClosesAndVolumes(sapx));
}

TEST_F(CopyMoveSymbolsTest, SymbolsMatchWithLetterCaseSoSapIsAddedBesideSAP) {
    const MVRKrsExportInfo source = Directory(PathOf("ascii"), kFormatAsciiComma);
    const MVRKrsExportInfo target = Directory(PathOf("ms"), kFormatMetaStock);
    MakeDirectory(source.path, kFormatAsciiComma, {{"SAP", 7001, sapx}});
    MakeDirectory(target.path, kFormatMetaStock, {{"sap", 0, oldAplx}});
    CCopyMoveSymbols dialog({source, target}, 0, Selected(source, {"SAP"}), 1);
    EXPECT_EQ(dialog.Copy().copied, 1);
    const auto copied = SymbolsOf(target);
    ASSERT_EQ(copied.size(), 2u);
    EXPECT_EQ(ClosesAndVolumes(RecordsOf(target.path, kFormatMetaStock, "sap")),
              ClosesAndVolumes(oldAplx));
    EXPECT_EQ(ClosesAndVolumes(RecordsOf(target.path, kFormatMetaStock, "SAP")),
              ClosesAndVolumes(sapx));
}

TEST_F(CopyMoveSymbolsTest, SymbolsWhosePriceFileWouldBeAnothersStayInTheSource) {
    const MVRKrsExportInfo source = Directory(PathOf("a"), kFormatAsciiComma);
    const MVRKrsExportInfo target = Directory(PathOf("b"), kFormatAsciiComma);
    MakeDirectory(source.path, kFormatAsciiComma, {{"SAP", 7001, sapx}});
    MakeDirectory(target.path, kFormatAsciiComma, {{"sap", 7002, oldAplx}});
    CCopyMoveSymbols dialog({source, target}, 0, Selected(source, {"SAP"}), 1);
    const CopyMoveResult& result = dialog.Move();
    EXPECT_EQ(result.copied, 0);
    ASSERT_EQ(result.refused.size(), 1u);
    EXPECT_EQ(result.refused[0].reason, CopyRefusal::FileNameTaken);
    EXPECT_EQ(ClosesAndVolumes(RecordsOf(target.path, kFormatAsciiComma, "sap")),
              ClosesAndVolumes(oldAplx));
    EXPECT_EQ(ClosesAndVolumes(RecordsOf(source.path, kFormatAsciiComma, "SAP")),
              ClosesAndVolumes(sapx));
}

// The second of two symbols copied in one go must not take the file the
// first has just been given.
TEST_F(CopyMoveSymbolsTest, TwoSymbolsThatDifferInCaseOnlyGiveTheTargetOneFileOfTheFirst) {
    const MVRKrsExportInfo source = Directory(PathOf("ms"), kFormatMetaStock);
    const MVRKrsExportInfo target = Directory(PathOf("ascii"), kFormatAsciiComma);
    MakeDirectory(source.path, kFormatMetaStock, {{"SAP", 7001, sapx}, {"sap", 7002, aplx}});
    MakeDirectory(target.path, kFormatAsciiComma, {});
    CCopyMoveSymbols dialog({source, target}, 0, Selected(source, {"SAP", "sap"}), 1);
    const CopyMoveResult& result = dialog.Move();
    EXPECT_EQ(result.copied, 1);
    ASSERT_EQ(result.refused.size(), 1u);
    EXPECT_EQ(result.refused[0].symbol, "sap");
    EXPECT_EQ(result.refused[0].reason, CopyRefusal::FileNameTaken);
    ASSERT_EQ(SymbolsOf(target).size(), 1u);
    EXPECT_EQ(ClosesAndVolumes(RecordsOf(target.path, kFormatAsciiComma, "SAP")),
              ClosesAndVolumes(sapx));
    // The refused one stays in the source with its records.
    ASSERT_EQ(SymbolsOf(source).size(), 1u);
    EXPECT_EQ(ClosesAndVolumes(RecordsOf(source.path, kFormatMetaStock, "sap")),
              ClosesAndVolumes(aplx));
}

TEST_F(CopyMoveSymbolsTest, ASymbolTheTargetRefusesStaysInTheSourceWithItsFile) {
    const MVRKrsExportInfo source = Directory(PathOf("a"), kFormatAsciiComma);
    const MVRKrsExportInfo target = Directory(PathOf("b"), kFormatAsciiTab);
    // OTHER has the server number of SAPX: the target takes no second symbol of it.
    MakeDirectory(source.path, kFormatAsciiComma, {{"SAPX", 1001, sapx}, {"APLX", 1002, aplx}});
    MakeDirectory(target.path, kFormatAsciiTab, {{"OTHER", 1001, oldAplx}});
    CCopyMoveSymbols dialog({source, target}, 0, Selected(source, {"SAPX", "APLX"}), 1);
    const CopyMoveResult& result = dialog.Move();
    EXPECT_EQ(result.copied, 1);
    ASSERT_EQ(result.refused.size(), 1u);
    EXPECT_EQ(result.refused[0].symbol, "SAPX");
    EXPECT_EQ(result.refused[0].reason, CopyRefusal::NotAdded);
    const auto left = SymbolsOf(source);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].symbol, "SAPX");
    EXPECT_EQ(ClosesAndVolumes(RecordsOf(source.path, kFormatAsciiComma, "SAPX")),
              ClosesAndVolumes(sapx));
    EXPECT_EQ(RefusedSymbolsText(result, true),
              "The following symbols were not moved:\nSAPX: the target directory does not take it");
}

TEST_F(CopyMoveSymbolsTest, AnUnreadableSourceFileIsNeitherCopiedNorDeleted) {
    const MVRKrsExportInfo source = Directory(PathOf("a"), kFormatMetaStock);
    const MVRKrsExportInfo target = Directory(PathOf("b"), kFormatAsciiComma);
    MakeDirectory(source.path, kFormatMetaStock, {{"SAPX", 0, sapx}});
    MakeDirectory(target.path, kFormatAsciiComma, {{"SAPX", 1001, oldAplx}});
    // A field count of no known record length: the file cannot be read.
    std::vector<ExportSymbolInfo> selected = Selected(source, {"SAPX"});
    selected[0].fieldCount = 3;
    CCopyMoveSymbols dialog({source, target}, 0, selected, 1);
    const CopyMoveResult& result = dialog.Move();
    ASSERT_EQ(result.refused.size(), 1u);
    EXPECT_EQ(result.refused[0].reason, CopyRefusal::SourceUnreadable);
    EXPECT_TRUE(EntryExists(source.path + "F1.DAT"));
    EXPECT_EQ(SymbolsOf(source).size(), 1u);
    EXPECT_EQ(ClosesAndVolumes(RecordsOf(target.path, kFormatAsciiComma, "SAPX")),
              ClosesAndVolumes(oldAplx));
}

// Index writes that fail as a full disk or a kill would make them fail.
class FailingIndexWrites {
public:
    explicit FailingIndexWrites(std::string indexPath)
        : interruption_([indexPath](const std::string& target) { return target != indexPath; }) {}

private:
    CScopedAtomicWriteInterruption interruption_;
};

TEST_F(CopyMoveSymbolsTest, AMoveWhoseIndexCannotBeSavedLosesNothing) {
    const MVRKrsExportInfo source = Directory(PathOf("a"), kFormatAsciiComma);
    const MVRKrsExportInfo target = Directory(PathOf("b"), kFormatAsciiTab);
    MakeDirectory(source.path, kFormatAsciiComma, {{"SAPX", 1001, sapx}});
    MakeDirectory(target.path, kFormatAsciiTab, {});
    {
        const FailingIndexWrites failing(target.path + "mvrexp.mas");
        CCopyMoveSymbols dialog({source, target}, 0, Selected(source, {"SAPX"}), 1);
        const CopyMoveResult& result = dialog.Move();
        ASSERT_EQ(result.refused.size(), 1u);
        EXPECT_EQ(result.refused[0].reason, CopyRefusal::TargetNotWritten);
    }
    EXPECT_EQ(ClosesAndVolumes(RecordsOf(source.path, kFormatAsciiComma, "SAPX")),
              ClosesAndVolumes(sapx));
    {
        const FailingIndexWrites failing(source.path + "mvrexp.mas");
        CCopyMoveSymbols dialog({source, target}, 0, Selected(source, {"SAPX"}), 1);
        const CopyMoveResult& result = dialog.Move();
        ASSERT_EQ(result.refused.size(), 1u);
        EXPECT_EQ(result.refused[0].reason, CopyRefusal::SourceNotSaved);
    }
    // Copied, and still where it was.
    EXPECT_EQ(ClosesAndVolumes(RecordsOf(target.path, kFormatAsciiTab, "SAPX")),
              ClosesAndVolumes(sapx));
    EXPECT_EQ(ClosesAndVolumes(RecordsOf(source.path, kFormatAsciiComma, "SAPX")),
              ClosesAndVolumes(sapx));
}

TEST_F(CopyMoveSymbolsTest, AMoveOntoAFullDiskNamesTheTargetAndLosesNothing) {
    test::SmallFileSystem disk(256 * 1024);
    if (!disk.Mounted()) {
        GTEST_SKIP() << disk.SkipReason();
    }
    const MVRKrsExportInfo source = Directory(PathOf("a"), kFormatAsciiComma);
    const MVRKrsExportInfo target =
        Directory(WithTrailingSeparator(disk.File("b")), kFormatAsciiComma);
    MakeDirectory(source.path, kFormatAsciiComma, {{"SAPX", 1001, sapx}, {"APLX", 1002, aplx}});
    MakeDirectory(target.path, kFormatAsciiComma, {});
    const auto sourceBefore = test::FolderContents(source.path);
    const auto targetBefore = test::FolderContents(target.path);
    disk.Fill();
    {
        CCopyMoveSymbols dialog({source, target}, 0, Selected(source, {"SAPX", "APLX"}), 1);
        const CopyMoveResult& result = dialog.Move();
        EXPECT_EQ(result.copied, 0);
        ASSERT_EQ(result.refused.size(), 2u);
        EXPECT_EQ(result.refused[0].reason, CopyRefusal::TargetNotWritten);
        const std::string text = RefusedSymbolsText(result, true);
        EXPECT_NE(text.find("Files in " + target.path +
                            " could not be written (No space left on device)"),
                  std::string::npos)
            << text;
    }
    EXPECT_EQ(test::FolderContents(source.path), sourceBefore);
    EXPECT_EQ(test::FolderContents(target.path), targetBefore);

    // With room again the same move goes through.
    disk.FreeFiller();
    CCopyMoveSymbols dialog({source, target}, 0, Selected(source, {"SAPX", "APLX"}), 1);
    EXPECT_EQ(dialog.Move().copied, 2);
    EXPECT_EQ(ClosesAndVolumes(RecordsOf(target.path, kFormatAsciiComma, "SAPX")),
              ClosesAndVolumes(sapx));
    EXPECT_TRUE(SymbolsOf(source).empty());
}

TEST_F(CopyMoveSymbolsTest, NothingMovesOutOfALinkedDirectoryOrIntoItself) {
    MVRKrsExportInfo source = Directory(PathOf("a"), kFormatAsciiComma);
    source.catalogueId = 2;
    const MVRKrsExportInfo target = Directory(PathOf("b"), kFormatAsciiComma);
    MakeDirectory(source.path, kFormatAsciiComma, {{"SAPX", 1001, sapx}});
    MakeDirectory(target.path, kFormatAsciiComma, {});
    CCopyMoveSymbols linked({source, target}, 0, Selected(source, {"SAPX"}), 1);
    EXPECT_EQ(linked.Move().copied, 0);
    EXPECT_EQ(SymbolsOf(target).size(), 0u);
    EXPECT_EQ(linked.Copy().copied, 1);
    EXPECT_EQ(SymbolsOf(source).size(), 1u);

    source.catalogueId = 0;
    CCopyMoveSymbols itself({source, target}, 0, Selected(source, {"SAPX"}), 0);
    EXPECT_EQ(itself.Move().copied, 0);
    EXPECT_EQ(ClosesAndVolumes(RecordsOf(source.path, kFormatAsciiComma, "SAPX")),
              ClosesAndVolumes(sapx));
}

} // namespace
} // namespace mvr
