// The search of all directories' indexes for a text, and its hand-back to the
// main window.

#include "core/app/FindInstrumentInDirectories.h"
#include "core/app/Session.h"
#include "core/editing/EditingFixtures.h"
#include "core/platform/ConfigFolder.h"
#include "core/platform/FileSystem.h"
#include "core/platform/Paths.h"
#include "support/LongSymbolFolder.h"
#include "support/ScriptedInteraction.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace mvr {
namespace {

using test::MakeDirectory;

class FindInstrumentTest : public ::testing::Test {
protected:
    void SetUp() override {
        MakeDirectory(Path("one"), kFormatAsciiComma,
                      {{"SAP", 1, {}, "Sapient AG"},
                       {"MSAP", 2, {}, "Emsap Inc"},
                       {"BMW", 3, {}, "Bayerische Motoren"}});
        MakeDirectory(Path("two"), kFormatMetaStock, {{"BMW", 0, {}, "Bayerische Motoren"}});
        MakeDirectory(
            Path("three"), kFormatAsciiTab,
            {{"sap", 4, {}, "Other name"}, {"XY", 5, {}, "Oasap Ltd"}, {"Z", 6, {}, "Zeta"}});
        for (const char* name : {"one", "two", "three", "missing"}) {
            MVRKrsExportInfo record;
            record.path = Path(name);
            record.formatType = std::string(name) == "two" ? kFormatMetaStock : kFormatAsciiComma;
            record.symbolCount = 99;
            directories.push_back(record);
        }
        directories[2].formatType = kFormatAsciiTab;
    }

    std::string Path(const char* name) const { return WithTrailingSeparator(root.File(name)); }

    // The result row showing the directory of the hit with this path.
    std::size_t RowOf(const CFindInstrumentInDirectories& dialog, const std::string& path) const {
        for (std::size_t row = 0; row < dialog.ResultList().RowCount(); ++row) {
            if (dialog.ResultList().CellText(row, CExpDirListModel::kColumnDirectory) == path) {
                return row;
            }
        }
        ADD_FAILURE() << "no row for " << path;
        return 0;
    }

