#include "gui/controls/FileEdit.h"

#include "core/controls/EditControlText.h"
#include "gui/controls/CoreText.h"
#include "gui/controls/EditButtons.h"

#include <QDesktopServices>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QProcess>
#include <QToolButton>
#include <QUrl>

namespace mvr::gui {

namespace {

// The label of the open button, also its tooltip.
constexpr const char* kOpenButtonText = "Open";

void OpenInTextEditor(const std::string& pathText) {
    const QString path = QtText(pathText);
#ifdef Q_OS_WIN
    // Notepad starts with an empty document when no file is named.
    QStringList arguments;
    if (!path.isEmpty()) {
        arguments << path;
    }
    QProcess::startDetached(QStringLiteral("notepad.exe"), arguments);
#else
    // Without Notepad the desktop's handler for the file is the editor; it
    // needs a file to open, and a failure is not reported.
    if (!path.isEmpty()) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    }
#endif
}

} // namespace

CFileEdit::CFileEdit(QWidget* parent)
    : QLineEdit(parent),
      browseButton_(CreateEditButton(this, "browseButton", FolderIcon(palette()), QString())),
      openButton_(CreateEditButton(this, "openButton", DocumentIcon(palette()),
                                   QString::fromLatin1(kOpenButtonText))) {
    connect(browseButton_, &QToolButton::clicked, this, &CFileEdit::Browse);
    connect(openButton_, &QToolButton::clicked, this, &CFileEdit::OpenFile);
    PlaceEditButtons(this, {browseButton_, openButton_});
}

std::string CFileEdit::Text() const {
    return CoreText(text());
}

void CFileEdit::SetText(const std::string& text) {
    setText(QtText(text));
}

void CFileEdit::SetFileBrowser(FileBrowser browser) {
    browser_ = std::move(browser);
}

void CFileEdit::SetFileOpener(FileOpener opener) {
    opener_ = std::move(opener);
}

void CFileEdit::Browse() {
    const std::string filter = FileFieldFilter(extension_);
    const std::optional<std::string> chosen = browser_
                                                  ? browser_(Text(), extension_, filter)
                                                  : BrowseWithDialog(Text(), extension_, filter);
    if (chosen) {
        SetText(*chosen);
    }
}

void CFileEdit::OpenFile() {
    if (opener_) {
        opener_(Text());
    } else {
        OpenInTextEditor(Text());
    }
}

std::optional<std::string> CFileEdit::BrowseWithDialog(const std::string& initialFile,
                                                       const std::string& extension,
                                                       const std::string& filter) {
    QFileDialog dialog(this, QString::fromLatin1(kOpenButtonText));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(QtText(extension));
    QStringList names;
    for (const FileFilterChoice& choice : FileFilterChoices(filter)) {
        names << QtText(FileFilterName(choice));
    }
    dialog.setNameFilters(names);
    if (!initialFile.empty()) {
        const QFileInfo initial(QtText(initialFile));
        if (initial.isDir()) {
            dialog.setDirectory(initial.absoluteFilePath());
        } else {
            dialog.setDirectory(initial.absolutePath());
            dialog.selectFile(initial.fileName());
        }
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return CorePath(dialog.selectedFiles().constFirst());
}

void CFileEdit::resizeEvent(QResizeEvent* event) {
    QLineEdit::resizeEvent(event);
    PlaceEditButtons(this, {browseButton_, openButton_});
}

void CFileEdit::changeEvent(QEvent* event) {
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        browseButton_->setIcon(FolderIcon(palette()));
        openButton_->setIcon(DocumentIcon(palette()));
    }
}

} // namespace mvr::gui
