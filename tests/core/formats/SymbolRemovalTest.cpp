// Removing symbols from a directory: the index is saved before any price file
// goes, and a save that fails leaves the index and every file as they were.

#include "core/formats/SymbolRemoval.h"

#include "core/formats/ExportDataFile.h"
#include "core/formats/ExportDirectory.h"
#include "core/platform/AtomicFile.h"
#include "core/platform/FileSystem.h"
#include "core/platform/Paths.h"
#include "FolderFixtures.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace mvr {
namespace {

using test::NewSymbol;

class SymbolRemovalTest : public ::testing::Test {
protected:
    // A folder of the format with the symbols and a price file for each.
    std::string MakeFolder(const std::string& name, int formatType,
                           std::vector<ExportSymbolInfo> symbols) {
        const std::string path = WithTrailingSeparator(dir.File(name));
        EXPECT_TRUE(CreateFolders(path));
        CExportDirectory directory(formatType);
        EXPECT_TRUE(directory.Create(path, 0.0, formatType));
        for (ExportSymbolInfo& symbol : symbols) {
            if (symbol.sinCode == 0) {
                directory.Symbols().push_back(symbol); // AddSymbol takes one symbol of number 0
            } else {
                EXPECT_TRUE(directory.AddSymbol(symbol));
            }
        }
        EXPECT_TRUE(directory.Save());
        for (const ExportSymbolInfo& symbol : directory.Symbols()) {
            test::WriteBytes(FileOf(path, formatType, symbol), {'x', '\n'});
        }
        return path;
    }

    static std::string FileOf(const std::string& path, int formatType,
                              const ExportSymbolInfo& symbol) {
        CExportDataFile file;
        file.BuildFileName(path, symbol, formatType);
        return file.FilePath();
    }

    static std::vector<std::string> Listed(const std::string& path, int formatType) {
        CExportDirectory directory(formatType);
        EXPECT_TRUE(directory.Open(path, formatType));
        std::vector<std::string> symbols;
        for (const ExportSymbolInfo& symbol : directory.Symbols()) {
            symbols.push_back(symbol.symbol);
        }
        return symbols;
    }

