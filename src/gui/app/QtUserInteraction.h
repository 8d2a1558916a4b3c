#pragma once

// The window's answers to what the core's commands ask: message boxes with
// the system's texts, the folder browser, the desktop's handlers for
// documents and programs, the account and progress dialogs, and server work
// on a worker thread while a small dialog offers to cancel it.

#include "core/config/UserInteraction.h"

#include <memory>
#include <QMessageBox>
#include <QPointer>
#include <QWidget>

namespace mvr::gui {

class CScriptedAnswers;

// The caption of every message box of the application.
inline constexpr const char* kMessageCaption = "Marvane Kavolo";

// The box that shows a text of the system, with the application's caption.
std::unique_ptr<QMessageBox> MakeMessageBox(const std::string& text, MessageIcon icon,
                                            QMessageBox::StandardButtons buttons, QWidget* owner);

class CQtUserInteraction : public CUserInteraction {
public:
    explicit CQtUserInteraction(QWidget* owner) : owner_(owner) {}

    // Tests answer the boxes here instead of a user (not owned; null: real boxes).
    void SetScriptedAnswers(CScriptedAnswers* answers) { scripted_ = answers; }
    CScriptedAnswers* ScriptedAnswers() const { return scripted_; }

    bool AskYesNo(const std::string& question, MessageIcon icon) override;
    void ShowMessage(const std::string& text, MessageIcon icon) override;
    bool EditDirectory(DirectoryEditorValues& values) override;
    bool ChooseInstruments(SearchDialogState& state, std::vector<WATCH>& selection) override;
    bool EditAccount(AccountDialogValues& values) override;
    bool AskListName(const std::vector<CMVRDirListInfo>& lists, std::string& name) override;
    std::optional<std::string> BrowseForFolder(const std::string& ownerTitle,
                                               const std::string& initialFolder) override;
    bool OpenDocument(const std::string& path) override;
    bool StartProgram(const std::string& path) override;
    bool EditSymbolData(CSymbolDataEditor& editor) override;
    bool CopyOrMoveSymbols(CCopyMoveSymbols& dialog) override;
    bool FindInstrument(CFindInstrumentInDirectories& dialog) override;
    bool RunUpdateJob(CUpdateJob& job) override;
    bool RunNetworkWork(const std::string& what,
                        const std::function<void(const RunFlag&)>& work) override;

private:
    QPointer<QWidget> owner_;
    CScriptedAnswers* scripted_ = nullptr;
};

} // namespace mvr::gui
