// The main window against the reference price server: the lists box and its
// check boxes, the selection between the two lists, the format filter, the
// divider's limits, the keys that must not close it and the start without an
// account.

#include "core/app/SelectionBoxes.h"
#include "core/editing/CopyMoveSymbols.h"
#include "core/formats/ExportDirectory.h"
#include "core/formats/FormatCatalogue.h"
#include "gui/dialogs/AccountDlg.h"
#include "gui/dialogs/CopyMoveSymbolsDlg.h"
#include "gui/dialogs/FindInstrumentDlg.h"
#include "gui/models/DirListTableModel.h"
#include "GuiTestbed.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSplitter>
#include <QTableView>
#include <QTest>
#include <QTimer>

namespace mvr::gui::test {

namespace {

// The row of the directory list that shows the folder.
int RowOf(CMVRKrsExpDlg& window, const std::string& path) {
    QAbstractItemModel* model = window.DirectoryView()->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        if (model->index(row, 0).data().toString().toStdString() == path) {
            return row;
        }
    }
    return -1;
}

void SelectRows(CMVRKrsExpDlg& window, std::initializer_list<int> rows) {
    QItemSelectionModel* selection = window.DirectoryView()->selectionModel();
    selection->clearSelection();
    for (int row : rows) {
        selection->select(window.DirectoryView()->model()->index(row, 0),
                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
}

Qt::CheckState CheckOf(CMVRKrsExpDlg& window, int row) {
    return window.DirectoryView()
        ->model()
        ->index(row, 0)
        .data(Qt::CheckStateRole)
        .value<Qt::CheckState>();
}

} // namespace

class CMainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void aChosenListTicksItsDirectoriesAndAClickChangesIt();
    void twoSelectedRowsEmptyAndDisableTheSymbolList();
    void aFilterThatHidesTheCurrentDirectoryEmptiesTheSymbolList();
    void theDividerKeepsBothListsWideEnough();
    void enterAndEscapeDoNotCloseTheWindow();
    void anEmptyAccountOpensTheAccountDialogBeforeTheWindow();
    void closingStoresTheLayoutAndTheNextWindowRestoresIt();
    void tenThousandSymbolsOpenAndSortWithinASecond();
    void aServerMessageOpensTheAccountDialogAndAMandatoryUpdateEndsTheRun();
    void symbolsDroppedOnADirectoryAreCopiedThroughTheDialog();
    void findSelectsTheDirectoryAndItsMatchingSymbols();
};

void CMainWindowTest::aChosenListTicksItsDirectoriesAndAClickChangesIt() {
    CGuiTestbed bed;
    bed.AddDirectory("a", kFormatAsciiComma, 2);
    bed.AddDirectory("b", kFormatAsciiComma, 3);
    bed.AddList("Evening", {"A"}); // letter case is ignored
    bed.StoreConfiguration();
    CMVRKrsExpDlg& window = bed.OpenWindow();
    const int a = RowOf(window, bed.Folder("a/"));
    const int b = RowOf(window, bed.Folder("b/"));
    QVERIFY(a >= 0 && b >= 0);
    QVERIFY(!window.DirectoryView()->model()->index(a, 0).data(Qt::CheckStateRole).isValid());
    QVERIFY(!window.Button(MainWindowButton::RemoveList)->isEnabled());

    window.ListsBox()->setCurrentIndex(1);
    QCOMPARE(CheckOf(window, a), Qt::Checked);
    QCOMPARE(CheckOf(window, b), Qt::Unchecked);
    QVERIFY(window.Button(MainWindowButton::RemoveList)->isEnabled());

    QAbstractItemModel* model = window.DirectoryView()->model();
    QVERIFY(model->setData(model->index(b, 0), Qt::Checked, Qt::CheckStateRole));
    QCOMPARE(CheckOf(window, b), Qt::Checked);
    QCOMPARE(bed.Session().Lists()[0].paths.size(), std::size_t{2});

    // Without an active list a click changes nothing.
    window.ListsBox()->setCurrentIndex(0);
    QVERIFY(!model->index(b, 0).data(Qt::CheckStateRole).isValid());
    model->setData(model->index(b, 0), Qt::Unchecked, Qt::CheckStateRole);
    QCOMPARE(bed.Session().Lists()[0].paths.size(), std::size_t{2});
}

void CMainWindowTest::twoSelectedRowsEmptyAndDisableTheSymbolList() {
    CGuiTestbed bed;
    bed.AddDirectory("a", kFormatAsciiComma, 2);
    bed.AddDirectory("b", kFormatAsciiComma, 3);
    bed.StoreConfiguration();
    CMVRKrsExpDlg& window = bed.OpenWindow();
    const int b = RowOf(window, bed.Folder("b/"));
    SelectRows(window, {b});
    QCOMPARE(window.SymbolView()->model()->rowCount(), 3);
    QVERIFY(window.SymbolView()->isEnabled());
    QVERIFY(window.Button(MainWindowButton::EditDirectory)->isEnabled());

    SelectRows(window, {0, 1});
    QCOMPARE(window.SymbolView()->model()->rowCount(), 0);
    QVERIFY(!window.SymbolView()->isEnabled());
    QVERIFY(!window.Button(MainWindowButton::EditDirectory)->isEnabled());
    QVERIFY(!window.Button(MainWindowButton::AddSymbols)->isEnabled());

    SelectRows(window, {b});
    QCOMPARE(window.SymbolView()->model()->rowCount(), 3);
}

void CMainWindowTest::aFilterThatHidesTheCurrentDirectoryEmptiesTheSymbolList() {
    CGuiTestbed bed;
    bed.AddDirectory("ascii", kFormatAsciiComma, 2);
    bed.AddDirectory("meta", kFormatMetaStock, 1);
    bed.StoreConfiguration();
    CMVRKrsExpDlg& window = bed.OpenWindow();
    SelectRows(window, {RowOf(window, bed.Folder("ascii/"))});
    QCOMPARE(window.SymbolView()->model()->rowCount(), 2);

    window.FormatBox()->setCurrentIndex(static_cast<int>(FormatBoxEntryOf(kFormatMetaStock)));
    QCOMPARE(window.DirectoryView()->model()->rowCount(), 1);
    QCOMPARE(window.SymbolView()->model()->rowCount(), 0);
    QCOMPARE(bed.Session().User().formatFilter, kFormatMetaStock);
}

void CMainWindowTest::theDividerKeepsBothListsWideEnough() {
    CGuiTestbed bed;
    bed.StoreConfiguration();
    CMVRKrsExpDlg& window = bed.OpenWindow();
    window.resize(900, 400);
    QSplitter* splitter = window.Splitter();
    splitter->setSizes({40, 2000});
    QTRY_VERIFY(window.DirectoryView()->width() >= kMinDirectoryListWidth);
    splitter->setSizes({2000, 40});
    QTRY_VERIFY(window.SymbolView()->width() >= kMinSymbolListWidth);
    QVERIFY(window.DirectoryView()->width() > kMinDirectoryListWidth);
}

void CMainWindowTest::enterAndEscapeDoNotCloseTheWindow() {
    CGuiTestbed bed;
    bed.AddDirectory("a", kFormatAsciiComma, 1);
    bed.StoreConfiguration();
    CMVRKrsExpDlg& window = bed.OpenWindow();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    for (QWidget* target :
         {static_cast<QWidget*>(&window), static_cast<QWidget*>(window.DirectoryView())}) {
        QTest::keyClick(target, Qt::Key_Return);
        QTest::keyClick(target, Qt::Key_Enter);
        QTest::keyClick(target, Qt::Key_Escape);
    }
    QVERIFY(window.isVisible());
    QVERIFY(bed.Answers().Texts().empty());
}

void CMainWindowTest::anEmptyAccountOpensTheAccountDialogBeforeTheWindow() {
    CGuiTestbed bed;
    bed.SetAccount("", "");
    bed.StoreConfiguration();
    bool windowVisibleMeanwhile = true;
    bool dialogSeen = false;
    // The dialog is modal: it is cancelled from the event loop it runs.
    QTimer cancel;
    QObject::connect(&cancel, &QTimer::timeout, [&] {
        if (auto* dialog = qobject_cast<CAccountDlg*>(QApplication::activeModalWidget())) {
            dialogSeen = true;
            windowVisibleMeanwhile = bed.Window().isVisible();
            dialog->reject();
        }
    });
    cancel.start(10);
    CMVRKrsExpDlg& window = bed.OpenWindow();
    cancel.stop();
    QVERIFY(dialogSeen);
    QVERIFY(!windowVisibleMeanwhile);
    QVERIFY(!window.MenuAction(MainWindowMenuCommand::UpdateAll)->isEnabled());
    QVERIFY(!window.MenuAction(MainWindowMenuCommand::ImportLegacy)->isEnabled());
}

void CMainWindowTest::closingStoresTheLayoutAndTheNextWindowRestoresIt() {
    CGuiTestbed bed;
    bed.AddDirectory("a", kFormatAsciiComma, 1);
    bed.StoreConfiguration();
    {
        CMVRKrsExpDlg& window = bed.OpenWindow();
        window.resize(940, 420);
        window.Splitter()->setSizes({300, 600});
        window.DirectoryView()->setColumnWidth(1, 123);
        window.close();
    }
    CMVRKrsExpDlg& again = bed.OpenWindow();
    QCOMPARE(again.size(), QSize(940, 420));
    QCOMPARE(again.DirectoryView()->columnWidth(1), 123);
    QVERIFY(std::abs(again.Splitter()->sizes().value(0) - 300) <= 2);
}

// bench/WindowListsBench.cpp measures this; the bound here only catches a
// view that copies or resets row by row.
void CMainWindowTest::tenThousandSymbolsOpenAndSortWithinASecond() {
    CGuiTestbed bed;
    bed.AddDirectory("large", kFormatAsciiComma, 10000);
    bed.StoreConfiguration();
    CMVRKrsExpDlg& window = bed.OpenWindow();
    QElapsedTimer timer;
    timer.start();
    SelectRows(window, {0});
    window.SymbolView()->viewport()->repaint();
    QCOMPARE(window.SymbolView()->model()->rowCount(), 10000);
    QTest::mouseClick(
        window.SymbolView()->horizontalHeader()->viewport(), Qt::LeftButton, {},
        QPoint(window.SymbolView()->horizontalHeader()->sectionViewportPosition(1) + 5, 5));
    window.SymbolView()->viewport()->repaint();
    QVERIFY2(timer.elapsed() < 1000, qPrintable(QString::number(timer.elapsed()) + " ms"));
    QCOMPARE(bed.Session().SymbolList().SortColumn(), 1);
}

void CMainWindowTest::aServerMessageOpensTheAccountDialogAndAMandatoryUpdateEndsTheRun() {
    for (const bool mandatory : {false, true}) {
        ServerTables tables = QuietTables();
        tables.clientInfo = {"Please update", true, mandatory, "", "", "", 0};
        CGuiTestbed bed(tables);
        bed.StoreConfiguration();
        QString shownMessage;
        QTimer cancel;
        QObject::connect(&cancel, &QTimer::timeout, [&] {
            if (auto* dialog = qobject_cast<CAccountDlg*>(QApplication::activeModalWidget())) {
                if (!dialog->MessageText().isEmpty()) {
                    shownMessage = dialog->MessageText();
                    dialog->reject();
                }
            }
        });
        cancel.start(10);
        CMVRKrsExpDlg& window = bed.OpenWindow();
        QSignalSpy handled(&window, &CMVRKrsExpDlg::clientCheckHandled);
        QVERIFY(handled.wait(5000));
        QCOMPARE(shownMessage, QString("Please update"));
        // Only a compulsory update makes the program give way to the update tool.
        QCOMPARE(window.isVisible(), !mandatory);
    }
}

void CMainWindowTest::symbolsDroppedOnADirectoryAreCopiedThroughTheDialog() {
    CGuiTestbed bed;
    bed.AddDirectory("from", kFormatAsciiComma, 3);
    bed.AddDirectory("to", kFormatAsciiTab, 0);
    bed.AddDirectory("moved", kFormatAsciiComma, 0);
    bed.AddLinkedDirectory("linked", kFormatAsciiComma, 1);
    bed.StoreConfiguration();
    CMVRKrsExpDlg& window = bed.OpenWindow();
    const int from = RowOf(window, bed.Folder("from/"));
    const int to = RowOf(window, bed.Folder("to/"));
    const int moved = RowOf(window, bed.Folder("moved/"));
    const int linked = RowOf(window, bed.Folder("linked/"));
    const auto selectAllSymbols = [&] {
        SelectRows(window, {from});
        window.SymbolView()->selectAll();
    };
    selectAllSymbols();
    QCOMPARE(bed.Session().SymbolList().GetSelectedCount(), std::size_t{3});

    // Neither the directory the symbols come from nor a linked one takes them.
    QVERIFY(!window.DropAllowedOnRow(from));
    QVERIFY(!window.DropAllowedOnRow(linked));
    QVERIFY(!window.DropAllowedOnRow(-1));
    QVERIFY(window.DropAllowedOnRow(to));
    window.DropSymbolsOnRow(linked);
    QCOMPARE(bed.Answers().Texts(), std::vector<std::string>{kLinkedTargetMessage});

    bool moveAsked = false;
    QString countText;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
        if (auto* dialog = qobject_cast<CCopyMoveSymbolsDlg*>(QApplication::activeModalWidget())) {
            countText = dialog->findChild<QLabel*>()->text();
            (moveAsked ? dialog->MoveButton() : dialog->CopyButton())->click();
        }
    });
    user.start(10);
    window.DropSymbolsOnRow(to);
    QCOMPARE(countText, QString("No. of selected Symbols: 3"));
    CExportDirectory copied(kFormatAsciiTab);
    QVERIFY(copied.Open(bed.Folder("to/"), kFormatAsciiTab));
    QCOMPARE(copied.SymbolCount(), std::size_t{3});
    QCOMPARE(window.DirectoryView()->model()->index(to, 2).data().toString(), QString("3"));

    moveAsked = true;
    selectAllSymbols();
    window.DropSymbolsOnRow(moved);
    user.stop();
    CExportDirectory target(kFormatAsciiComma);
    QVERIFY(target.Open(bed.Folder("moved/"), kFormatAsciiComma));
    QCOMPARE(target.SymbolCount(), std::size_t{3});
    CExportDirectory source(kFormatAsciiComma);
    QVERIFY(source.Open(bed.Folder("from/"), kFormatAsciiComma));
    QCOMPARE(source.SymbolCount(), std::size_t{0});
}

