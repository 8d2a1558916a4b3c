// The catalogue picker and the linked-catalogue field against the reference
// price server: the tree as it arrives from the loader, what OK, a double
// click and "None" choose, the second opening from memory, and a close while
// the server keeps silent.

#include "core/net/ProcessState.h"
#include "core/net/UserRequests.h"
#include "gui/catalogue/CatalogTreeDlg.h"
#include "gui/catalogue/CatalogTreeEntrySelect.h"
#include "gui/catalogue/CatalogueTreeView.h"
#include "server/SmallDataFolder.h"
#include "server/TestPriceServer.h"
#include "support/Running.h"

#include <chrono>
#include <functional>
#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace mvr::gui::test {

namespace {

using namespace std::chrono_literals;

// Indices > Germany > DAX 40, and a catalogue at the top level.
ServerTables IndexTables() {
    ServerTables tables = mvr::test::SmallTables();
    tables.catalogueGroups = {{10, "Indices"}, {11, "Germany"}};
    tables.catalogues = {{5, "DAX", "DAX 40", {1001, 1002}},
                         {6, "ALL", "All instruments", {1001, 1002, 1003}}};
    tables.catalogueTree = {
        {10, kTreeTop, 0, 0}, {11, 10, 0, 0}, {5, 11, 1, 0}, {6, kTreeTop, 1, 0}};
    return tables;
}

bool LogIn() {
    std::string message;
    return Login("valid1", "pw", message, mvr::test::Running()) > 0;
}

bool WaitForTree(CMVRCatalogTreeDlg& picker) {
    QSignalSpy shown(&picker, &CMVRCatalogTreeDlg::treeShown);
    return picker.Tree()->model()->rowCount() > 0 || shown.wait(5000);
}

// The tree as text: each item's name, its children in parentheses.
QString Describe(const QAbstractItemModel& model, const QModelIndex& parent = {}) {
    QStringList items;
    for (int row = 0; row < model.rowCount(parent); ++row) {
        const QModelIndex index = model.index(row, 0, parent);
        QString item = index.data().toString();
        if (model.rowCount(index) > 0) {
            item += '(' + Describe(model, index) + ')';
        }
        items << item;
    }
    return items.join(',');
}

QModelIndex Find(const QAbstractItemModel& model, const QStringList& path) {
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

void Select(CMVRCatalogTreeDlg& picker, const QStringList& path) {
    const QModelIndex index = Find(*picker.Tree()->model(), path);
    QVERIFY(index.isValid());
    picker.Tree()->setCurrentIndex(index);
}

// Acts on the picker that the field opens modally, once it is up.
void WhenPickerOpens(std::function<void(CMVRCatalogTreeDlg&)> act, int attempts = 500) {
    QTimer::singleShot(10, [act = std::move(act), attempts]() mutable {
        auto* picker = qobject_cast<CMVRCatalogTreeDlg*>(QApplication::activeModalWidget());
        if (picker != nullptr) {
            act(*picker);
        } else if (attempts > 0) {
            WhenPickerOpens(std::move(act), attempts - 1);
        }
    });
}

void ClickBrowse(CMVRCatalogTreeEntrySelect& field) {
    auto* browse = field.findChild<QToolButton*>(QStringLiteral("browseButton"));
    QVERIFY(browse != nullptr);
    browse->click();
}

} // namespace

class CCatalogueTreeDlgTest : public QObject {
    Q_OBJECT

private slots:
    void theTreeShowsEachGroupAboveItsChildrenWithTheirImages();
    void okOnAGroupStaysOpenAndOkOnACatalogueGivesItsPath();
    void aDoubleClickOnATopLevelCatalogueGivesItsBareName();
    void aSecondOpeningShowsTheTreeWithoutANewRequest();
    void theFieldTakesTheChoiceAndNoneUnlinks();
    void closingWhileTheServerIsSilentEndsAtOnce();
};

void CCatalogueTreeDlgTest::theTreeShowsEachGroupAboveItsChildrenWithTheirImages() {
    mvr::test::TestPriceServer server(IndexTables());
    QVERIFY(LogIn());
    CMVRCatalogTreeDlg picker;
    QCOMPARE(picker.windowTitle(), QString("securities catalogues"));
    QCOMPARE(picker.NoneButton()->text(), QString("None"));
    QVERIFY(WaitForTree(picker));

    const QAbstractItemModel& model = *picker.Tree()->model();
    QCOMPARE(Describe(model), QString("Indices(Germany(DAX 40)),All instruments"));
    const QIcon groupImage = CatalogueTreeImage(kTreeImageGroup);
    const QIcon catalogueImage = CatalogueTreeImage(kTreeImageCatalogue);
    QVERIFY(!groupImage.isNull() && !catalogueImage.isNull());
    QVERIFY(groupImage.cacheKey() != catalogueImage.cacheKey());
    const auto imageOf = [&](const QStringList& path) {
        return Find(model, path).data(Qt::DecorationRole).value<QIcon>().cacheKey();
    };
    QCOMPARE(imageOf({"Indices"}), groupImage.cacheKey());
    QCOMPARE(imageOf({"Indices", "Germany"}), groupImage.cacheKey());
    QCOMPARE(imageOf({"Indices", "Germany", "DAX 40"}), catalogueImage.cacheKey());
    QCOMPARE(imageOf({"All instruments"}), catalogueImage.cacheKey());
    // Nothing is chosen before the user chooses.
    QVERIFY(picker.Tree()->SelectedChain().empty());
}

void CCatalogueTreeDlgTest::okOnAGroupStaysOpenAndOkOnACatalogueGivesItsPath() {
    mvr::test::TestPriceServer server(IndexTables());
    QVERIFY(LogIn());
    CMVRCatalogTreeDlg picker;
    picker.show();
    QVERIFY(WaitForTree(picker));

    picker.accept(); // nothing selected
    QVERIFY(picker.isVisible());
    Select(picker, {"Indices", "Germany"});
    picker.accept();
    QVERIFY(picker.isVisible());
    QCOMPARE(picker.result(), int{QDialog::Rejected});

    Select(picker, {"Indices", "Germany", "DAX 40"});
    picker.accept();
    QVERIFY(!picker.isVisible());
    QCOMPARE(picker.result(), int{QDialog::Accepted});
    QCOMPARE(picker.Choice(), (CatalogueChoice{5, "Indices/Germany/DAX 40"}));
}

void CCatalogueTreeDlgTest::aDoubleClickOnATopLevelCatalogueGivesItsBareName() {
    mvr::test::TestPriceServer server(IndexTables());
    QVERIFY(LogIn());
    CMVRCatalogTreeDlg picker;
    picker.show();
    QVERIFY(QTest::qWaitForWindowExposed(&picker));
    QVERIFY(WaitForTree(picker));

    CCatalogueTreeView& tree = *picker.Tree();
    const auto doubleClick = [&tree](const QStringList& path) {
        const QPoint at = tree.visualRect(Find(*tree.model(), path)).center();
        // The view takes a double click only on the item the first click pressed.
        QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(tree.viewport(), Qt::LeftButton, {}, at);
    };
    doubleClick({"Indices"});
    QVERIFY(picker.isVisible());
    QVERIFY(tree.isExpanded(Find(*tree.model(), {"Indices"})));

    doubleClick({"All instruments"});
    QCOMPARE(picker.result(), int{QDialog::Accepted});
    QCOMPARE(picker.Choice(), (CatalogueChoice{6, "All instruments"}));
}

void CCatalogueTreeDlgTest::aSecondOpeningShowsTheTreeWithoutANewRequest() {
    mvr::test::TestPriceServer server;
    QVERIFY(LogIn());
    QString first;
    {
        CMVRCatalogTreeDlg picker;
        QVERIFY(WaitForTree(picker));
        first = Describe(*picker.Tree()->model());
    }
    // The catalogue without a name is shown with an empty text.
    QCOMPARE(first, QString("Shares(All instruments,Repeats),Lists()"));

    CMVRCatalogTreeDlg again;
    QVERIFY(WaitForTree(again));
    QCOMPARE(Describe(*again.Tree()->model()), first);
    // A request that is surely logged after any the second opening made.
    QVERIFY(CheckAccount("valid1", "pw", mvr::test::Running()) > 0);
    const auto lines = server.WaitForLogLines(3);
    QCOMPARE(mvr::test::CountLines(lines, "code=3 "), std::size_t{1});
}

void CCatalogueTreeDlgTest::theFieldTakesTheChoiceAndNoneUnlinks() {
    mvr::test::TestPriceServer server;
    QVERIFY(LogIn());
    CMVRCatalogTreeEntrySelect field;
    field.SetCatalogue(2, "Shares/Repeats");
    QSignalSpy changed(&field, &CMVRCatalogTreeEntrySelect::catalogueChanged);

    WhenPickerOpens([](CMVRCatalogTreeDlg& picker) { picker.reject(); });
    ClickBrowse(field);
    QCOMPARE(field.CatalogueId(), 2);
    QCOMPARE(field.CatalogueName(), std::string("Shares/Repeats"));
    QCOMPARE(changed.count(), 0);

    WhenPickerOpens([](CMVRCatalogTreeDlg& picker) {
        QVERIFY(WaitForTree(picker));
        Select(picker, {"Shares", "All instruments"});
        picker.accept();
    });
    ClickBrowse(field);
    QCOMPARE(field.CatalogueId(), 1);
    QCOMPARE(field.CatalogueName(), std::string("Shares/All instruments"));
    QCOMPARE(changed.count(), 1);

    WhenPickerOpens([](CMVRCatalogTreeDlg& picker) { picker.NoneButton()->click(); });
    ClickBrowse(field);
    QCOMPARE(field.CatalogueId(), 0);
    QCOMPARE(field.CatalogueName(), std::string());
    QCOMPARE(changed.count(), 2);

    // "None" on a field without a catalogue changes nothing.
    WhenPickerOpens([](CMVRCatalogTreeDlg& picker) { picker.NoneButton()->click(); });
    ClickBrowse(field);
    QCOMPARE(changed.count(), 2);
}

void CCatalogueTreeDlgTest::closingWhileTheServerIsSilentEndsAtOnce() {
    ServeOptions silent = mvr::test::TestServeOptions();
    silent.faults.blockDelay = 20s;
    mvr::test::TestPriceServer silentServer{mvr::test::SmallTables(), silent};
    // The login number comes from a server that answers; the silent one,
    // serving the same accounts, knows it too.
    mvr::test::TestPriceServer server;
    QVERIFY(LogIn());
    silentServer.BecomeServer();

    CMVRCatalogTreeDlg picker;
    QSignalSpy shown(&picker, &CMVRCatalogTreeDlg::treeShown);
    picker.show();
    QVERIFY(picker.IsLoading());
    QElapsedTimer closing;
    closing.start();
    picker.reject();
    // Well below the client's time-out: the stop ended the download.
    QVERIFY(closing.elapsed() < 1500);
    QVERIFY(!picker.isVisible());
    QVERIFY(!picker.IsLoading());
    QCoreApplication::processEvents();
    QCOMPARE(shown.count(), 0);
    QVERIFY(!ProcessCatalogueTables().IsComplete());
}

} // namespace mvr::gui::test

QTEST_MAIN(mvr::gui::test::CCatalogueTreeDlgTest)
#include "CatalogueTreeDlgTest.moc"