    test::TempDir root;
    std::vector<MVRKrsExportInfo> directories;
};

TEST_F(FindInstrumentTest, SapFindsEachDirectoryOnceWithItsNumberOfMatches) {
    CFindInstrumentInDirectories dialog(directories);
    ASSERT_TRUE(dialog.Find("sap"));
    const auto& hits = dialog.Hits();
    ASSERT_EQ(hits.size(), 2u);
    EXPECT_EQ(hits[0].path, Path("one"));
    EXPECT_EQ(hits[0].symbolCount, 2);
    EXPECT_EQ(hits[1].path, Path("three"));
    EXPECT_EQ(hits[1].symbolCount, 2);
    ASSERT_EQ(dialog.ResultList().RowCount(), 2u);
    EXPECT_EQ(dialog.ResultList().CellText(RowOf(dialog, Path("three")),
                                           CExpDirListModel::kColumnSymbols),
              "2");
    EXPECT_EQ(dialog.ResultText(), "sap");

    ASSERT_TRUE(dialog.Find("SAPIENT"));
    ASSERT_EQ(dialog.Hits().size(), 1u);
    EXPECT_EQ(dialog.Hits()[0].symbolCount, 1);
    EXPECT_EQ(dialog.ResultText(), "SAPIENT");
}

TEST_F(FindInstrumentTest, LongSymbolsAreFoundByTheirFullText) {
    test::WriteLongSymbolFolder(root.Path());
    MVRKrsExportInfo record;
    record.path = root.Path();
    record.formatType = kFormatMetaStock;
    CFindInstrumentInDirectories dialog({record});
    for (const char* text : {"biotec.os", "NORDICSEMI.OSLO", "NORDICSEMI.OL"}) {
        ASSERT_TRUE(dialog.Find(text));
        ASSERT_EQ(dialog.Hits().size(), 1u) << text;
        EXPECT_EQ(dialog.Hits()[0].symbolCount, 1) << text;
    }
    // The 8 characters two symbols share find neither.
    ASSERT_TRUE(dialog.Find("BIOTEC.O"));
    EXPECT_TRUE(dialog.Hits().empty());
}

TEST_F(FindInstrumentTest, AnEmptyTextKeepsTheResultsAndOkWithoutARowGivesNoDirectory) {
    CFindInstrumentInDirectories dialog(directories);
    ASSERT_TRUE(dialog.Find("bayerische"));
    EXPECT_FALSE(dialog.Find(""));
    EXPECT_EQ(dialog.Hits().size(), 2u);
    EXPECT_EQ(dialog.ResultText(), "bayerische");
    dialog.Accept();
    EXPECT_EQ(dialog.ResultIndex(), CFindInstrumentInDirectories::kNoResult);
    dialog.AcceptRow(RowOf(dialog, Path("two")));
    EXPECT_EQ(dialog.ResultIndex(), 1);
}

TEST_F(FindInstrumentTest, TheResultIsTheFirstDirectoryWithExactlyTheHitsPath) {
    if (!kCaseSensitiveFileNames) {
        GTEST_SKIP() << "THREE and three are one folder on this file system";
    }
    MVRKrsExportInfo sameLetters = directories[2];
    sameLetters.path = Path("THREE"); // another folder where case counts; no index there
    directories.insert(directories.begin(), sameLetters);
    CFindInstrumentInDirectories dialog(directories);
    ASSERT_TRUE(dialog.Find("zeta"));
    dialog.AcceptRow(0);
    EXPECT_EQ(dialog.ResultIndex(), 3);
}

class FindCommandTest : public FindInstrumentTest {
protected:
    void SetUp() override {
        FindInstrumentTest::SetUp();
        session.Directories() = directories;
        session.DirectoryList().FillDirectories(session.Directories(), -1);
        session.OpenCurrentDirectory(1);
    }

    test::TempDir config;
    test::ScopedEnvironment environment{kConfigFolderVariable, config.Path()};
    CMVRKrsExpSession session;
    test::CScriptedInteraction user;
};

TEST_F(FindCommandTest, TheChosenDirectoryBecomesCurrentWithItsMatchingSymbolsSelected) {
    user.ExpectFindDialog([&](CFindInstrumentInDirectories& dialog) {
        dialog.Find("Sap");
        dialog.ResultList().Selection().Select(RowOf(dialog, Path("three")));
        dialog.Accept();
        return true;
    });
    ASSERT_TRUE(FindInstrumentCommand(session, user));
    EXPECT_EQ(session.CurrentDirectory(), 2);
    const auto rows = session.DirectoryList().SelectedDirectories();
    EXPECT_EQ(rows, std::vector<std::int32_t>{2});
    std::vector<std::string> selected;
    for (const std::size_t row : session.SymbolList().Selection().Rows()) {
        selected.push_back(session.SymbolList().SymbolOfRow(row)->symbol);
    }
    std::sort(selected.begin(), selected.end());
    EXPECT_EQ(selected, (std::vector<std::string>{"XY", "sap"}));
}

TEST_F(FindCommandTest, NoChosenDirectoryChangesNothing) {
    user.ExpectFindDialog([](CFindInstrumentInDirectories& dialog) {
        dialog.Find("sap");
        dialog.Accept();
        return true;
    });
    user.ExpectFindDialog([](CFindInstrumentInDirectories&) { return false; });
    EXPECT_FALSE(FindInstrumentCommand(session, user));
    EXPECT_FALSE(FindInstrumentCommand(session, user));
    EXPECT_EQ(session.CurrentDirectory(), 1);
    EXPECT_EQ(session.SymbolList().GetSelectedCount(), 0u);
}

} // namespace
} // namespace mvr
