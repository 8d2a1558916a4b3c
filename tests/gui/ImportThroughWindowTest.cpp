// The command "Import from Kavolo ..." run from the window's menu against the
// reference price server: a run that is cancelled, at the folder browser or
// while the server keeps silent, writes no log and takes nothing over; a run
// that ends shows the taken-over list and directory and opens its log.

#include "core/formats/ExportDirectory.h"
#include "core/formats/FormatCatalogue.h"
#include "core/legacy/ImportLog.h"
#include "core/legacy/LegacyImport.h"
#include "core/platform/FileSystem.h"
#include "core/platform/Paths.h"
#include "../core/legacy/LegacyFileBuilder.h"
#include "GuiTestbed.h"
#include "ModalDialogs.h"
#include "support/ChildProcess.h"

#include <chrono>
#include <QAction>
#include <QComboBox>
#include <QElapsedTimer>
#include <QProgressDialog>
#include <QTableView>

namespace mvr::gui::test {

namespace {

using namespace std::chrono_literals;
using mvr::test::LegacyDirectorySpec;
using mvr::test::LegacyFormatSpec;

// A predecessor installation with one ASCII folder of two symbols, both of
// which the server translates, and a list that holds the folder.
class PredecessorInstallation {
public:
    explicit PredecessorInstallation(const std::string& root)
        : install_(JoinPath(root, "kavolo")), ascii_(WithTrailingSeparator(JoinPath(root, "prices"))) {
        QVERIFY(CreateFolders(install_) && CreateFolders(ascii_));
        mvr::test::WriteBytes(
            JoinPath(ascii_, "master.kvl"),
            mvr::test::BuildMasterKvl(kFormatAsciiComma,
                                      {{"SAPX", "Sapex", 'D', 0, 1050105, 0, 0, 1},
                                       {"APLX", "Applex", 'D', 0, 990105, 0, 0, 2}}));
        LegacyFormatSpec format{"ASC", "Ascii", kFormatAsciiComma, {}, {}};
        format.lists = {{"Evening", {LegacyDirectorySpec{ascii_, {}}}}};
        format.directories = {LegacyDirectorySpec{ascii_, {}}};
        mvr::test::WriteBytes(JoinPath(install_, "kvlo.dat"), mvr::test::BuildKvloDat({format}));
        mvr::test::KvloSdbSpec table;
        table.symbols = {{501, "SAPX"}, {9001, "APLX"}};
        mvr::test::WriteBytes(JoinPath(install_, "kvlo.sdb"), mvr::test::BuildKvloSdb(table));
    }

    const std::string& Folder() const { return install_; }
    const std::string& AsciiFolder() const { return ascii_; }

private:
    std::string install_;
    std::string ascii_;
};

QStringList Entries(const QComboBox* box) {
    QStringList entries;
    for (int index = 0; index < box->count(); ++index) {
        entries << box->itemText(index);
    }
    return entries;
}

} // namespace

class CImportThroughWindowTest : public QObject {
    Q_OBJECT

private slots:
    void aCancelledImportWritesNoLogAndTakesOverNothing();
    void anImportShowsWhatItTookOverAndOpensItsLog();
};

void CImportThroughWindowTest::aCancelledImportWritesNoLogAndTakesOverNothing() {
    CGuiTestbed bed;
    const PredecessorInstallation installation(bed.Folder("old"));
    bed.StoreConfiguration();
    CMVRKrsExpDlg& window = bed.OpenWindow();
    const std::string log = JoinPath(bed.ConfigFolder(), kImportLogFileName);
    QAction* import = window.MenuAction(MainWindowMenuCommand::ImportLegacy);
    QVERIFY(import->isEnabled());

    // Cancel in the folder browser.
    bed.Answers().QueueFolder(std::nullopt);
    import->trigger();
    QVERIFY(bed.Answers().AllAnswersTaken());
    QCOMPARE(bed.Answers().Texts().back(), std::string(kSelectLegacyFolderTitle));

    // Cancel in the progress of the import while the server keeps silent.
    ServeOptions silent = mvr::test::TestServeOptions();
    silent.faults.blockDelay = 20s;
    mvr::test::TestPriceServer silentServer{QuietTables(), silent};
    silentServer.BecomeServer();
    bed.Answers().QueueFolder(installation.Folder());
    bool busyShown = false;
    WhenOpened<QProgressDialog>(
        [](QProgressDialog& busy) { ClickButton(busy, QStringLiteral("Cancel")); }, &busyShown);
    QElapsedTimer clock;
    clock.start();
    import->trigger();
    QVERIFY(busyShown);
    // The busy dialog comes up after a moment, and Cancel ends the wait within a second.
    QVERIFY(clock.elapsed() < 3000);

    QVERIFY(!EntryExists(log));
    QVERIFY(bed.Answers().Documents().empty());
    QVERIFY(bed.Session().Directories().empty());
    QVERIFY(bed.Session().Lists().empty());
    QVERIFY(!EntryExists(JoinPath(installation.AsciiFolder(), "mvrexp.mas")));
    QCOMPARE(window.DirectoryView()->model()->rowCount(), 0);
}

void CImportThroughWindowTest::anImportShowsWhatItTookOverAndOpensItsLog() {
    CGuiTestbed bed;
    const PredecessorInstallation installation(bed.Folder("old"));
    bed.StoreConfiguration();
    CMVRKrsExpDlg& window = bed.OpenWindow();
    bed.Answers().QueueFolder(installation.Folder());
    window.MenuAction(MainWindowMenuCommand::ImportLegacy)->trigger();

    const std::string log = JoinPath(bed.ConfigFolder(), kImportLogFileName);
    QCOMPARE(bed.Answers().Documents(), std::vector<std::string>{log});
    const std::string text = mvr::test::FileText(log);
    QVERIFY2(text.find("Sending 2 Sincodes to server\r\n") != std::string::npos, text.c_str());
    QVERIFY2(text.find("not translated") == std::string::npos, text.c_str());

    // The list and the folder are shown, with no active list.
    QVERIFY(Entries(window.ListsBox()).contains(QStringLiteral("Evening")));
    QCOMPARE(window.ListsBox()->currentIndex(), 0);
    QCOMPARE(window.DirectoryView()->model()->rowCount(), 1);
    CExportDirectory index(kFormatAsciiComma);
    QVERIFY(index.Open(installation.AsciiFolder(), kFormatAsciiComma));
    QCOMPARE(index.SymbolCount(), std::size_t{2});
    window.DirectoryView()->selectRow(0);
    QCOMPARE(window.SymbolView()->model()->rowCount(), 2);
}

} // namespace mvr::gui::test

QTEST_MAIN(mvr::gui::test::CImportThroughWindowTest)
#include "ImportThroughWindowTest.moc"
