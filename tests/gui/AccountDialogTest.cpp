// The account dialog against the reference price server: what the server's
// client information shows, and what OK does with the account it checks.

#include "core/app/AccountDialog.h"

#include "gui/dialogs/AccountDlg.h"
#include "GuiTestbed.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace mvr::gui::test {

namespace {

ServerTables WithClientInfo(ClientInformation info) {
    ServerTables tables = QuietTables();
    tables.clientInfo = std::move(info);
    return tables;
}

// Waits for the dialog's own check of the client information.
bool WaitForClientInfo(CAccountDlg& dialog) {
    QSignalSpy shown(&dialog, &CAccountDlg::clientInfoShown);
    return shown.wait(5000);
}

QLineEdit* Field(CAccountDlg& dialog, int index) {
    return dialog.findChildren<QLineEdit*>().value(index);
}

} // namespace

class CAccountDialogTest : public QObject {
    Q_OBJECT

private slots:
    void anAnswerWithoutMessageOrUpdateShowsOnlyTheFields();
    void anOptionalUpdateShowsTheButtonButNotTheLink();
    void aMandatoryUpdateShowsTheLinkAndLocksTheFields();
    void okStoresTheUpperCasePasswordThatTheServerAccepted();
    void aRefusedAccountKeepsTheDialogOpenWithTheReason();
};

void CAccountDialogTest::anAnswerWithoutMessageOrUpdateShowsOnlyTheFields() {
    CGuiTestbed bed;
    CQtUserInteraction interaction(nullptr);
    AccountDialogValues values{"valid1", "PW", false};
    CAccountDlg dialog(values, interaction);
    QVERIFY(WaitForClientInfo(dialog));
    QCOMPARE(dialog.MessageText(), QString());
    QVERIFY(!dialog.UpdateButtonShown());
    QVERIFY(!dialog.LinkShown());
    QVERIFY(Field(dialog, 0)->isEnabled());
}

void CAccountDialogTest::anOptionalUpdateShowsTheButtonButNotTheLink() {
    CGuiTestbed bed(
        WithClientInfo({"New version", true, false, "", "https://example.com", "News", 0}));
    CQtUserInteraction interaction(nullptr);
    AccountDialogValues values{"valid1", "PW", false};
    CAccountDlg dialog(values, interaction);
    QVERIFY(WaitForClientInfo(dialog));
    QCOMPARE(dialog.MessageText(), QString("New version"));
    QVERIFY(dialog.UpdateButtonShown());
    QVERIFY(!dialog.LinkShown());
    QVERIFY(Field(dialog, 0)->isEnabled());
}

void CAccountDialogTest::aMandatoryUpdateShowsTheLinkAndLocksTheFields() {
    CGuiTestbed bed(WithClientInfo({"", true, true, "", "https://example.com/new", "", 0}));
    CQtUserInteraction interaction(nullptr);
    AccountDialogValues values{"valid1", "PW", false};
    CAccountDlg dialog(values, interaction);
    QVERIFY(WaitForClientInfo(dialog));
    QVERIFY(dialog.UpdateButtonShown());
    QVERIFY(dialog.LinkShown());
    QVERIFY(!Field(dialog, 0)->isEnabled());
    QVERIFY(!Field(dialog, 1)->isEnabled());
}

void CAccountDialogTest::okStoresTheUpperCasePasswordThatTheServerAccepted() {
    CGuiTestbed bed;
    CQtUserInteraction interaction(nullptr);
    AccountDialogValues values{"", "", false};
    CAccountDlg dialog(values, interaction);
    Field(dialog, 0)->setText("valid1");
    Field(dialog, 1)->setText("pw");
    dialog.accept();
    QCOMPARE(dialog.result(), int{QDialog::Accepted});
    QCOMPARE(values.account, std::string("valid1"));
    QCOMPARE(values.password, std::string("PW"));
}

void CAccountDialogTest::aRefusedAccountKeepsTheDialogOpenWithTheReason() {
    CGuiTestbed bed;
    CQtUserInteraction interaction(nullptr);
    AccountDialogValues values{"blocked", "PW", false};
    CAccountDlg dialog(values, interaction);
    dialog.show();
    QVERIFY(WaitForClientInfo(dialog));
    dialog.accept();
    QVERIFY(dialog.isVisible());
    QVERIFY(dialog.MessageText().startsWith("Your access has been blocked!"));
    QCOMPARE(values.password, std::string("PW")); // nothing taken over
    QCOMPARE(values.account, std::string("blocked"));
}

} // namespace mvr::gui::test

QTEST_MAIN(mvr::gui::test::CAccountDialogTest)
#include "AccountDialogTest.moc"
