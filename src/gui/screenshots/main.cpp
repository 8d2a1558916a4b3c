// mvrkrsexp-screenshots: renders the windows of the desktop program on the
// configuration it is given (MVRKRSEXP_CONFIG_DIR, a running price server)
// into PNG files, so that they can be looked at without a display. Used by
// scripts/screenshots; not installed.

#include "core/app/DirectoryEditor.h"
#include "core/app/FindInstrumentInDirectories.h"
#include "core/app/ScheduleDailyUpdate.h"
#include "core/app/Session.h"
#include "core/app/UpdateCommands.h"
#include "core/config/UserInteraction.h"
#include "core/editing/CopyMoveSymbols.h"
#include "core/editing/SymbolDataEditor.h"
#include "core/formats/DayNumber.h"
#include "core/formats/ExportDataFile.h"
#include "core/formats/ExportDirectory.h"
#include "core/health/SymbolHealth.h"
#include "core/legacy/LegacyImport.h"
#include "core/net/InstrumentRecord.h"
#include "core/platform/CommandRunner.h"
#include "core/schedule/CrontabText.h"
#include "core/update/UpdateJob.h"
#include "core/update/UpdateRun.h"
#include "gui/app/QtUserInteraction.h"
#include "gui/app/ScriptedAnswers.h"
#include "gui/catalogue/AddListDlg.h"
#include "gui/catalogue/CatalogTreeDlg.h"
#include "gui/catalogue/CatalogueTreeView.h"
#include "gui/catalogue/DefinitionFileDownloadDlg.h"
#include "gui/controls/CalendarWnd.h"
#include "gui/controls/DatumEdit.h"
#include "gui/controls/FloatEdit.h"
#include "gui/dialogs/AboutDlg.h"
#include "gui/dialogs/AccountDlg.h"
#include "gui/dialogs/CopyMoveSymbolsDlg.h"
#include "gui/dialogs/DownloadProgressDlg.h"
#include "gui/dialogs/FindInstrumentDlg.h"
#include "gui/dialogs/ScheduleUpdateDlg.h"
#include "gui/directory/DirChooseDlg.h"
#include "gui/editor/EditPriceDlg.h"
#include "gui/editor/SplitDataDlg.h"
#include "gui/editor/SymbolDataDlg.h"
#include "gui/models/SymbolHealthScan.h"
#include "gui/models/SymbolListTableModel.h"
#include "gui/search/SearchPage.h"
#include "gui/window/MVRKrsExpDlg.h"

#include <atomic>
#include <cstdio>
#include <functional>
#include <optional>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMessageBox>
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
    // The MetaStock directory, whose shares' unapplied splits the health
    // check marks, with a symbol selected.
    window.DirectoryView()->selectRow(1);
    // With the marks of the health check, which runs beside the window.
    if (auto* symbols = dynamic_cast<CSymbolListTableModel*>(window.SymbolView()->model())) {
        symbols->HealthScan().WaitForCheck();
        QApplication::processEvents();
    }
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

bool DirectoryEditor(CMVRKrsExpSession& session, CUserInteraction& interaction,
                     const QString& folder) {
    const MVRKrsExportInfo& record = session.Directories().front();
    DirectoryEditorValues values;
    values.existing = true;
    values.path = record.path;
    values.formatType = record.formatType;
    values.startDate = OleDateToDayNumber(record.startDate);
    values.catalogueId = record.catalogueId;
    values.catalogueName = record.catalogueName;
    values.interval = record.interval;
    CDirChooseDlg editor(values, interaction);
    editor.show();
    return Save(editor, folder, "directory-editor.png");
}

bool CataloguePicker(CMVRKrsExpSession& session, const QString& folder) {
    std::string message;
    const RunFlag run{1};
    if (!session.EnsureLogin(message, run)) {
        std::fprintf(stderr, "mvrkrsexp-screenshots: no login: %s\n", message.c_str());
        return false;
    }
    CMVRCatalogTreeDlg picker;
    picker.show();
    ProcessUntil([&] { return !picker.IsLoading(); }, 5000);
    picker.Tree()->expandAll();
    QAbstractItemModel* tree = picker.Tree()->model();
    picker.Tree()->setCurrentIndex(tree->index(0, 0, tree->index(0, 0)));
    return Save(picker, folder, "catalogue-picker.png");
}

bool ListDialog(CMVRKrsExpSession& session, CUserInteraction& interaction, const QString& folder) {
    CAddListDlg dialog(session.Lists(), interaction);
    dialog.NameBox()->setEditText("Evening");
    dialog.show();
    return Save(dialog, folder, "add-list.png");
}

bool DefinitionFileDialog(CMVRKrsExpSession& session, CUserInteraction& interaction,
                          const QString& folder) {
    CDefinitionFileDownloadDlg dialog(session, interaction);
    dialog.show();
    return Save(dialog, folder, "definition-file.png");
}

bool CopyMoveDialog(CMVRKrsExpSession& session, const QString& folder) {
    CExportDirectory source;
    const MVRKrsExportInfo& from = session.Directories().front();
    source.Open(from.path, from.formatType);
    std::vector<ExportSymbolInfo> symbols(source.Symbols().begin(),
                                          source.Symbols().begin() +
                                              std::min<std::size_t>(3, source.SymbolCount()));
    CCopyMoveSymbols model(session.Directories(), 0, std::move(symbols), 1);
    CCopyMoveSymbolsDlg dialog(model);
    dialog.show();
    return Save(dialog, folder, "copy-move.png");
}

bool FindDialog(CMVRKrsExpSession& session, const QString& folder) {
    CFindInstrumentInDirectories model(session.Directories());
    CFindInstrumentInDirectoriesDlg dialog(model);
    dialog.TextField()->setText("Index");
    model.Find("Index");
    dialog.show();
    return Save(dialog, folder, "find-instrument.png");
}

