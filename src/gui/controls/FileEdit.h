#pragma once

#include <functional>
#include <optional>
#include <QLineEdit>
#include <string>

class QToolButton;

namespace mvr::gui {

// A file path field: a line edit with two buttons inside its right end, one
// that browses for an existing file (with the field's extension as the
// default) and, to its left, one that opens the named file in a text editor.
// Both go through replaceable functions so that a test, or a front end with
// its own dialogs, decides what happens instead of a real dialog or program.
class CFileEdit : public QLineEdit {
    Q_OBJECT

public:
    // The file browser: the text of the field as the initial file name, the
    // extension without its dot, the pipe-separated filter; the chosen path,
    // or nothing when the user cancelled.
    using FileBrowser = std::function<std::optional<std::string>(
        const std::string& initialFile, const std::string& extension, const std::string& filter)>;
    // Opens the path text (possibly empty) in a text editor.
    using FileOpener = std::function<void(const std::string& pathText)>;

    explicit CFileEdit(QWidget* parent = nullptr);

    // The extension of the files to pick, without the dot ("txt"); empty at first.
    void SetExtension(const std::string& extension) { extension_ = extension; }
    const std::string& Extension() const { return extension_; }

    // The text as the core reads and writes it (UTF-8).
    std::string Text() const;
    void SetText(const std::string& text);

    // Replaces the file dialog and the editor start; an empty function
    // restores the real ones.
    void SetFileBrowser(FileBrowser browser);
    void SetFileOpener(FileOpener opener);

    // The browse button's action: the chosen path replaces the text; a
    // cancelled browser changes nothing.
    void Browse();
    // The open button's action: the text as it stands, even when empty.
    void OpenFile();

    QToolButton* BrowseButton() const { return browseButton_; }
    QToolButton* OpenButton() const { return openButton_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    std::optional<std::string> BrowseWithDialog(const std::string& initialFile,
                                                const std::string& extension,
                                                const std::string& filter);

    std::string extension_;
    FileBrowser browser_;
    FileOpener opener_;
    QToolButton* browseButton_;
    QToolButton* openButton_;
};

} // namespace mvr::gui
