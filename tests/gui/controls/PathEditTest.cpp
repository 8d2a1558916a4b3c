#include "gui/controls/DirEdit.h"
#include "gui/controls/FileEdit.h"

#include <optional>
#include <QHBoxLayout>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <string>
#include <vector>

namespace mvr::gui {

// The folder and file fields with their browsers and the editor start
// replaced, clicked as the user does.
class PathEditTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void FolderBrowserStartsAtTheTextAndItsChoiceReplacesIt();
    void FileBrowserGetsExtensionAndFilterAndItsChoiceReplacesTheText();
    void OpenButtonHandsOnTheTextEvenWhenEmpty();
    void ButtonsSitInsideTheRightEndAndKeepTheFocusInTheField();

private:
    QWidget* window_ = nullptr;
    CDirEdit* dirEdit_ = nullptr;
    CFileEdit* fileEdit_ = nullptr;
};

void PathEditTest::init() {
    window_ = new QWidget;
    auto* layout = new QHBoxLayout(window_);
    layout->addWidget(dirEdit_ = new CDirEdit(window_));
    layout->addWidget(fileEdit_ = new CFileEdit(window_));
    window_->resize(600, 40);
    window_->show();
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_));
}

void PathEditTest::cleanup() {
    delete window_;
}

void PathEditTest::FolderBrowserStartsAtTheTextAndItsChoiceReplacesIt() {
    std::vector<std::pair<std::string, std::string>> calls;
    std::optional<std::string> answer = "/data/prices";
    dirEdit_->SetFolderBrowser([&](const std::string& title, const std::string& initial) {
        calls.emplace_back(title, initial);
        return answer;
    });
    QSignalSpy changed(dirEdit_, &QLineEdit::textChanged);

    dirEdit_->SetText("/home/old");
    QTest::mouseClick(dirEdit_->BrowseButton(), Qt::LeftButton);
    QCOMPARE(dirEdit_->Text(), std::string("/data/prices"));
    answer.reset(); // Cancel
    QTest::mouseClick(dirEdit_->BrowseButton(), Qt::LeftButton);
    QCOMPARE(dirEdit_->Text(), std::string("/data/prices"));

    QCOMPARE(calls.size(), 2u);
    QCOMPARE(calls[0].first, std::string("Select old qdx-Kavolo directory"));
    QCOMPARE(calls[0].second, std::string("/home/old"));
    QCOMPARE(calls[1].second, std::string("/data/prices"));
    QCOMPARE(changed.count(), 2); // the text set by the test and the one choice
}

void PathEditTest::FileBrowserGetsExtensionAndFilterAndItsChoiceReplacesTheText() {
    struct Call {
        std::string initial, extension, filter;
    };
    std::vector<Call> calls;
    std::optional<std::string> answer = "/defs/shares.txt";
    fileEdit_->SetFileBrowser(
        [&](const std::string& initial, const std::string& extension, const std::string& filter) {
            calls.push_back({initial, extension, filter});
            return answer;
        });
    fileEdit_->SetExtension("txt");
    fileEdit_->SetText("list.txt");

    QTest::mouseClick(fileEdit_->BrowseButton(), Qt::LeftButton);
    QCOMPARE(fileEdit_->Text(), std::string("/defs/shares.txt"));
    answer.reset();
    QTest::mouseClick(fileEdit_->BrowseButton(), Qt::LeftButton);
    QCOMPARE(fileEdit_->Text(), std::string("/defs/shares.txt"));

    QCOMPARE(calls.size(), 2u);
    QCOMPARE(calls[0].initial, std::string("list.txt"));
    QCOMPARE(calls[0].extension, std::string("txt"));
    QCOMPARE(calls[0].filter, std::string("Files (*.txt)|*.txt;|All files (*.*)|*.*||"));
    QCOMPARE(calls[1].initial, std::string("/defs/shares.txt"));
}

void PathEditTest::OpenButtonHandsOnTheTextEvenWhenEmpty() {
    std::vector<std::string> opened;
    fileEdit_->SetFileOpener([&](const std::string& path) { opened.push_back(path); });
    QTest::mouseClick(fileEdit_->OpenButton(), Qt::LeftButton);
    fileEdit_->SetText("C:\\defs\\my list.txt");
    QTest::mouseClick(fileEdit_->OpenButton(), Qt::LeftButton);
    QCOMPARE(opened, (std::vector<std::string>{"", "C:\\defs\\my list.txt"}));
    QCOMPARE(fileEdit_->OpenButton()->toolTip(), QStringLiteral("Open"));
    QCOMPARE(fileEdit_->OpenButton()->accessibleName(), QStringLiteral("Open"));
}

void PathEditTest::ButtonsSitInsideTheRightEndAndKeepTheFocusInTheField() {
    const QRect dirButton = dirEdit_->BrowseButton()->geometry();
    QVERIFY(dirEdit_->BrowseButton()->isVisible());
    QCOMPARE(dirButton.width(), 20);
    QVERIFY(dirButton.right() < dirEdit_->width());
    QVERIFY(dirButton.right() >= dirEdit_->width() - 4); // only the frame to its right
    QVERIFY(dirButton.height() >= dirEdit_->height() - 4);
    QVERIFY(dirEdit_->textMargins().right() >= dirButton.width());

    const QRect browse = fileEdit_->BrowseButton()->geometry();
    const QRect open = fileEdit_->OpenButton()->geometry();
    QCOMPARE(open.right() + 1, browse.left());
    QCOMPARE(open.width(), 20);
    QVERIFY(fileEdit_->textMargins().right() >= 40);

    // A wider field takes its buttons along to its new right end.
    window_->resize(900, 40);
    QTRY_VERIFY(dirEdit_->BrowseButton()->geometry().right() >= dirEdit_->width() - 4);
    QTRY_VERIFY(fileEdit_->BrowseButton()->geometry().right() >= fileEdit_->width() - 4);

    dirEdit_->SetFolderBrowser(
        [](const std::string&, const std::string&) { return std::optional<std::string>("/x"); });
    dirEdit_->setFocus();
    QTRY_VERIFY(dirEdit_->hasFocus());
    QTest::mouseClick(dirEdit_->BrowseButton(), Qt::LeftButton);
    QVERIFY(dirEdit_->hasFocus());
    QTest::keyClicks(dirEdit_, "/y");
    QCOMPARE(dirEdit_->Text(), std::string("/x/y"));
}

} // namespace mvr::gui

QTEST_MAIN(mvr::gui::PathEditTest)
#include "PathEditTest.moc"
