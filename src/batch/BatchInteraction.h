#pragma once

// The user-interaction interface for a run without anybody at the screen:
// questions are answered Yes (the user asked for the command on the command
// line) and shown with the answer, messages go to stderr, and dialogs are
// cancelled.

#include "core/app/UserInteraction.h"

#include <cstdio>

namespace mvr::batch {

class CBatchInteraction : public CUserInteraction {
public:
    explicit CBatchInteraction(std::FILE* out) : out_(out) {}

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

private:
    std::FILE* out_;
};

} // namespace mvr::batch
