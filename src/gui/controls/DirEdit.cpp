#include "gui/controls/DirEdit.h"

#include "core/legacy/LegacyImport.h"
#include "gui/controls/CoreText.h"
#include "gui/controls/EditButtons.h"

#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QToolButton>

namespace mvr::gui {

std::optional<std::string> BrowseForFolder(QWidget* owner, const std::string& title,
                                           const std::string& initialFolder) {
    const QString caption = title.empty() ? QStringLiteral("Open") : QtText(title);
    const QString folder = QFileDialog::getExistingDirectory(owner, caption, QtText(initialFolder),
                                                             QFileDialog::ShowDirsOnly);
    if (folder.isEmpty()) {
        return std::nullopt;
    }
    return CorePath(folder);
}

CDirEdit::CDirEdit(QWidget* parent)
    : QLineEdit(parent),
      browseButton_(CreateEditButton(this, "browseButton", FolderIcon(palette()), QString())) {
    connect(browseButton_, &QToolButton::clicked, this, &CDirEdit::Browse);
    PlaceEditButtons(this, {browseButton_});
}

std::string CDirEdit::Text() const {
    return CoreText(text());
}

void CDirEdit::SetText(const std::string& text) {
    setText(QtText(text));
}

void CDirEdit::SetFolderBrowser(FolderBrowser browser) {
    browser_ = std::move(browser);
}

void CDirEdit::Browse() {
    // Every path field's browser carries the same title, the one the
    // takeover of an old installation asks with.
    const std::string title = kSelectLegacyFolderTitle;
    const std::optional<std::string> chosen =
        browser_ ? browser_(title, Text()) : BrowseForFolder(this, title, Text());
    if (chosen) {
        SetText(*chosen);
    }
}

void CDirEdit::resizeEvent(QResizeEvent* event) {
    QLineEdit::resizeEvent(event);
    PlaceEditButtons(this, {browseButton_});
}

void CDirEdit::changeEvent(QEvent* event) {
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        browseButton_->setIcon(FolderIcon(palette()));
    }
}

} // namespace mvr::gui
