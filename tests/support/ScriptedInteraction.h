#pragma once

// The user of a test: every question, message, dialog and document the code
// under test brings up must have been announced, in order, with its exact
// text. Anything else, or an announced step that never came, fails the test.
// An unexpected question is answered No and an unexpected dialog cancelled.

#include "core/app/DirectoryEditor.h"
#include "core/config/UserInteraction.h"

#include <chrono>
#include <cstddef>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace mvr::test {

class CScriptedInteraction final : public CUserInteraction {
public:
    using EditorAnswer = std::function<bool(DirectoryEditorValues&)>;
    using AccountAnswer = std::function<bool(AccountDialogValues&)>;
    using SearchAnswer = std::function<bool(SearchDialogState&, std::vector<WATCH>&)>;
    // The user's work in a dialog of the data editing; true for OK.
    using SymbolDataAnswer = std::function<bool(CSymbolDataEditor&)>;
    using CopyMoveAnswer = std::function<bool(CCopyMoveSymbols&)>;
    using FindAnswer = std::function<bool(CFindInstrumentInDirectories&)>;
    using UpdateJobAnswer = std::function<bool(CUpdateJob&)>;

    CScriptedInteraction() = default;
    ~CScriptedInteraction() override;
    CScriptedInteraction(const CScriptedInteraction&) = delete;
    CScriptedInteraction& operator=(const CScriptedInteraction&) = delete;

    CScriptedInteraction& ExpectQuestion(std::string text, MessageIcon icon, bool yes);
    CScriptedInteraction& ExpectMessage(std::string text, MessageIcon icon = MessageIcon::None);
    // The answer sees the values the editor was opened with and fills in the accepted ones.
    CScriptedInteraction& ExpectDirectoryEditor(EditorAnswer answer);
    CScriptedInteraction& ExpectInstrumentChoice(SearchAnswer answer);
    // The answer sees the stored account and fills in what the dialog gives back.
    CScriptedInteraction& ExpectAccountDialog(AccountAnswer answer);
    // Nothing: the user cancels.
    CScriptedInteraction& ExpectListName(std::optional<std::string> name);
    CScriptedInteraction& ExpectFolderBrowser(std::string ownerTitle, std::string initialFolder,
                                              std::optional<std::string> choice);
    CScriptedInteraction& ExpectOpenDocument(std::string path, bool opened = true);
    CScriptedInteraction& ExpectStartProgram(std::string path, bool started = true);
    CScriptedInteraction& ExpectSymbolDataEditor(SymbolDataAnswer answer);
    CScriptedInteraction& ExpectCopyMoveDialog(CopyMoveAnswer answer);
    CScriptedInteraction& ExpectFindDialog(FindAnswer answer);
    CScriptedInteraction& ExpectUpdateJob(UpdateJobAnswer answer);

    // Steps announced and not yet come.
    std::size_t Pending() const { return steps_.size(); }

    // From now on the user cancels every network work of a command this long
    // after it began, as a Cancel button would, from another thread.
    void CancelNetworkWorkAfter(std::chrono::milliseconds delay) { cancelAfter_ = delay; }
    // How long the longest network work took, from its start to its return.
    std::chrono::milliseconds LongestNetworkWork() const { return longestWork_; }

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
    enum class Kind {
        Question,
        Message,
        DirectoryEditor,
        InstrumentChoice,
        AccountDialog,
        ListName,
        FolderBrowser,
        OpenDocument,
        StartProgram,
        SymbolDataEditor,
        CopyMoveDialog,
        FindDialog,
        UpdateJob,
    };

    struct Step {
        explicit Step(Kind stepKind) : kind(stepKind) {}

        Kind kind;
        std::string text;   // question, message, path, or the browser's owner title
        std::string detail; // the browser's initial folder
        MessageIcon icon = MessageIcon::None;
        bool answer = false;
        std::optional<std::string> choice;
        EditorAnswer editor;
        SearchAnswer search;
        AccountAnswer account;
        SymbolDataAnswer symbolData;
        CopyMoveAnswer copyMove;
        FindAnswer find;
        UpdateJobAnswer updateJob;
    };

    static const char* NameOf(Kind kind);
    static std::string Describe(const Step& step);
    CScriptedInteraction& Add(Step step);
    // The next step when it is of this kind and shows this text; otherwise the
    // test fails and there is no step (the step stays announced when the kind
    // differs, so that one surprise does not shift every later answer).
    std::optional<Step> Take(Kind kind, const std::string& text, const std::string& detail,
                             std::optional<MessageIcon> icon);

    std::deque<Step> steps_;
    std::optional<std::chrono::milliseconds> cancelAfter_;
    std::chrono::milliseconds longestWork_{0};
};

} // namespace mvr::test
