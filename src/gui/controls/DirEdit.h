#pragma once

#include <functional>
#include <optional>
#include <QLineEdit>
#include <string>

class QToolButton;

namespace mvr::gui {

// A folder path field: a line edit with a browse button inside its right
// end. The button opens a folder browser that starts at the typed folder;
// the folder chosen there replaces the text. The browser is a replaceable
// function, so that a dialog can route it through its user interaction and
// a test can answer it.
class CDirEdit : public QLineEdit {
    Q_OBJECT

public:
    // The folder browser: its title and the folder it starts at (may be
    // empty); the chosen folder, or nothing when the user cancelled.
    using FolderBrowser = std::function<std::optional<std::string>(
        const std::string& title, const std::string& initialFolder)>;

    explicit CDirEdit(QWidget* parent = nullptr);

    // The text as the core reads and writes it (UTF-8).
    std::string Text() const;
    void SetText(const std::string& text);

    // Replaces the real folder browser; an empty function restores it.
    void SetFolderBrowser(FolderBrowser browser);

    // The browse button's action.
    virtual void Browse();

    QToolButton* BrowseButton() const { return browseButton_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    FolderBrowser browser_;
    QToolButton* browseButton_;
};

// The platform's folder browser owned by `owner`, with `title` ("Open" when
// empty), starting at `initialFolder` when that is not empty; the chosen
// folder, or nothing on Cancel.
std::optional<std::string> BrowseForFolder(QWidget* owner, const std::string& title,
                                           const std::string& initialFolder);

} // namespace mvr::gui