void CMainWindowTest::findSelectsTheDirectoryAndItsMatchingSymbols() {
    CGuiTestbed bed;
    bed.AddDirectory("a", kFormatAsciiComma, 2);
    bed.AddDirectory("b", kFormatAsciiComma, 12);
    bed.StoreConfiguration();
    CMVRKrsExpDlg& window = bed.OpenWindow();
    QTimer find;
    QObject::connect(&find, &QTimer::timeout, [&] {
        auto* dialog =
            qobject_cast<CFindInstrumentInDirectoriesDlg*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            return;
        }
        dialog->TextField()->setText("symbol 11");
        QTest::keyClick(dialog->TextField(), Qt::Key_Return); // "Find" is the default button
        if (dialog->ResultView()->model()->rowCount() == 1) {
            dialog->ResultView()->selectRow(0);
            dialog->accept();
        }
    });
    find.start(10);
    window.Button(MainWindowButton::FindSymbol)->click();
    find.stop();
    QCOMPARE(bed.Session().CurrentDirectory(), 1);
    QCOMPARE(window.SymbolView()->model()->rowCount(), 12);
    QCOMPARE(bed.Session().SymbolList().GetSelectedCount(), std::size_t{1});
}

} // namespace mvr::gui::test

QTEST_MAIN(mvr::gui::test::CMainWindowTest)
#include "MainWindowTest.moc"
