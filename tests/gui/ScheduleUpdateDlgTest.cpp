// The window's "Schedule daily update" dialog on a machine whose scheduler is
// cron: what a user picks becomes the crontab line the batch tool's
// --schedule writes, the dialog shows it again when reopened, and Remove
// takes it away. The crontab is a fake kept in the test.

#include "gui/dialogs/ScheduleUpdateDlg.h"

#include "core/app/ScheduleDailyUpdate.h"
#include "core/schedule/CrontabText.h"
#include "support/RecordingRunner.h"
#include "support/TempDir.h"

#include <optional>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimeEdit>

namespace mvr::gui::test {

namespace {

using mvr::test::FailedWith;
using mvr::test::Succeeded;

constexpr const char* kProgram = "/opt/mvr/bin/mvrkrsexp-batch";

} // namespace

class CScheduleUpdateDlgTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void aListUpdateIsScheduledShownAgainAndRemoved();
    void aDirectoryOrListChoiceNeedsItsValue();

private:
    std::unique_ptr<mvr::test::TempDir> dir_;
    std::unique_ptr<mvr::test::ScopedEnvironment> configHome_;
    std::unique_ptr<mvr::test::ScopedEnvironment> configFolder_;
    mvr::test::RecordingRunner runner_;
    std::optional<std::string> crontab_;
    std::vector<MVRKrsExportInfo> directories_;
    std::vector<CMVRDirListInfo> lists_;
};

void CScheduleUpdateDlgTest::init() {
    dir_ = std::make_unique<mvr::test::TempDir>();
    configHome_ =
        std::make_unique<mvr::test::ScopedEnvironment>("XDG_CONFIG_HOME", dir_->File("home"));
    configFolder_ = std::make_unique<mvr::test::ScopedEnvironment>("MVRKRSEXP_CONFIG_DIR", "");
    crontab_.reset();
    // No service manager answers: cron it is.
    runner_.Handle("systemctl", [](const std::vector<std::string>&, std::string_view) {
        return FailedWith(1, "Failed to connect to bus\n");
    });
    runner_.Handle(
        "crontab", [this](const std::vector<std::string>& arguments, std::string_view input) {
            if (arguments.at(0) == "-") {
                crontab_ = std::string(input);
                return Succeeded();
            }
            return crontab_ ? Succeeded(*crontab_) : FailedWith(1, "no crontab for ann\n");
        });
    directories_.assign(2, MVRKrsExportInfo{});
    directories_[0].path = "/data/kurse/";
    directories_[1].path = "/data/intraday/";
    lists_.assign(1, CMVRDirListInfo{});
    lists_[0].name = "Evening list";
}

void CScheduleUpdateDlgTest::cleanup() {
    configFolder_.reset();
    configHome_.reset();
    dir_.reset();
}

void CScheduleUpdateDlgTest::aListUpdateIsScheduledShownAgainAndRemoved() {
    CDailyUpdateSchedule schedule(CurrentScheduleHost(kProgram), runner_);
    CScheduleDailyUpdate rules(schedule);
    {
        CScheduleUpdateDlg dialog(rules, directories_, lists_);
        QCOMPARE(dialog.CurrentLine()->text(), QString::fromUtf8(kNoScheduleText));
        QVERIFY(!dialog.RemoveButton()->isEnabled());
        QVERIFY(!dialog.ValueBox()->isEnabled());
        QCOMPARE(dialog.TimeEdit()->time(), QTime(18, 30));

        dialog.TimeEdit()->setTime(QTime(7, 30));
        dialog.SelectionBox()->setCurrentIndex(static_cast<int>(SwitchSelection::List));
        QVERIFY(dialog.ValueBox()->isEnabled());
        QCOMPARE(dialog.ValueBox()->currentText(), QStringLiteral("Evening list"));
        dialog.RealtimeBox()->setChecked(true);
        QTest::mouseClick(dialog.ScheduleButton(), Qt::LeftButton);
        QVERIFY2(dialog.MessageLine()->text().startsWith(QStringLiteral("Scheduled -listupdatert")),
                 qPrintable(dialog.MessageLine()->text()));
        QVERIFY(dialog.CurrentLine()->text().startsWith(QStringLiteral("Scheduled: ")));
        QVERIFY(dialog.RemoveButton()->isEnabled());
    }
    QVERIFY(crontab_.has_value());
    QVERIFY2(crontab_->find("\n30 7 * * * /opt/mvr/bin/mvrkrsexp-batch -listupdatert 'Evening "
                            "list'\n") != std::string::npos,
             crontab_->c_str());

    CScheduleUpdateDlg reopened(rules, directories_, lists_);
    QCOMPARE(reopened.TimeEdit()->time(), QTime(7, 30));
    QCOMPARE(reopened.SelectionBox()->currentIndex(), static_cast<int>(SwitchSelection::List));
    QCOMPARE(reopened.ValueBox()->currentText(), QStringLiteral("Evening list"));
    QVERIFY(reopened.RealtimeBox()->isChecked());

    QTest::mouseClick(reopened.RemoveButton(), Qt::LeftButton);
    QCOMPARE(reopened.CurrentLine()->text(), QString::fromUtf8(kNoScheduleText));
    QVERIFY(!reopened.RemoveButton()->isEnabled());
    QVERIFY(crontab_->find("mvrkrsexp-batch") == std::string::npos);
}

void CScheduleUpdateDlgTest::aDirectoryOrListChoiceNeedsItsValue() {
    CDailyUpdateSchedule schedule(CurrentScheduleHost(kProgram), runner_);
    CScheduleDailyUpdate rules(schedule);
    ScheduleDialogEntries entries;
    entries.update.selection = SwitchSelection::List;
    const ScheduleResult refused = rules.Install(entries);
    QVERIFY(!refused.done);
    QCOMPARE(QString::fromStdString(refused.message),
             QStringLiteral("Choose the list that the daily update updates."));
    QVERIFY(!crontab_.has_value());

    entries.update.selection = SwitchSelection::Directory;
    entries.value = "/data/kurse/";
    QVERIFY(rules.Install(entries).done);
    QVERIFY2(crontab_->find(" -dirupdate /data/kurse/\n") != std::string::npos, crontab_->c_str());
    QCOMPARE(std::string(BatchSwitchFor(entries.update)), std::string("-dirupdate"));
    entries.update = {SwitchSelection::All, true};
    QCOMPARE(std::string(BatchSwitchFor(entries.update)), std::string("-updateallrt"));
}

} // namespace mvr::gui::test

QTEST_MAIN(mvr::gui::test::CScheduleUpdateDlgTest)
#include "ScheduleUpdateDlgTest.moc"