bool SymbolSearch(const QString& folder) {
    SearchDialogState state;
    std::vector<WATCH> selection;
    CSearchPage search(state, selection);
    search.resize(900, 520);
    search.show();
    ProcessUntil([&] { return !search.IsWorking(); }, 5000);
    search.TextBox()->setEditText("Index");
    search.RunSearch();
    ProcessUntil([&] { return !search.IsWorking(); }, 5000);
    return Save(search, folder, "symbol-search.png");
}

// The place in a directory where the health check finds the first jump of
// a share's close that a split would explain.
struct UnappliedSplit {
    std::size_t symbol = 0;
    std::size_t row = 0; // the first day at the new price
};

std::optional<UnappliedSplit> FindUnappliedSplit(const CExportDirectory& index) {
    const std::atomic<bool> run{true};
    const std::vector<SymbolHealth> health =
        CheckDirectoryHealth(index.Path(), index.Symbols(), index.FormatType(), {}, run);
    for (std::size_t symbol = 0; symbol < health.size(); ++symbol) {
        for (const HealthFinding& finding : health[symbol].findings) {
            if (finding.kind == HealthFindingKind::Jump) {
                return UnappliedSplit{symbol, finding.row};
            }
        }
    }
    return std::nullopt;
}

// The data editor on a share whose split is not applied yet, the jump's day
// selected, and the edit and split dialogs opened on that day.
bool DataEditor(CMVRKrsExpSession& session, CUserInteraction& interaction, const QString& folder) {
    const MVRKrsExportInfo& record = session.Directories().front();
    CExportDirectory index;
    if (!index.Open(record.path, record.formatType) || index.SymbolCount() == 0) {
        std::fprintf(stderr, "mvrkrsexp-screenshots: no symbols in %s\n", record.path.c_str());
        return false;
    }
    const std::optional<UnappliedSplit> split = FindUnappliedSplit(index);
    if (!split) {
        std::fprintf(stderr, "mvrkrsexp-screenshots: no split in the demo data of %s\n",
                     record.path.c_str());
    }
    CExportDataFile store;
    store.Read(index.Path(), index.GetSymbol(split ? split->symbol : 0), index.FormatType());
    CSymbolDataEditor editor(store, session.User());
    editor.Fill();
    CSymbolDataDlg dialog(editor, interaction);
    dialog.resize(1060, 560);
    dialog.show();
    if (split) {
        const int row = static_cast<int>(split->row);
        dialog.Table()->selectRow(row);
        dialog.Table()->scrollTo(dialog.Table()->model()->index(row, 0),
                                 QAbstractItemView::PositionAtCenter);
    }
    bool saved = Save(dialog, folder, "data-editor.png");
    if (!split) {
        return false;
    }

    CEditPriceValues values = *editor.BeginEdit(static_cast<std::int64_t>(split->row));
    CEditPriceDlg edit(values, interaction, &dialog);
    edit.show();
    saved = Save(edit, folder, "edit-price.png") && saved;
    edit.close();

    // Opened on the jump's day with the factor the jump suggests.
    CSplitDataDlg splitDialog(*editor.ProposedSplitDay(), editor.ProposedSplitFactor(), &dialog);
    splitDialog.show();
    saved = Save(splitDialog, folder, "split-data.png") && saved;
    splitDialog.close();
    return saved;
}

// The first message of the import, for a folder without the predecessor's files.
bool ImportMessage(const QString& folder) {
    const auto box =
        MakeMessageBox(kFormatsFileOpenError, MessageIcon::None, QMessageBox::Ok, nullptr);
    box->show();
    return Save(*box, folder, "import-message.png");
}

// A machine whose crontab holds an evening update of the first directory, so that
// the dialog shows how a schedule reads; nothing on this machine is asked.
class CEveningCrontab final : public CCommandRunner {
    CommandOutput Execute(const std::string& program, const std::vector<std::string>& arguments,
                          std::string_view) override {
        if (program == "crontab" && arguments == std::vector<std::string>{"-l"}) {
            return {true, 0, crontab_, {}};
        }
        return {false, -1, {}, program + " is not asked here"};
    }

public:
    explicit CEveningCrontab(std::string crontab) : crontab_(std::move(crontab)) {}

private:
    std::string crontab_;
};

bool ScheduleDialog(CMVRKrsExpSession& session, const QString& folder) {
    const std::string directory = session.Directories().front().path;
    const std::string program = "/usr/bin/mvrkrsexp-batch";
    CEveningCrontab runner(std::string(kCrontabMarker) + "\n30 18 * * * " + program +
                           " -dirupdate '" + directory + "'\n");
    CDailyUpdateSchedule schedule(CurrentScheduleHost(program), runner);
    CScheduleDailyUpdate rules(schedule);
    CScheduleUpdateDlg dialog(rules, session.Directories(), session.Lists());
    dialog.show();
    return Save(dialog, folder, "schedule-update.png");
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
    saved = DirectoryEditor(session, window.Interaction(), folder) && saved;
    saved = CataloguePicker(session, folder) && saved;
    saved = ListDialog(session, window.Interaction(), folder) && saved;
    saved = DefinitionFileDialog(session, window.Interaction(), folder) && saved;
    saved = CopyMoveDialog(session, folder) && saved;
    saved = FindDialog(session, folder) && saved;
    saved = SymbolSearch(folder) && saved;
    saved = DataEditor(session, window.Interaction(), folder) && saved;
    saved = ScheduleDialog(session, folder) && saved;
    saved = ImportMessage(folder) && saved;
    saved = AboutBox(folder) && saved;
    return saved ? 0 : 1;
}
