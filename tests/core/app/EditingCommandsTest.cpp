// The main window's commands that open the data editor and the copy/move
// dialog: what they hand over and what they do with the result.

#include "core/app/CopyMoveCommand.h"
#include "core/app/Session.h"
#include "core/app/SymbolDataCommand.h"
#include "core/editing/CopyMoveSymbols.h"
#include "core/editing/EditingFixtures.h"
#include "core/editing/PriceRowTexts.h"
#include "core/editing/SymbolDataEditor.h"
#include "core/net/UserRequests.h"
#include "core/platform/ConfigFolder.h"
#include "core/platform/Paths.h"
#include "core/update/UpdateJob.h"
#include "server/DataFolderWriter.h"
#include "server/TestPriceServer.h"
#include "support/ScriptedInteraction.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace mvr {
namespace {

using test::Bar;
using test::Day;
using test::MakeDirectory;
using test::RecordsOf;

class EditingCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        server.BecomeServer();
        session.User().account = "valid1";
        session.User().password = "pw";
        MakeDirectory(Path("ms"), kFormatMetaStock, {{"SAPX", 0, bars}, {"APLX", 0, bars}});
        MakeDirectory(Path("ascii"), kFormatAsciiComma, {});
        MVRKrsExportInfo metaStock;
        metaStock.path = Path("ms");
        metaStock.formatType = kFormatMetaStock;
        MVRKrsExportInfo ascii;
        ascii.path = Path("ascii");
        ascii.formatType = kFormatAsciiComma;
        MVRKrsExportInfo linked = ascii;
        linked.path = Path("linked");
        linked.catalogueId = 3;
        session.Directories() = {metaStock, ascii, linked};
        session.DirectoryList().FillDirectories(session.Directories(), -1);
        ASSERT_TRUE(session.OpenCurrentDirectory(0));
    }

    std::string Path(const char* name) const { return WithTrailingSeparator(root.File(name)); }

    // The directory list's row of a directory.
    std::int64_t RowOf(std::int32_t directory) const {
        for (std::size_t row = 0; row < session.DirectoryList().RowCount(); ++row) {
            if (session.DirectoryList().RowDirectory(static_cast<std::int64_t>(row)) == directory) {
                return static_cast<std::int64_t>(row);
            }
        }
        return -1;
    }

    // The symbol list's row of a symbol of the current directory.
    std::int64_t SymbolRow(const std::string& symbol) const {
        const CExpSymbolListModel& list = session.SymbolList();
        for (std::size_t row = 0; row < list.RowCount(); ++row) {
            if (list.SymbolOfRow(row)->symbol == symbol) {
                return static_cast<std::int64_t>(row);
            }
        }
        return -1;
    }

    const PriceHistory bars{Bar(Day(4, 1, 2010), 50.0f, 100),
                            Bar(Day(5, 1, 2010), 12.3456789f, 200)};
    test::TempDir root;
    test::TempDir config;
    test::ScopedEnvironment environment{kConfigFolderVariable, config.Path()};
    test::TestPriceServer server;
    CMVRKrsExpSession session;
    test::CScriptedInteraction user;
};

TEST_F(EditingCommandsTest, CancelledEditorLeavesThePriceFileByteIdentical) {
    const std::string file = Path("ms") + "F1.DAT";
    const auto before = test::ReadBytes(file);
    user.ExpectSymbolDataEditor([](CSymbolDataEditor& editor) {
        auto values = *editor.BeginEdit(0);
        auto texts = values.Texts();
        texts[CEditPriceValues::kClose] = "99";
        EXPECT_TRUE(values.Accept(texts).accepted);
        editor.EndEdit(0, values);
        editor.Split(Day(1, 1, 2011), 0.5f);
        return false;
    });
    EXPECT_EQ(OpenSymbolDataEditor(session, user, SymbolRow("SAPX"), SymbolDataTrigger::OpenButton),
              SymbolDataOutcome::Cancelled);
    EXPECT_EQ(test::ReadBytes(file), before);
}

