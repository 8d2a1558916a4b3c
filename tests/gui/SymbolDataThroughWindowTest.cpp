// The data editor opened from the window's symbol list, as the user opens it:
// what its dialogs change is what the core editor changes for the same edits,
// byte for byte in the written price file; Cancel writes nothing; and its
// download fetches the symbol's bars from the reference server again.

#include "core/app/SymbolDataCommand.h"
#include "core/editing/PriceRowTexts.h"
#include "core/editing/SymbolDataEditor.h"
#include "core/formats/DayNumber.h"
#include "core/formats/ExportDataFile.h"
#include "core/formats/ExportDirectory.h"
#include "core/formats/FormatCatalogue.h"
#include "core/platform/Paths.h"
#include "gui/controls/FloatEdit.h"
#include "gui/dialogs/DownloadProgressDlg.h"
#include "gui/editor/EditPriceDlg.h"
#include "gui/editor/SplitDataDlg.h"
#include "gui/editor/SymbolDataDlg.h"
#include "GuiTestbed.h"
#include "ModalDialogs.h"
#include "support/ScriptedInteraction.h"

#include <QAction>
#include <QLineEdit>
#include <QTableView>
#include <QTest>

namespace mvr::gui::test {

namespace {

using mvr::test::CScriptedInteraction;

constexpr std::int32_t kDemoCatalogue = 1;
constexpr int kEditedRow = 5;
constexpr int kSplitRow = 12;
constexpr int kDeletedRow = 2;

PriceHistory RisingBars(int count) {
    PriceHistory bars;
    const std::int32_t first = DatumToDayNumber(DATUM{4, 1, 2010});
    for (int i = 0; i < count; ++i) {
        PERIODE bar;
        bar.dayNumber = first + i;
        bar.close = 20.0f + static_cast<float>(i);
        bar.open = bar.close - 0.25f;
        bar.high = bar.close + 0.5f;
        bar.low = bar.close - 0.75f;
        bar.volume = 5000 + 10 * i;
        bars.push_back(bar);
    }
    return bars;
}

// The price file of the directory's first symbol.
std::string FirstPriceFile(const std::string& folder, int formatType) {
    CExportDirectory index(formatType);
    if (!index.Open(folder, formatType) || index.Symbols().empty()) {
        return {};
    }
    CExportDataFile file;
    file.BuildFileName(folder, index.GetSymbol(0), formatType);
    return file.FilePath();
}

void WriteFirstSymbolsPrices(const std::string& folder, int formatType, const PriceHistory& bars) {
    CExportDirectory index(formatType);
    QVERIFY(index.Open(folder, formatType));
    CExportDataFile file;
    file.BuildFileName(folder, index.GetSymbol(0), formatType);
    file.History() = bars;
    QVERIFY(file.Write(true));
}

// Opens the data editor on the symbol list's first row, as a double click
// does, and hands it to `act` once it is up.
void OpenEditorOnFirstSymbol(CMVRKrsExpDlg& window, std::function<void(CSymbolDataDlg&)> act) {
    bool opened = false;
    WhenOpened<CSymbolDataDlg>(std::move(act), &opened);
    emit window.SymbolView()->doubleClicked(window.SymbolView()->model()->index(0, 0));
    QVERIFY(opened);
}

void SelectOnly(CSymbolDataDlg& editor, int row) {
    editor.Table()->clearSelection();
    editor.Table()->selectRow(row);
}

// The same three edits as the dialogs below make them, on the core editor.
void EditAsTheCoreDoes(CSymbolDataEditor& editor) {
    CEditPriceValues values = *editor.BeginEdit(kEditedRow);
    CEditPriceValues::FieldTexts texts = values.Texts();
    texts[CEditPriceValues::kClose] = "31.125";
    texts[CEditPriceValues::kHigh] = "40";
    QVERIFY(values.Accept(texts).accepted);
    editor.EndEdit(kEditedRow, values);
    editor.Split(editor.Store().History()[kSplitRow].dayNumber, 0.25f);
    editor.Selection().ClearAll();
    editor.Selection().Select(kDeletedRow);
    CScriptedInteraction yes;
    yes.ExpectQuestion("Are you sure you want to remove '" +
                           FormatDayNumber(editor.Store().History()[kDeletedRow].dayNumber) + "'?",
                       MessageIcon::Question, true);
    QCOMPARE(editor.DeleteSelected(yes), std::size_t{1});
}

} // namespace

class CSymbolDataThroughWindowTest : public QObject {
    Q_OBJECT

private slots:
    void theDialogsWriteWhatTheCoreEditorWritesAndCancelWritesNothing();
    void aDownloadInTheEditorBringsBackWhatWasDeleted();
    void aJumpInTheStoredPricesIsMarkedInTheListAndTheEditor();
};

void CSymbolDataThroughWindowTest::theDialogsWriteWhatTheCoreEditorWritesAndCancelWritesNothing() {
    CGuiTestbed bed;
    bed.AddDirectory("ascii", kFormatAsciiComma, 2);
    const std::string folder = WithTrailingSeparator(bed.Folder("ascii"));
    WriteFirstSymbolsPrices(folder, kFormatAsciiComma, RisingBars(30));
    const std::string priceFile = FirstPriceFile(folder, kFormatAsciiComma);
    const std::vector<std::uint8_t> original = mvr::test::ReadBytes(priceFile);
    bed.StoreConfiguration();
    CMVRKrsExpDlg& window = bed.OpenWindow();
    window.DirectoryView()->selectRow(0);

    // An edit, then Cancel: the file keeps every byte.
    OpenEditorOnFirstSymbol(window, [](CSymbolDataDlg& editor) {
        WhenOpened<CEditPriceDlg>([](CEditPriceDlg& edit) {
            edit.Field(CEditPriceValues::kClose)->setText(QStringLiteral("1"));
            ClickOk(edit);
        });
        editor.EditRow(kEditedRow);
        QCOMPARE(editor.Table()->model()->index(kEditedRow, kPriceColumnClose).data().toString(),
                 QStringLiteral("1.000"));
        ClickButton(editor, QStringLiteral("Cancel"));
    });
    QCOMPARE(mvr::test::ReadBytes(priceFile), original);

    // An edit, a split and a deletion through the dialogs, then OK.
    bed.Answers().QueueAnswer(true); // the deletion's question
    OpenEditorOnFirstSymbol(window, [](CSymbolDataDlg& editor) {
        WhenOpened<CEditPriceDlg>([](CEditPriceDlg& edit) {
            edit.Field(CEditPriceValues::kClose)->setText(QStringLiteral("31.125"));
            edit.Field(CEditPriceValues::kHigh)->setText(QStringLiteral("40"));
            ClickOk(edit);
        });
        editor.EditRow(kEditedRow);
        SelectOnly(editor, kSplitRow);
        WhenOpened<CSplitDataDlg>([](CSplitDataDlg& split) {
            split.FactorEdit()->setText(QStringLiteral("0.25"));
            ClickOk(split);
        });
        QTest::mouseClick(editor.SplitButton(), Qt::LeftButton);
        SelectOnly(editor, kDeletedRow);
        QTest::mouseClick(editor.DeleteButton(), Qt::LeftButton);
        ClickOk(editor);
    });
    QVERIFY(bed.Answers().AllAnswersTaken());
    const std::vector<std::uint8_t> throughDialogs = mvr::test::ReadBytes(priceFile);
    QVERIFY(throughDialogs != original);

    // The same edits through the core editor, from the same file.
    mvr::test::WriteBytes(priceFile, original);
    CScriptedInteraction core;
    core.ExpectSymbolDataEditor([](CSymbolDataEditor& editor) {
        EditAsTheCoreDoes(editor);
        return true;
    });
    QCOMPARE(OpenSymbolDataEditor(bed.Session(), core, 0, SymbolDataTrigger::DoubleClick),
             SymbolDataOutcome::Written);
    QCOMPARE(core.Pending(), std::size_t{0});
    QCOMPARE(mvr::test::ReadBytes(priceFile), throughDialogs);
}

void CSymbolDataThroughWindowTest::aDownloadInTheEditorBringsBackWhatWasDeleted() {
    CGuiTestbed bed{DemoData{}};
    bed.AddLinkedDirectory("ascii", kFormatAsciiComma, kDemoCatalogue);
    bed.StoreConfiguration();
    CMVRKrsExpDlg& window = bed.OpenWindow();
    EveryTimeOpened<CDownloadProgressDlg> progress(
        [](CDownloadProgressDlg& dialog) { dialog.accept(); });
    window.MenuAction(MainWindowMenuCommand::UpdateAll)->trigger();
    const std::string folder = WithTrailingSeparator(bed.Folder("ascii"));
    const std::string priceFile = FirstPriceFile(folder, kFormatAsciiComma);
    const std::vector<std::uint8_t> updated = mvr::test::ReadBytes(priceFile);
    QVERIFY(updated.size() > 1000);
    window.DirectoryView()->selectRow(0);

    // The last three days deleted, then downloaded again, then OK.
    bed.Answers().QueueAnswer(true);
    int rowsAfterDeleting = 0;
    int rowsAfterDownload = 0;
    int rowsBefore = 0;
    OpenEditorOnFirstSymbol(window, [&](CSymbolDataDlg& editor) {
        rowsBefore = editor.Table()->model()->rowCount();
        for (int row = rowsBefore - 3; row < rowsBefore; ++row) {
            editor.Table()->selectionModel()->select(editor.Table()->model()->index(row, 0),
                                                     QItemSelectionModel::Select |
                                                         QItemSelectionModel::Rows);
        }
        QTest::mouseClick(editor.DeleteButton(), Qt::LeftButton);
        rowsAfterDeleting = editor.Table()->model()->rowCount();
        QTest::mouseClick(editor.DownloadButton(), Qt::LeftButton);
        rowsAfterDownload = editor.Table()->model()->rowCount();
        ClickOk(editor);
    });
    QVERIFY(rowsBefore > 100);
    QCOMPARE(rowsAfterDeleting, rowsBefore - 3);
    QCOMPARE(rowsAfterDownload, rowsBefore);
    QCOMPARE(mvr::test::ReadBytes(priceFile), updated);
}

void CSymbolDataThroughWindowTest::aJumpInTheStoredPricesIsMarkedInTheListAndTheEditor() {
    CGuiTestbed bed;
    bed.AddDirectory("ascii", kFormatAsciiComma, 2);
    const std::string folder = WithTrailingSeparator(bed.Folder("ascii"));
    PriceHistory bars = RisingBars(30);
    for (std::size_t i = kSplitRow; i < bars.size(); ++i) {
        bars[i].open /= 2;
        bars[i].high /= 2;
        bars[i].low /= 2;
        bars[i].close /= 2;
    }
    WriteFirstSymbolsPrices(folder, kFormatAsciiComma, bars);
    bed.StoreConfiguration();
    CMVRKrsExpDlg& window = bed.OpenWindow();
    window.DirectoryView()->selectRow(0);

    // The list checks the folder in the background and marks the symbol.
    QAbstractItemModel* symbols = window.SymbolView()->model();
    QCOMPARE(symbols->rowCount(), 2);
    QTRY_VERIFY(symbols->index(0, 0).data(Qt::DecorationRole).isValid());
    QVERIFY(symbols->index(0, 0).data(Qt::ToolTipRole).toString().contains(QStringLiteral("2:1")));
    QVERIFY(!symbols->index(1, 0).data(Qt::DecorationRole).isValid());

    // The editor marks the row after the jump and proposes the split.
    OpenEditorOnFirstSymbol(window, [](CSymbolDataDlg& editor) {
        const QAbstractItemModel* rows = editor.Table()->model();
        QVERIFY(rows->index(kSplitRow, 0)
                    .data(Qt::ToolTipRole)
                    .toString()
                    .contains(QStringLiteral("2:1 split")));
        QVERIFY(rows->index(kSplitRow, 0).data(Qt::DecorationRole).isValid());
        QVERIFY(!rows->index(kSplitRow - 1, 0).data(Qt::ToolTipRole).isValid());
        SelectOnly(editor, kSplitRow);
        QString proposed;
        WhenOpened<CSplitDataDlg>([&proposed](CSplitDataDlg& split) {
            proposed = split.FactorEdit()->text();
            split.reject();
        });
        QTest::mouseClick(editor.SplitButton(), Qt::LeftButton);
        QCOMPARE(proposed, QStringLiteral("0.5"));
        ClickButton(editor, QStringLiteral("Cancel"));
    });
}

} // namespace mvr::gui::test

QTEST_MAIN(mvr::gui::test::CSymbolDataThroughWindowTest)
#include "SymbolDataThroughWindowTest.moc"
