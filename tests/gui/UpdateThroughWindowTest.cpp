// Updates run from the window against the demo price data: the progress
// dialog writes what the batch tool writes, its stop question stops the job,
// and the program run with a batch switch ends by itself with its status.

#include "core/app/RunEnd.h"
#include "core/formats/ExportDataFile.h"
#include "core/formats/ExportDirectory.h"
#include "core/formats/FormatCatalogue.h"
#include "core/platform/AtomicFile.h"
#include "core/platform/FileSystem.h"
#include "core/platform/Paths.h"
#include "core/update/ProgressDialogRules.h"
#include "core/update/UpdateRun.h"
#include "gui/catalogue/AddListDlg.h"
#include "gui/catalogue/CatalogTreeEntrySelect.h"
#include "gui/controls/DirEdit.h"
#include "gui/dialogs/AccountDlg.h"
#include "gui/dialogs/DownloadProgressDlg.h"
#include "gui/directory/DirChooseDlg.h"
#include "GuiTestbed.h"
#include "ModalDialogs.h"
#include "server/DemoGenerator.h"
#include "support/ChildProcess.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

namespace mvr::gui::test {

namespace {

constexpr std::int32_t kDemoCatalogue = 1; // the 100 members of the demo data

// Every price file of the folder reads, and the index opens.
bool EveryFileReads(const std::string& folder, int formatType) {
    CExportDirectory index(formatType);
    if (!index.Open(folder, formatType)) {
        return false;
    }
    for (const ExportSymbolInfo& symbol : index.Symbols()) {
        CExportDataFile file;
        file.BuildFileName(folder, symbol, formatType);
        if (EntryExists(file.FilePath()) && !file.Read(folder, symbol, formatType)) {
            return false;
        }
    }
    return true;
}

int RunProgram(const std::string& program, const std::vector<std::string>& arguments,
               const std::string& errFile) {
    mvr::test::ChildProcess child(program, arguments, errFile);
    child.ReadAll();
    return child.Wait();
}

} // namespace

class CUpdateThroughWindowTest : public QObject {
    Q_OBJECT

private slots:
    void aFullUpdateThroughTheDialogWritesWhatTheBatchToolWrites();
    void yesToTheStopQuestionStopsTheJobAndLeavesEveryFileReadable();
    void theProgramWithABatchSwitchEndsByItselfWithItsStatus();
    void aNewUsersFirstRunThroughTheWidgets();
};

void CUpdateThroughWindowTest::aFullUpdateThroughTheDialogWritesWhatTheBatchToolWrites() {
    CGuiTestbed bed{DemoData{}};
    bed.AddLinkedDirectory("window-ascii", kFormatAsciiComma, kDemoCatalogue);
    bed.AddLinkedDirectory("window-ms", kFormatMetaStock, kDemoCatalogue);
    bed.StoreConfiguration();
    CMVRKrsExpDlg& window = bed.OpenWindow();
    EveryTimeOpened<CDownloadProgressDlg> driver([](CDownloadProgressDlg& dialog) { dialog.accept(); });
    window.MenuAction(MainWindowMenuCommand::UpdateAll)->trigger();
    QVERIFY(bed.Answers().Texts().empty());

    // The same directories once more, updated by the batch tool.
    const std::string batchConfig = bed.Folder("batch-config");
    {
        mvr::test::ScopedEnvironment config("MVRKRSEXP_CONFIG_DIR", batchConfig);
        QVERIFY(CreateFolders(batchConfig));
        mvr::test::WriteBytes(JoinPath(batchConfig, "MVRKrsExp.ini"),
                              mvr::test::ReadBytes(JoinPath(bed.ConfigFolder(), "MVRKrsExp.ini")));
        CMVRKrsExpSession batchSession;
        QVERIFY(batchSession.LoadConfig());
        batchSession.User().account = std::string(kDemoAccount);
        batchSession.User().password = std::string(kDemoPassword);
        for (const auto& [name, format] : {std::pair{"batch-ascii", kFormatAsciiComma},
                                           std::pair{"batch-ms", kFormatMetaStock}}) {
            const std::string path = WithTrailingSeparator(bed.Folder(name));
            CExportDirectory index(format);
            QVERIFY(CreateFolders(path) && index.Create(path, 0.0, format));
            MVRKrsExportInfo record;
            record.path = path;
            record.formatType = format;
            record.catalogueId = kDemoCatalogue;
            batchSession.Directories().push_back(record);
        }
        QVERIFY(batchSession.StoreConfig());
        QCOMPARE(RunProgram(MVR_BATCH_PATH, {"-updateall"}, bed.Folder("batch-err.txt")), 0);
    }
    for (const auto& [window, batch] :
         {std::pair{"window-ascii", "batch-ascii"}, std::pair{"window-ms", "batch-ms"}}) {
        const auto written = mvr::test::FolderContents(bed.Folder(window));
        QVERIFY(written.size() > 50);
        QVERIFY(written == mvr::test::FolderContents(bed.Folder(batch)));
    }
}

void CUpdateThroughWindowTest::yesToTheStopQuestionStopsTheJobAndLeavesEveryFileReadable() {
    CGuiTestbed bed{DemoData{}};
    bed.AddLinkedDirectory("ascii", kFormatAsciiComma, kDemoCatalogue);
    bed.StoreConfiguration();
    CMVRKrsExpDlg& window = bed.OpenWindow();
    bed.Answers().QueueAnswer(true);
    bool stopAsked = false;
    EveryTimeOpened<CDownloadProgressDlg> driver([&](CDownloadProgressDlg& dialog) {
        dialog.accept();
        // Cancel while the job runs: the question is answered Yes by the test.
        QTimer::singleShot(0, &dialog, [&dialog, &stopAsked] {
            stopAsked = true;
            dialog.reject();
        });
    });
    window.MenuAction(MainWindowMenuCommand::UpdateAll)->trigger();
    QVERIFY(stopAsked);
    QCOMPARE(bed.Answers().Texts(), std::vector<std::string>{kStopUpdateQuestion});
    QVERIFY(bed.Answers().AllAnswersTaken());
    QVERIFY(EveryFileReads(WithTrailingSeparator(bed.Folder("ascii")), kFormatAsciiComma));
}

void CUpdateThroughWindowTest::theProgramWithABatchSwitchEndsByItselfWithItsStatus() {
    CGuiTestbed bed{DemoData{}};
    bed.AddLinkedDirectory("ascii", kFormatAsciiComma, kDemoCatalogue);
    bed.StoreConfiguration();
    QCOMPARE(RunProgram(MVR_GUI_PATH, {"-updateall"}, bed.Folder("gui-err.txt")), int{kExitDone});
    CExportDirectory index(kFormatAsciiComma);
    QVERIFY(index.Open(WithTrailingSeparator(bed.Folder("ascii")), kFormatAsciiComma));
    QCOMPARE(index.SymbolCount(), std::size_t{100});
    QVERIFY(mvr::test::FolderContents(bed.Folder("ascii")).size() > 100);

    // A definition file is exchanged without any window.
    const std::string input = bed.Folder("definition.txt");
    mvr::test::WriteBytes(input, {'A', 'S', 'C', '\n'});
    QCOMPARE(RunProgram(MVR_GUI_PATH, {"-definitionfile", input, "x", bed.Folder("answer.txt")},
                        bed.Folder("gui-err.txt")),
             int{kExitDone});
    QVERIFY(EntryExists(bed.Folder("answer.txt")));

    bed.StopServer();
    QCOMPARE(RunProgram(MVR_GUI_PATH, {"-updateall"}, bed.Folder("gui-err.txt")),
             int{kExitCommunication});
}

// Account, a MetaStock directory linked to a demo catalogue, a list holding
// it, an update of the list, the symbols with their dates; then the batch
// tool reads the same configuration.
void CUpdateThroughWindowTest::aNewUsersFirstRunThroughTheWidgets() {
    CGuiTestbed bed{DemoData{}};
    bed.SetAccount("", "");
    bed.StoreConfiguration();
    const std::string folder = bed.Folder("metastock");
    bed.Answers().QueueAnswer(true); // "... does not exist. Create it?"
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* account = qobject_cast<CAccountDlg*>(modal)) {
            const auto fields = account->findChildren<QLineEdit*>();
            fields.value(0)->setText(QString::fromUtf8(kDemoAccount.data(), kDemoAccount.size()));
            fields.value(1)->setText("demo");
            account->accept();
        } else if (auto* editor = qobject_cast<CDirChooseDlg*>(modal)) {
            editor->PathField()->setText(QString::fromStdString(folder));
            editor->FormatBox()->setCurrentIndex(editor->FormatBox()->findData(kFormatMetaStock));
            editor->CatalogueField()->SetCatalogue(kDemoCatalogue, "Indices/Marvane 100");
            editor->accept();
        } else if (auto* list = qobject_cast<CAddListDlg*>(modal)) {
            list->NameBox()->setEditText("Evening");
            list->accept();
        } else if (auto* progress = qobject_cast<CDownloadProgressDlg*>(modal)) {
            progress->accept();
        }
    });
    user.start(10);

    CMVRKrsExpDlg& window = bed.OpenWindow();
    QCOMPARE(bed.Session().User().password, std::string("DEMO"));
    window.Button(MainWindowButton::AddDirectory)->click();
    QCOMPARE(bed.Session().Directories().size(), std::size_t{1});
    window.Button(MainWindowButton::AddList)->click();
    QCOMPARE(window.ListsBox()->currentText(), QString("Evening"));
    QAbstractItemModel* directories = window.DirectoryView()->model();
    QVERIFY(directories->setData(directories->index(0, 0), Qt::Checked, Qt::CheckStateRole));
    window.Button(MainWindowButton::UpdateList)->click();
    user.stop();

    window.DirectoryView()->selectRow(0);
    QAbstractItemModel* symbols = window.SymbolView()->model();
    QCOMPARE(symbols->rowCount(), 100);
    QVERIFY(!symbols->index(0, 2).data().toString().isEmpty()); // first date
    QVERIFY(!symbols->index(0, 3).data().toString().isEmpty()); // last date
    window.close();

    mvr::test::ChildProcess show(MVR_BATCH_PATH, {"--show"}, bed.Folder("show-err.txt"));
    const std::string shown = show.ReadAll();
    QCOMPARE(show.Wait(), 0);
    QVERIFY2(shown.find("Account: DEMO") != std::string::npos, shown.c_str());
    QVERIFY2(shown.find(WithTrailingSeparator(folder) + "\tMetaStock") != std::string::npos,
             shown.c_str());
    QVERIFY2(shown.find("Evening (1 directories)") != std::string::npos, shown.c_str());
}

} // namespace mvr::gui::test

QTEST_MAIN(mvr::gui::test::CUpdateThroughWindowTest)
#include "UpdateThroughWindowTest.moc"