    test::TempDir dir;
};

TEST_F(SymbolRemovalTest, ByNumberElseByTextAndOnlyTheRemovedSymbolsFilesGo) {
    const std::string path = MakeFolder("a", kFormatAsciiComma,
                                        {NewSymbol("NONE1", 0), NewSymbol("NONE2", 0),
                                         NewSymbol("SEVEN", 77), NewSymbol("EIGHT", 78)});
    CExportDirectory directory(kFormatAsciiComma);
    ASSERT_TRUE(directory.Open(path, kFormatAsciiComma));
    // A number finds its symbol whatever the text; without one the text
    // decides, so the first symbol of number 0 (NONE1) stays; an unknown
    // symbol is passed over.
    const std::vector<ExportSymbolInfo> remove{NewSymbol("OTHER", 77), NewSymbol("NONE2", 0),
                                               NewSymbol("GHOST", 99)};
    const SymbolRemoval removal = RemoveSymbols(directory, remove, SymbolIdentity::NumberOrText);
    ASSERT_TRUE(removal.saved);
    ASSERT_EQ(removal.removed.size(), 2u);
    EXPECT_EQ(removal.removed[0].symbol, "SEVEN");
    EXPECT_EQ(removal.removed[1].symbol, "NONE2");
    EXPECT_EQ(removal.filesDeleted, 2u);
    EXPECT_EQ(Listed(path, kFormatAsciiComma), (std::vector<std::string>{"NONE1", "EIGHT"}));
    EXPECT_FALSE(EntryExists(FileOf(path, kFormatAsciiComma, NewSymbol("SEVEN", 77))));
    EXPECT_FALSE(EntryExists(FileOf(path, kFormatAsciiComma, NewSymbol("NONE2", 0))));
    EXPECT_TRUE(EntryExists(FileOf(path, kFormatAsciiComma, NewSymbol("NONE1", 0))));
    EXPECT_TRUE(EntryExists(FileOf(path, kFormatAsciiComma, NewSymbol("EIGHT", 78))));
}

TEST_F(SymbolRemovalTest, ByTextTheNumberDoesNotCountAndLetterCaseDoes) {
    const std::string path =
        MakeFolder("a", kFormatAsciiComma, {NewSymbol("SAP", 1), NewSymbol("BMW", 2)});
    CExportDirectory directory(kFormatAsciiComma);
    ASSERT_TRUE(directory.Open(path, kFormatAsciiComma));
    const std::vector<ExportSymbolInfo> remove{NewSymbol("sap", 2), NewSymbol("BMW", 1)};
    const SymbolRemoval removal = RemoveSymbols(directory, remove, SymbolIdentity::Text);
    ASSERT_TRUE(removal.saved);
    ASSERT_EQ(removal.removed.size(), 1u);
    EXPECT_EQ(removal.removed[0].sinCode, 2);
    EXPECT_EQ(Listed(path, kFormatAsciiComma), (std::vector<std::string>{"SAP"}));
    EXPECT_TRUE(EntryExists(FileOf(path, kFormatAsciiComma, NewSymbol("SAP", 1))));
}

TEST_F(SymbolRemovalTest, AFailedSaveKeepsEverySymbolAndEveryFile) {
    const std::string path = MakeFolder(
        "a", kFormatAsciiComma, {NewSymbol("SAP", 1), NewSymbol("BMW", 2), NewSymbol("VW", 3)});
    const auto indexBefore = ReadWholeFile(path + "mvrexp.mas");
    ASSERT_TRUE(indexBefore);
    CExportDirectory directory(kFormatAsciiComma);
    ASSERT_TRUE(directory.Open(path, kFormatAsciiComma));
    const std::vector<ExportSymbolInfo> before = directory.Symbols();

    const SymbolRemoval removal = [&] {
        const CScopedAtomicWriteInterruption everyWriteFails(
            [](const std::string&) { return false; });
        return RemoveSymbols(directory,
                             std::vector<ExportSymbolInfo>{NewSymbol("BMW", 2), NewSymbol("VW", 3)},
                             SymbolIdentity::NumberOrText);
    }();

    EXPECT_FALSE(removal.saved);
    EXPECT_TRUE(removal.removed.empty());
    EXPECT_EQ(removal.filesDeleted, 0u);
    EXPECT_EQ(ReadWholeFile(path + "mvrexp.mas"), indexBefore);
    for (const ExportSymbolInfo& symbol : before) {
        EXPECT_TRUE(EntryExists(FileOf(path, kFormatAsciiComma, symbol))) << symbol.symbol;
    }
    // The list is whole again in memory, so that a later save writes it whole.
    ASSERT_EQ(directory.SymbolCount(), 3u);
    EXPECT_EQ(directory.GetSymbol(1).symbol, "BMW");
    EXPECT_EQ(directory.GetSymbol(2).symbol, "VW");
    ASSERT_TRUE(directory.Save());
    EXPECT_EQ(Listed(path, kFormatAsciiComma), (std::vector<std::string>{"SAP", "BMW", "VW"}));
}

TEST_F(SymbolRemovalTest, MetaStockFilesGoByTheIndexsFileNumberAndNotBeforeMasterIsSaved) {
    const std::string path = MakeFolder(
        "m", kFormatMetaStock, {NewSymbol("AAA", 1), NewSymbol("BBB", 2), NewSymbol("CCC", 3)});
    ASSERT_TRUE(EntryExists(path + "F2.DAT"));
    CExportDirectory directory(kFormatMetaStock);
    ASSERT_TRUE(directory.Open(path, kFormatMetaStock));
    // The caller's copy knows no file number; the index's entry does.
    const std::vector<ExportSymbolInfo> remove{NewSymbol("BBB", 0)};

    // MASTER is the file every reader starts from: its failure alone must
    // keep the price file.
    {
        const CScopedAtomicWriteInterruption masterFails(
            [](const std::string& target) { return FileNamePart(target) != "MASTER"; });
        EXPECT_FALSE(RemoveSymbols(directory, remove, SymbolIdentity::Text).saved);
    }
    EXPECT_TRUE(EntryExists(path + "F2.DAT"));
    EXPECT_EQ(Listed(path, kFormatMetaStock), (std::vector<std::string>{"AAA", "BBB", "CCC"}));

    const SymbolRemoval removal = RemoveSymbols(directory, remove, SymbolIdentity::Text);
    ASSERT_TRUE(removal.saved);
    EXPECT_EQ(removal.filesDeleted, 1u);
    EXPECT_FALSE(EntryExists(path + "F2.DAT"));
    EXPECT_TRUE(EntryExists(path + "F1.DAT"));
    EXPECT_TRUE(EntryExists(path + "F3.DAT"));
    EXPECT_EQ(Listed(path, kFormatMetaStock), (std::vector<std::string>{"AAA", "CCC"}));
}

TEST_F(SymbolRemovalTest, NothingListedSavesNothing) {
    const std::string path = MakeFolder("a", kFormatAsciiComma, {NewSymbol("SAP", 1)});
    CExportDirectory directory(kFormatAsciiComma);
    ASSERT_TRUE(directory.Open(path, kFormatAsciiComma));
    // Any write would fail: a removal that removes nothing must not need one.
    const CScopedAtomicWriteInterruption everyWriteFails([](const std::string&) { return false; });
    const SymbolRemoval removal =
        RemoveSymbols(directory, std::vector<ExportSymbolInfo>{NewSymbol("XYZ", 5)},
                      SymbolIdentity::NumberOrText);
    EXPECT_TRUE(removal.saved);
    EXPECT_TRUE(removal.removed.empty());
    EXPECT_FALSE(directory.IsModified());
}

} // namespace
} // namespace mvr