TEST_F(EditingCommandsTest, OkWritesTheStoreAndTheSymbolsDatesIntoTheIndex) {
    user.ExpectSymbolDataEditor([](CSymbolDataEditor& editor) {
        EXPECT_EQ(editor.Caption(), "Symboldata APLX,APLX Holding");
        auto values = *editor.BeginEdit(1);
        EXPECT_TRUE(values.Accept(values.Texts()).accepted);
        editor.EndEdit(1, values);
        editor.Selection().ClearAll();
        editor.Selection().Select(0);
        test::CScriptedInteraction confirm;
        confirm.ExpectQuestion("Are you sure you want to remove '04.01.2010'?",
                               MessageIcon::Question, true);
        EXPECT_EQ(editor.DeleteSelected(confirm), 1u);
        return true;
    });
    EXPECT_EQ(
        OpenSymbolDataEditor(session, user, SymbolRow("APLX"), SymbolDataTrigger::DoubleClick),
        SymbolDataOutcome::Written);
    const PriceHistory stored = RecordsOf(Path("ms"), kFormatMetaStock, "APLX");
    ASSERT_EQ(stored.size(), 1u);
    // What the field showed (12.3456789 lies 4e-6 away).
    EXPECT_NEAR(stored[0].close, 12.3457, 1e-6);
    CExportDirectory index(kFormatMetaStock);
    ASSERT_TRUE(index.Open(Path("ms"), kFormatMetaStock));
    const ExportSymbolInfo& symbol =
        index.GetSymbol(static_cast<std::size_t>(index.FindSymbol("APLX")));
    EXPECT_EQ(symbol.firstDate, DayNumberToPlainOleDate(Day(5, 1, 2010)));
    EXPECT_EQ(symbol.lastDate, DayNumberToPlainOleDate(Day(5, 1, 2010)));
    EXPECT_EQ(session.SymbolList().RowCount(), 2u);
}

TEST_F(EditingCommandsTest, DoubleClickNeedsTheLoginButTheOpenButtonGoesOn) {
    session.User().account = "invalid";
    user.ExpectMessage(AccountResultMessage(kAccountInvalid));
    EXPECT_EQ(
        OpenSymbolDataEditor(session, user, SymbolRow("SAPX"), SymbolDataTrigger::DoubleClick),
        SymbolDataOutcome::NotOpened);
    user.ExpectSymbolDataEditor([](CSymbolDataEditor& editor) {
        EXPECT_EQ(editor.RowCount(), 2u);
        return false;
    });
    EXPECT_EQ(OpenSymbolDataEditor(session, user, SymbolRow("SAPX"), SymbolDataTrigger::OpenButton),
              SymbolDataOutcome::Cancelled);
    EXPECT_EQ(OpenSymbolDataEditor(session, user, 7, SymbolDataTrigger::OpenButton),
              SymbolDataOutcome::NotOpened);
}

// The job's dialog as an unattended front end runs it: at once, to its end.
class JobRunner : public CUpdateProgressSink {
public:
    bool Run(CUpdateJob& job) {
        job.SetInitialWait(std::chrono::milliseconds(0));
        if (!job.Start(UpdateSettings{}, *this)) {
            return false;
        }
        job.Wait();
        return job.Summary().closeWithOk;
    }
    void PhaseChanged(const std::string&) override {}
    void ProgressRange(std::int32_t, std::int32_t) override {}
    void ProgressPosition(std::int32_t) override {}
    void Notice(const std::string&) override {}
    void JobEnded(const UpdateSummary&) override {}
};

