// The symbol search against the reference price server: a text search and a
// catalogue listing as the list and the status line show them, type-ahead in
// the list, what OK hands back, and a close while the server keeps silent.

#include "gui/search/SearchPage.h"

#include "core/net/ProcessState.h"
#include "core/net/UserRequests.h"
#include "gui/catalogue/CatalogueTreeView.h"
#include "gui/controls/SortHeader.h"
#include "server/SmallDataFolder.h"
#include "server/TestPriceServer.h"
#include "support/Running.h"

#include <chrono>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSplitter>
#include <QTableView>
#include <QTest>

namespace mvr::gui::test {

namespace {

using namespace std::chrono_literals;

bool LogIn() {
    std::string message;
    return Login("valid1", "pw", message, mvr::test::Running()) > 0;
}

bool WaitForTree(CSearchPage& page) {
    QSignalSpy shown(&page, &CSearchPage::treeShown);
    return page.Tree()->model()->rowCount() > 0 || shown.wait(5000);
}

QStringList Entries(const QComboBox* box) {
    QStringList entries;
    for (int index = 0; index < box->count(); ++index) {
        entries << box->itemText(index);
    }
    return entries;
}

// One column of the result list, top to bottom.
QStringList Column(const CSearchPage& page, int column) {
    const QAbstractItemModel& model = *page.ResultView()->model();
    QStringList texts;
    for (int row = 0; row < model.rowCount(); ++row) {
        texts << model.index(row, column).data().toString();
    }
    return texts;
}

QList<int> SelectedRows(const CSearchPage& page) {
    QList<int> rows;
    for (const QModelIndex& index : page.ResultView()->selectionModel()->selectedRows()) {
        rows << index.row();
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

QModelIndex FindInTree(const QAbstractItemModel& model, const QStringList& path) {
    QModelIndex at;
    for (const QString& name : path) {
        const QModelIndexList hits =
            model.match(model.index(0, 0, at), Qt::DisplayRole, name, 1, Qt::MatchExactly);
        if (hits.isEmpty()) {
            return {};
        }
        at = hits.constFirst();
    }
    return at;
}

void DoubleClickInTree(CSearchPage& page, const QStringList& path) {
    page.Tree()->expandAll();
    const QModelIndex index = FindInTree(*page.Tree()->model(), path);
    QVERIFY(index.isValid());
    emit page.Tree()->doubleClicked(index);
}

// A server that pauses before every block it sends, so that a search is
// still running when the test acts. Logging in and the tree take a quick one.
ServeOptions SlowServing() {
    ServeOptions slow = mvr::test::TestServeOptions();
    slow.faults.blockDelay = 300ms;
    return slow;
}

void SelectRow(CSearchPage& page, int row) {
    page.ResultView()->selectionModel()->select(page.ResultView()->model()->index(row, 0),
                                                QItemSelectionModel::Select |
                                                    QItemSelectionModel::Rows);
}

} // namespace

class CSearchPageTest : public QObject {
    Q_OBJECT

private slots:
    void aTextSearchFillsTheListAndTheStatusLine();
    void aDoubleClickOnACatalogueListsItsMembersAndTypingSelects();
    void okHandsOnTheSelectedRecordsInRowOrderAndTheState();
    void aSearchWhileASearchRunsRestartsItWithTheNewCriteria();
    void aCatalogueDoubleClickWhileASearchRunsIsIgnored();
    void cancelWhileTheServerIsSilentClosesAtOnce();
};

void CSearchPageTest::aTextSearchFillsTheListAndTheStatusLine() {
    mvr::test::TestPriceServer server;
    QVERIFY(LogIn());
    SearchDialogState state;
    state.sortFlag = 1; // by name, ascending
    std::vector<WATCH> selection;
    CSearchPage page(state, selection);
    page.show();

    QCOMPARE(page.windowTitle(), QString("Symbol Search"));
    QCOMPARE(Entries(page.SearchKindBox()),
             QStringList({"Name", "Symbol", "ISIN", "Exact symbol", "Anything"}));
    QCOMPARE(Entries(page.SecurityTypeBox()),
             QStringList({"All securities types", "Bonds", "Indices", "Shares"}));
    QCOMPARE(page.ExchangeBox()->itemText(0), QString("All exchanges"));
    QCOMPARE(page.ExchangeBox()->itemData(0).toInt(), 0);
    QCOMPARE(page.StatusLine()->text(), QString("Resultlist:"));

    // The text is trimmed before it goes out: " sap " finds both "Sap..." names.
    page.TextBox()->setEditText(QStringLiteral("  sap "));
    QSignalSpy shown(&page, &CSearchPage::resultsShown);
    page.SearchButton()->click();
    QTRY_VERIFY(page.StatusLine()->text().endsWith(QLatin1String(" 2 securities")));
    QTRY_VERIFY(!page.IsWorking());
    QTRY_COMPARE(Column(page, 0), QStringList({"Sapex Software AG", "Sapy Systems SE"}));
    QCOMPARE(Column(page, 2).first(), QString("Xetra"));
    QCOMPARE(Column(page, 3).first(), QString("Shares"));
    QVERIFY(page.BusyIndicator()->pixmap().isNull());

    // Enter in the text box searches again, here with one hit and a filter.
    page.SecurityTypeBox()->setCurrentIndex(page.SecurityTypeBox()->findText("Shares"));
    page.TextBox()->setEditText(QStringLiteral("Applex"));
    page.TextBox()->lineEdit()->setFocus();
    shown.clear();
    QTest::keyClick(page.TextBox()->lineEdit(), Qt::Key_Return);
    QTRY_VERIFY(page.StatusLine()->text().endsWith(QLatin1String(" 1 security")));
    QTRY_VERIFY(!page.IsWorking());
    QTRY_COMPARE(Column(page, 1), QStringList({"APLX"}));

    // A filter that excludes everything leaves the list empty with 0 hits.
    page.SecurityTypeBox()->setCurrentIndex(page.SecurityTypeBox()->findText("Bonds"));
    page.SearchButton()->click();
    QTRY_VERIFY(page.StatusLine()->text().endsWith(QLatin1String(" 0 securities")));
    QTRY_COMPARE(page.ResultView()->model()->rowCount(), 0);
}

void CSearchPageTest::aDoubleClickOnACatalogueListsItsMembersAndTypingSelects() {
    mvr::test::TestPriceServer server;
    QVERIFY(LogIn());
    SearchDialogState state;
    std::vector<WATCH> selection;
    CSearchPage page(state, selection);
    page.show();
    QVERIFY(WaitForTree(page));

    // A group is no catalogue: nothing starts.
    DoubleClickInTree(page, {"Shares"});
    QVERIFY(!page.IsWorking());
    QCOMPARE(page.StatusLine()->text(), QString("Resultlist:"));

    DoubleClickInTree(page, {"Shares", "All instruments"});
    QTRY_COMPARE(page.StatusLine()->text(), QString("Catalog All instruments: 6 securities"));
    QTRY_VERIFY(!page.IsWorking());
    QTRY_COMPARE(page.ResultView()->model()->rowCount(), 6);

    // Sorted by name, two typed letters select the first name at or after them.
    page.ResultHeader()->ColumnClicked(0);
    QCOMPARE(page.ResultHeader()->SortColumn(), 0);
    QCOMPARE(Column(page, 0).first(), QString("Applex Inc."));
    page.ResultView()->setFocus();
    QTest::keyClicks(page.ResultView(), QStringLiteral("sa"));
    const QList<int> rows = SelectedRows(page);
    QCOMPARE(rows.size(), 1);
    QCOMPARE(Column(page, 0).at(rows.first()), QString("Sapex Software AG"));

    // The repeats catalogue lists each member as often as the server sends it.
    DoubleClickInTree(page, {"Shares", "Repeats"});
    QTRY_COMPARE(page.StatusLine()->text(), QString("Catalog Repeats: 5 securities"));
    QTRY_COMPARE(page.ResultView()->model()->rowCount(), 5);
}

void CSearchPageTest::okHandsOnTheSelectedRecordsInRowOrderAndTheState() {
    mvr::test::TestPriceServer server;
    QVERIFY(LogIn());
    SearchDialogState state;
    state.sortColumn = 1; // symbol
    state.sortFlag = 1;   // ascending
    state.splitterPosition = 260;
    std::vector<WATCH> selection;
    CSearchPage page(state, selection);
    page.show();
    QCOMPARE(page.ResultHeader()->SortColumn(), 1);
    QCOMPARE(page.Splitter()->sizes().value(0), 260);
    QVERIFY(WaitForTree(page));

    DoubleClickInTree(page, {"Shares", "All instruments"});
    QTRY_COMPARE(page.ResultView()->model()->rowCount(), 6);
    QTRY_VERIFY(!page.IsWorking());
    QTRY_COMPARE(Column(page, 1), QStringList({"APLX", "BUND30", "IDX", "OTCA", "SAPX", "sapy"}));

    // OK without a selected row keeps the dialog open.
    page.OkButton()->click();
    QVERIFY(page.isVisible());
    QVERIFY(state.placement.length == 0);

    // Selected bottom row first; handed on top to bottom.
    SelectRow(page, 4);
    SelectRow(page, 1);
    page.ResultHeader()->ColumnClicked(1); // now descending
    QCOMPARE(Column(page, 1).first(), QString("sapy"));
    page.ResultView()->setFocus();
    QTest::keyClick(page.ResultView(), Qt::Key_Return);
    QVERIFY(!page.isVisible());
    QCOMPARE(page.result(), int{QDialog::Accepted});
    QCOMPARE(selection.size(), std::size_t{2});
    QCOMPARE(QString::fromStdString(selection[0].symbol), QString("SAPX"));
    QCOMPARE(QString::fromStdString(selection[1].symbol), QString("BUND30"));
    QCOMPARE(state.sortColumn, 1);
    QCOMPARE(state.sortFlag, 0);
    QCOMPARE(state.placement.length, std::uint32_t{WindowPlacement::kSize});
    QCOMPARE(state.placement.right - state.placement.left, page.width());
    QCOMPARE(state.splitterPosition, page.Splitter()->sizes().value(0));
}

void CSearchPageTest::aSearchWhileASearchRunsRestartsItWithTheNewCriteria() {
    mvr::test::TestPriceServer slowServer{mvr::test::SmallTables(), SlowServing()};
    mvr::test::TestPriceServer server;
    QVERIFY(LogIn());
    SearchDialogState state;
    std::vector<WATCH> selection;
    CSearchPage page(state, selection);
    page.show();
    QVERIFY(WaitForTree(page));
    slowServer.BecomeServer();
    QStringList shownLists;
    connect(&page, &CSearchPage::resultsShown, &page,
            [&] { shownLists << Column(page, 1).join(QLatin1Char(',')); });

    page.TextBox()->setEditText(QStringLiteral("sap"));
    page.SearchButton()->click();
    QTRY_VERIFY(page.IsWorking());
    page.TextBox()->setEditText(QStringLiteral("Applex"));
    page.SearchButton()->click();

    // The worker's last reports reach the list after it ended: wait for them.
    QTRY_VERIFY_WITH_TIMEOUT(!page.IsWorking(), 15000);
    QTRY_COMPARE(Column(page, 1), QStringList({"APLX"}));
    QTRY_VERIFY(page.StatusLine()->text().endsWith(QLatin1String(" 1 security")));
    // The answer to "sap" was dropped, never shown.
    QVERIFY(!shownLists.contains(QStringLiteral("SAPX,sapy")));
    QVERIFY(!shownLists.contains(QStringLiteral("sapy,SAPX")));
}

void CSearchPageTest::aCatalogueDoubleClickWhileASearchRunsIsIgnored() {
    // The tree comes from a quick server, the search from a slow one.
    mvr::test::TestPriceServer slowServer{mvr::test::SmallTables(), SlowServing()};
    mvr::test::TestPriceServer server;
    QVERIFY(LogIn());
    SearchDialogState state;
    std::vector<WATCH> selection;
    CSearchPage page(state, selection);
    page.show();
    QVERIFY(WaitForTree(page));
    slowServer.BecomeServer();

    page.TextBox()->setEditText(QStringLiteral("sap"));
    page.SearchButton()->click();
    QTRY_VERIFY(page.IsWorking());
    DoubleClickInTree(page, {"Shares", "All instruments"});

    QTRY_VERIFY_WITH_TIMEOUT(!page.IsWorking(), 15000);
    const auto sortedSymbols = [&page] {
        QStringList symbols = Column(page, 1);
        symbols.sort();
        return symbols;
    };
    QTRY_COMPARE(sortedSymbols(), QStringList({"SAPX", "sapy"}));
    QTRY_VERIFY(page.StatusLine()->text().endsWith(QLatin1String(" 2 securities")));
}

void CSearchPageTest::cancelWhileTheServerIsSilentClosesAtOnce() {
    ServeOptions silent = mvr::test::TestServeOptions();
    silent.faults.blockDelay = 20s;
    mvr::test::TestPriceServer silentServer{mvr::test::SmallTables(), silent};
    // The login number comes from a server that answers; the silent one,
    // serving the same accounts, knows it too.
    mvr::test::TestPriceServer server;
    QVERIFY(LogIn());
    silentServer.BecomeServer();

    SearchDialogState state;
    state.sortColumn = 2;
    std::vector<WATCH> selection;
    CSearchPage page(state, selection);
    page.show();
    page.TextBox()->setEditText(QStringLiteral("sap"));
    page.SearchButton()->click();
    QTRY_VERIFY(page.IsWorking());
    QTRY_VERIFY(!page.BusyIndicator()->pixmap().isNull());

    // Enter is ignored while a worker runs.
    page.ResultView()->setFocus();
    QTest::keyClick(page.ResultView(), Qt::Key_Return);
    QVERIFY(page.isVisible());

    QElapsedTimer clock;
    clock.start();
    page.reject();
    QVERIFY(clock.elapsed() < 1000);
    QVERIFY(!page.IsWorking());
    QVERIFY(!page.isVisible());
    QCOMPARE(page.result(), int{QDialog::Rejected});
    QVERIFY(selection.empty());
    QCOMPARE(state.sortColumn, 2);
    QCOMPARE(state.placement.length, std::uint32_t{0});
}

} // namespace mvr::gui::test

QTEST_MAIN(mvr::gui::test::CSearchPageTest)
#include "SearchPageTest.moc"
