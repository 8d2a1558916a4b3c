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
#include "gui/dialogs/DownloadProgressDlg.h"
#include "GuiTestbed.h"
#include "server/DemoGenerator.h"
#include "support/ChildProcess.h"

#include <QAction>
#include <QApplication>
#include <QTest>
#include <QTimer>

namespace mvr::gui::test {

namespace {

constexpr std::int32_t kDemoCatalogue = 1; // the 100 members of the demo data

// Presses OK in the progress dialog once it is up, and remembers the dialog.
class ProgressDialogDriver : public QObject {
public:
    explicit ProgressDialogDriver(std::function<void(CDownloadProgressDlg&)> onOpen)
        : onOpen_(std::move(onOpen)) {
        connect(&poll_, &QTimer::timeout, this, [this] {
            auto* dialog = qobject_cast<CDownloadProgressDlg*>(QApplication::activeModalWidget());
            if (dialog != nullptr && dialog != seen_) {
                seen_ = dialog;
                onOpen_(*dialog);
            }
        });
        poll_.start(10);
    }

private:
    std::function<void(CDownloadProgressDlg&)> onOpen_;
    QTimer poll_;
    CDownloadProgressDlg* seen_ = nullptr;
};

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
};

void CUpdateThroughWindowTest::aFullUpdateThroughTheDialogWritesWhatTheBatchToolWrites() {
    CGuiTestbed bed{DemoData{}};
    bed.AddLinkedDirectory("window-ascii", kFormatAsciiComma, kDemoCatalogue);
    bed.AddLinkedDirectory("window-ms", kFormatMetaStock, kDemoCatalogue);
    bed.StoreConfiguration();
    CMVRKrsExpDlg& window = bed.OpenWindow();
    ProgressDialogDriver driver([](CDownloadProgressDlg& dialog) { dialog.accept(); });
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
    ProgressDialogDriver driver([&](CDownloadProgressDlg& dialog) {
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

} // namespace mvr::gui::test

QTEST_MAIN(mvr::gui::test::CUpdateThroughWindowTest)
#include "UpdateThroughWindowTest.moc"
