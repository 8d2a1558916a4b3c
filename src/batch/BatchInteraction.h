#pragma once

// The user-interaction interface for a run without anybody at the screen:
// questions are answered Yes (the user asked for the command on the command
// line) and shown with the answer, messages go to stderr, dialogs are
// cancelled, and an update job's dialog is the runner on the terminal.

#include "core/app/UserInteraction.h"

#include <cstdio>

namespace mvr::batch {

class CBatchJobRunner;

class CBatchInteraction : public CUserInteraction {
public:
    // Without a runner an update job is cancelled as a dialog would be.
    explicit CBatchInteraction(std::FILE* out, CBatchJobRunner* runner = nullptr)
        : out_(out), runner_(runner) {}

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
    bool RunUpdateJob(CUpdateJob& job) override;

private:
    std::FILE* out_;
    CBatchJobRunner* runner_;
};

} // namespace mvr::batch
