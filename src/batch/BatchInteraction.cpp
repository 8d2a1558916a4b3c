#include "batch/BatchInteraction.h"

#include "batch/StopSignals.h"
#include "core/update/UpdateJob.h"

#include <chrono>

namespace mvr::batch {

namespace {

// How soon a stop signal reaches the job; the job itself reacts at its next
// test of the run flag.
constexpr std::chrono::milliseconds kSignalPollInterval{50};

} // namespace

bool CBatchInteraction::AskYesNo(const std::string& question, MessageIcon) {
    std::fprintf(out_, "%s Yes\n", question.c_str());
    return true;
}

void CBatchInteraction::ShowMessage(const std::string& text, MessageIcon) {
    std::fprintf(out_, "%s\n", text.c_str());
}

bool CBatchInteraction::EditDirectory(DirectoryEditorValues&) {
    return false;
}

bool CBatchInteraction::ChooseInstruments(SearchDialogState&, std::vector<WATCH>&) {
    return false;
}

bool CBatchInteraction::AskListName(const std::vector<CMVRDirListInfo>&, std::string&) {
    return false;
}

std::optional<std::string> CBatchInteraction::BrowseForFolder(const std::string&,
                                                              const std::string&) {
    return std::nullopt;
}

bool CBatchInteraction::OpenDocument(const std::string&) {
    return false;
}

bool CBatchInteraction::StartProgram(const std::string&) {
    return false;
}

bool CBatchInteraction::RunUpdateJob(CUpdateJob& job) {
    job.Start(job.UnattendedSettings(), progress_);
    bool stopped = false;
    while (!job.WaitFor(kSignalPollInterval)) {
        if (StopSignalReceived() && !stopped) {
            stopped = true;
            job.SetStopAsked(true);
            job.RequestStop();
        }
    }
    return !stopped && !StopSignalReceived();
}

} // namespace mvr::batch
