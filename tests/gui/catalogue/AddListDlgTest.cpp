// The "Add List" dialog: the existing names in the box, and the name rule's
// answers as the user meets them (messages answered by the test).

#include "gui/catalogue/AddListDlg.h"

#include "core/app/ListNameRule.h"
#include "gui/app/QtUserInteraction.h"
#include "gui/app/ScriptedAnswers.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

namespace mvr::gui::test {

namespace {

std::vector<CMVRDirListInfo> Lists(std::initializer_list<const char*> names) {
    std::vector<CMVRDirListInfo> lists;
    for (const char* name : names) {
        lists.push_back(CMVRDirListInfo{name, {}, CMVRDirListInfo::kSystemKind});
    }
    return lists;
}

// The dialog with its messages recorded instead of shown.
struct Fixture {
    explicit Fixture(std::initializer_list<const char*> names) : dialog(Lists(names), interaction) {
        interaction.SetScriptedAnswers(&answers);
        dialog.show();
    }

    void Type(const QString& text) {
        QLineEdit* edit = dialog.NameBox()->lineEdit();
        edit->clear();
        QTest::keyClicks(edit, text);
    }

    CScriptedAnswers answers;
    CQtUserInteraction interaction{nullptr};
    CAddListDlg dialog;
};

} // namespace

class CAddListDlgTest : public QObject {
    Q_OBJECT

private slots:
    void theBoxShowsTheListsSortedEachWithItsIndex();
    void anEmptyNameDoesNothingAndATakenBeginningIsRefused();
    void enterTakesANewNameAsTyped();
};

void CAddListDlgTest::theBoxShowsTheListsSortedEachWithItsIndex() {
    Fixture f{"stocks Europe", "Bonds", "all"};
    QCOMPARE(f.dialog.windowTitle(), QString("Add List"));
    QVERIFY(f.dialog.findChild<QLabel*>()->text() == QString("Name:"));
    const QComboBox& box = *f.dialog.NameBox();
    QCOMPARE(box.count(), 3);
    const QStringList shown{box.itemText(0), box.itemText(1), box.itemText(2)};
    QCOMPARE(shown, (QStringList{"all", "Bonds", "stocks Europe"}));
    QCOMPARE(box.itemData(0).toULongLong(), 2ull);
    QCOMPARE(box.itemData(1).toULongLong(), 1ull);
    QCOMPARE(box.itemData(2).toULongLong(), 0ull);
    // The user starts with an empty name, not with an existing one.
    QCOMPARE(box.currentText(), QString());
}

void CAddListDlgTest::anEmptyNameDoesNothingAndATakenBeginningIsRefused() {
    Fixture f{"Stocks Europe", "Bonds"};
    f.dialog.accept();
    QVERIFY(f.dialog.isVisible());
    QVERIFY(f.answers.Texts().empty());

    // Another letter case, and only the beginning of the name.
    f.Type("STOCKS");
    f.dialog.accept();
    QVERIFY(f.dialog.isVisible());
    QCOMPARE(f.answers.Texts(), std::vector<std::string>{kListExistsMessage});
    QCOMPARE(f.dialog.NameBox()->currentText(), QString("STOCKS"));

    f.Type("Stocks America");
    f.dialog.accept();
    QCOMPARE(f.dialog.result(), int{QDialog::Accepted});
    QCOMPARE(f.dialog.Name(), std::string("Stocks America"));
    QCOMPARE(f.answers.Texts().size(), std::size_t{1});
}

void CAddListDlgTest::enterTakesANewNameAsTyped() {
    Fixture f{"Bonds"};
    QVERIFY(QTest::qWaitForWindowExposed(&f.dialog));
    f.Type("Commodities");
    QTest::keyClick(f.dialog.NameBox()->lineEdit(), Qt::Key_Return);
    QCOMPARE(f.dialog.result(), int{QDialog::Accepted});
    QVERIFY(!f.dialog.isVisible());
    QCOMPARE(f.dialog.Name(), std::string("Commodities"));
    // Nothing typed became an entry of the box.
    QCOMPARE(f.dialog.NameBox()->count(), 1);
}

} // namespace mvr::gui::test

QTEST_MAIN(mvr::gui::test::CAddListDlgTest)
#include "AddListDlgTest.moc"