TEST_F(EditingCommandsTest, DownloadMergesIntoTheStoreAndReachesTheFileOnlyOnOk) {
    // A server whose SAPX (1001) has daily bars on the five days before today.
    test::TempDir serverFolder;
    test::WriteDataFolder(serverFolder.Path());
    std::vector<DailyBar> served;
    for (std::int32_t day = TodayDayNumber() - 5; day < TodayDayNumber(); ++day) {
        served.push_back({day, 1000, 1100, 900, 1050, 77});
    }
    ASSERT_TRUE(CDataFolderWriter(serverFolder.Path()).WriteDailyBars(1001, 2, served));
    test::TestPriceServer withBars(serverFolder.Path(), test::TestServeOptions());
    withBars.BecomeServer();

    const std::string file = Path("ms") + "F1.DAT";
    const auto before = test::ReadBytes(file);
    user.ExpectSymbolDataEditor([&](CSymbolDataEditor& editor) {
        user.ExpectUpdateJob([](CUpdateJob& job) {
            EXPECT_EQ(job.Mode(), CUpdateJob::kModeEditor);
            return JobRunner().Run(job);
        });
        EXPECT_TRUE(editor.Download(user));
        EXPECT_EQ(editor.RowCount(), 7u);
        EXPECT_EQ(editor.CellText(6, kPriceColumnClose), "10.500");
        EXPECT_EQ(editor.Selection().Rows(), std::vector<std::size_t>{6});
        EXPECT_EQ(editor.Store().Symbol().sinCode, 1001); // looked up: MetaStock keeps none
        EXPECT_EQ(test::ReadBytes(file), before);
        return true;
    });
    ASSERT_EQ(OpenSymbolDataEditor(session, user, SymbolRow("SAPX"), SymbolDataTrigger::OpenButton),
              SymbolDataOutcome::Written);
    const PriceHistory stored = RecordsOf(Path("ms"), kFormatMetaStock, "SAPX");
    ASSERT_EQ(stored.size(), 7u);
    EXPECT_EQ(stored.back().dayNumber, TodayDayNumber() - 1);
    EXPECT_EQ(stored.back().volume, 77);
}

TEST_F(EditingCommandsTest, DroppedSymbolsAreMovedAndTheSessionShowsTheResult) {
    session.SymbolList().Selection().Select(static_cast<std::size_t>(SymbolRow("SAPX")));
    user.ExpectCopyMoveDialog([](CCopyMoveSymbols& dialog) {
        EXPECT_EQ(dialog.CountText(), "No. of selected Symbols: 1");
        EXPECT_TRUE(dialog.MoveEnabled());
        EXPECT_EQ(dialog.Move().copied, 1);
        return true;
    });
    ASSERT_TRUE(CopyOrMoveDroppedSymbols(session, user, RowOf(1)));
    // The current index was loaded again and is shown without the moved symbol.
    ASSERT_EQ(session.CurrentIndex().SymbolCount(), 1u);
    EXPECT_EQ(session.SymbolList().RowCount(), 1u);
    EXPECT_EQ(session.DirectoryList().RowSymbolCount(static_cast<std::size_t>(RowOf(1))), 1);
    const PriceHistory copied = RecordsOf(Path("ascii"), kFormatAsciiComma, "SAPX");
    ASSERT_EQ(copied.size(), 2u);
    EXPECT_EQ(copied[1].volume, 200);
    CMVRKrsExpSession stored;
    ASSERT_TRUE(stored.LoadConfig());
    EXPECT_EQ(stored.Directories().size(), 3u);
}

TEST_F(EditingCommandsTest, DropsOnALinkedDirectoryAreRefusedAndRefusedSymbolsAreNamed) {
    EXPECT_FALSE(CopyOrMoveDroppedSymbols(session, user, RowOf(1))); // nothing selected
    session.SymbolList().Selection().Select(static_cast<std::size_t>(SymbolRow("SAPX")));
    user.ExpectMessage(kLinkedTargetMessage);
    EXPECT_FALSE(CopyOrMoveDroppedSymbols(session, user, RowOf(2)));

    // The target holds another symbol with SAPX's number.
    CExportDirectory target(kFormatAsciiComma);
    ASSERT_TRUE(target.Open(Path("ascii"), kFormatAsciiComma));
    ExportSymbolInfo other;
    other.symbol = "OTHER";
    other.sinCode = 1001;
    ASSERT_TRUE(target.AddSymbol(other));
    ASSERT_TRUE(target.Save());
    session.SymbolList().Selection().Select(static_cast<std::size_t>(SymbolRow("SAPX")));
    user.ExpectCopyMoveDialog([](CCopyMoveSymbols& dialog) {
        dialog.Move();
        return true;
    });
    user.ExpectMessage(
        "The following symbols were not moved:\nSAPX: the target directory does not take it");
    ASSERT_TRUE(CopyOrMoveDroppedSymbols(session, user, RowOf(1)));
    EXPECT_EQ(session.CurrentIndex().SymbolCount(), 2u);
}

} // namespace
} // namespace mvr
