// The definition-file dialog against the reference price server: the answer
// file and the status line after Download, the error box for a refused
// account, and the two names going back into the settings.

#include "gui/catalogue/DefinitionFileDownloadDlg.h"

#include "core/app/Session.h"
#include "core/platform/ConfigFolder.h"
#include "gui/app/QtUserInteraction.h"
#include "gui/app/ScriptedAnswers.h"
#include "gui/controls/FileEdit.h"
#include "server/DefinitionAnswer.h"
#include "server/TestPriceServer.h"
#include "support/TempDir.h"

#include <chrono>
#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace mvr::gui::test {

namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

Bytes BytesOf(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

constexpr std::string_view kDefinition = "SAPX\nNOPE\n";

// Looks at the dialog when its server work starts.
class CWatchingInteraction : public CQtUserInteraction {
public:
    using CQtUserInteraction::CQtUserInteraction;

    bool RunNetworkWork(const std::string& what,
                        const std::function<void(const RunFlag&)>& work) override {
        if (atStart) {
            atStart();
        }
        return CQtUserInteraction::RunNetworkWork(what, work);
    }

    std::function<void()> atStart;
};

// A configuration folder that names the server and holds the account, the
// input file, and the dialog's messages recorded instead of shown.
struct Fixture {
    explicit Fixture(const std::string& account) {
        const std::string ini =
            "[MVRKrsExp]\r\nServerName=127.0.0.1\r\nServerPort=" + std::to_string(server.Port()) +
            "\r\n";
        mvr::test::WriteBytes(config.File("MVRKrsExp.ini"), BytesOf(ini));
        mvr::test::WriteBytes(input, BytesOf(kDefinition));
        mvr::test::WriteBytes(output, BytesOf("old"));
        session.LoadConfig();
        session.User().account = account;
        session.User().password = "pw";
        session.User().definitionInput = input;
        session.User().definitionOutput = output;
        interaction.SetScriptedAnswers(&answers);
    }

    mvr::test::TestPriceServer server;
    mvr::test::TempDir config;
    mvr::test::ScopedEnvironment folder{kConfigFolderVariable, config.Path()};
    mvr::test::TempDir files;
    std::string input = files.File("in.txt");
    std::string output = files.File("out.txt");
    CMVRKrsExpSession session;
    CScriptedAnswers answers;
    CWatchingInteraction interaction{nullptr};
};

} // namespace

class CDefinitionFileDownloadDlgTest : public QObject {
    Q_OBJECT

private slots:
    void downloadWritesTheAnswerAndTheFinishedStatusGoesAway();
    void aRefusedAccountShowsTheErrorAndLeavesTheOutputFile();
    void theNamesGoBackIntoTheSettingsWhenTheDialogCloses();
};

void CDefinitionFileDownloadDlgTest::downloadWritesTheAnswerAndTheFinishedStatusGoesAway() {
    Fixture f("valid1");
    CDefinitionFileDownloadDlg dialog(f.session, f.interaction, nullptr, 300ms);
    QCOMPARE(dialog.windowTitle(), QString("Download with Definition File"));
    QCOMPARE(dialog.InputFile()->Text(), f.input);
    QCOMPARE(dialog.OutputFile()->Text(), f.output);
    QCOMPARE(dialog.InputFile()->Extension(), std::string("txt"));
    QCOMPARE(dialog.OutputFile()->Extension(), std::string("txt"));
    dialog.show();

    QString statusAtStart;
    bool downloadEnabledAtStart = true;
    f.interaction.atStart = [&] {
        statusAtStart = dialog.StatusText();
        downloadEnabledAtStart = dialog.DownloadButton()->isEnabled();
    };
    dialog.DownloadButton()->click();
    QCOMPARE(statusAtStart, QString("Download in progress ..."));
    QVERIFY(!downloadEnabledAtStart);

    QCOMPARE(dialog.StatusText(), QString("Download finished"));
    QVERIFY(dialog.DownloadButton()->isEnabled());
    QVERIFY(f.answers.Texts().empty());
    const std::string expected = BuildDefinitionAnswer(f.server.Data(), kDefinition).text;
    QCOMPARE(mvr::test::ReadBytes(f.output), BytesOf(expected));
    QTRY_COMPARE_WITH_TIMEOUT(dialog.StatusText(), QString(), 5000);
}

void CDefinitionFileDownloadDlgTest::aRefusedAccountShowsTheErrorAndLeavesTheOutputFile() {
    Fixture f("blocked");
    CDefinitionFileDownloadDlg dialog(f.session, f.interaction);
    dialog.show();
    dialog.DownloadButton()->click();
    QCOMPARE(f.answers.Texts(), std::vector<std::string>{"Error Processing Request..."});
    QCOMPARE(dialog.StatusText(), QString());
    QCOMPARE(mvr::test::ReadBytes(f.output), BytesOf("old"));
    QVERIFY(dialog.isVisible());
}

void CDefinitionFileDownloadDlgTest::theNamesGoBackIntoTheSettingsWhenTheDialogCloses() {
    Fixture f("valid1");
    CDefinitionFileDownloadDlg dialog(f.session, f.interaction);
    dialog.show();
    dialog.InputFile()->SetText("request.txt");
    dialog.OutputFile()->SetText("answer.txt");
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(f.session.User().definitionInput, std::string("request.txt"));
    QCOMPARE(f.session.User().definitionOutput, std::string("answer.txt"));
}

} // namespace mvr::gui::test

QTEST_MAIN(mvr::gui::test::CDefinitionFileDownloadDlgTest)
#include "DefinitionFileDownloadDlgTest.moc"
