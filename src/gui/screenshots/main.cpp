// mvrkrsexp-screenshots: renders the windows of the desktop program on the
// configuration it is given (MVRKRSEXP_CONFIG_DIR, a running price server)
// into PNG files, so that they can be looked at without a display. Used by
// scripts/screenshots; not installed.

#include "core/app/Session.h"
#include "core/app/UpdateCommands.h"
#include "core/config/UserInteraction.h"
#include "core/update/UpdateJob.h"
#include "core/update/UpdateRun.h"
#include "gui/app/ScriptedAnswers.h"
#include "gui/controls/CalendarWnd.h"
#include "gui/controls/DatumEdit.h"
#include "gui/dialogs/AboutDlg.h"
#include "gui/dialogs/AccountDlg.h"
#include "gui/dialogs/DownloadProgressDlg.h"
#include "gui/window/MVRKrsExpDlg.h"

#include <cstdio>
#include <functional>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QItemSelectionModel>
#include <QTableView>

namespace mvr::gui {
namespace {

// Lets the event loop run until `done` holds or the time is up.
bool ProcessUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < timeoutMs) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return done();
}

bool Save(QWidget& widget, const QString& folder, const char* name) {
    ProcessUntil([] { return false; }, 150); // layouts and icons settle
    const QString path = QDir(folder).filePath(QString::fromUtf8(name));
    if (!widget.grab().save(path)) {
        std::fprintf(stderr, "mvrkrsexp-screenshots: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

bool MainWindow(CMVRKrsExpDlg& window, const QString& folder) {
    window.resize(1120, 520);
    window.show();
    // The first directory with symbols, with a few of them selected.
    window.DirectoryView()->selectRow(0);
    window.SymbolView()->selectionModel()->select(window.SymbolView()->model()->index(2, 0),
                                                  QItemSelectionModel::Select |
                                                      QItemSelectionModel::Rows);
    return Save(window, folder, "main-window.png");
}

bool AccountDialog(CUserInteraction& interaction, const QString& folder) {
    AccountDialogValues values{"DEMO", "DEMO", false};
    CAccountDlg dialog(values, interaction);
    dialog.show();
    ProcessUntil([&] { return !dialog.MessageText().isEmpty(); }, 3000);
    return Save(dialog, folder, "account-dialog.png");
}

bool ProgressDialog(CMVRKrsExpSession& session, CUserInteraction& interaction,
                    const QString& folder) {
    CUpdateJob job(session.Directories());
    for (std::size_t i = 0; i < session.Directories().size(); ++i) {
        job.AddDirectory(static_cast<std::int32_t>(i));
    }
    job.SetAccount(session.User().account, session.User().password);
    job.SetInitialWait(std::chrono::milliseconds(0));
    CDownloadProgressDlg dialog(job, interaction);
    dialog.show();
    dialog.accept(); // OK: the job starts
    ProcessUntil([&] { return dialog.PhaseText() == kPhaseWritingFiles; }, 20000);
    const bool saved = Save(dialog, folder, "progress-dialog.png");
    job.RequestStop();
    job.Wait();
    return saved;
}

bool CalendarPopup(const QString& folder) {
    QWidget host;
    host.resize(260, 60);
    auto* field = new CDatumEdit(&host);
    field->move(10, 10);
    field->resize(160, field->sizeHint().height());
    host.show();
    field->OpenCalendar();
    CCalendarWnd* calendar = field->Calendar();
    if (calendar == nullptr) {
        std::fprintf(stderr, "mvrkrsexp-screenshots: the calendar did not open\n");
        return false;
    }
    return Save(*calendar, folder, "calendar-popup.png");
}

bool AboutBox(const QString& folder) {
    CAboutDlg about;
    about.show();
    return Save(about, folder, "about-box.png");
}

} // namespace
} // namespace mvr::gui

int main(int argc, char** argv) {
    using namespace mvr::gui;
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: mvrkrsexp-screenshots FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    mvr::CMVRKrsExpSession session;
    CMVRKrsExpDlg window(session);
    CScriptedAnswers answers; // no box may wait for a user here
    window.Interaction().SetScriptedAnswers(&answers);
    if (!window.Initialise()) {
        return 1;
    }
    bool saved = MainWindow(window, folder);
    saved = AccountDialog(window.Interaction(), folder) && saved;
    saved = ProgressDialog(session, window.Interaction(), folder) && saved;
    saved = CalendarPopup(folder) && saved;
    saved = AboutBox(folder) && saved;
    return saved ? 0 : 1;
}
