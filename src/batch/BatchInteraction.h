#pragma once

// The user-interaction interface for a run without anybody at the screen:
// questions are answered Yes (the user asked for the command on the command
// line) and shown with the answer, messages go to the stream, other dialogs
// are cancelled, and an update job runs unattended with its progress on the
// stream, a stop signal handed on to it.

#include "batch/ProgressDisplay.h"
#include "core/app/DirectoryEditor.h"
#include "core/config/UserInteraction.h"

#include <cstdio>
#include <optional>

namespace mvr::batch {

class CBatchInteraction : public CUserInteraction {
public:
    explicit CBatchInteraction(std::FILE* out) : out_(out), progress_(out, IsTerminal(out)) {}

    // What the directory editor answers with, instead of a user: the values
    // that the command line gave and the editor's checks accepted.
    void AnswerDirectoryEditor(DirectoryEditorValues values) { editorAnswer_ = std::move(values); }

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
    // Starts the job with the settings an unattended job preselects and waits
    // for its end; false (the dialog's Cancel) when a stop signal ended it.
    bool RunUpdateJob(CUpdateJob& job) override;
    // Runs the work on a thread of its own; a stop signal cancels it.
    bool RunNetworkWork(const std::string& what,
                        const std::function<void(const RunFlag&)>& work) override;

private:
    bool NameCatalogue(DirectoryEditorValues& values);

    std::FILE* out_;
    CProgressDisplay progress_;
    std::optional<DirectoryEditorValues> editorAnswer_;
};

} // namespace mvr::batch
