#include "batch/BatchInteraction.h"

#include "batch/StopSignals.h"
#include "core/net/CatalogueRequests.h"
#include "core/net/ProcessState.h"
#include "core/search/CatalogueChoice.h"
#include "core/search/SymbolSearch.h"
#include "core/update/UpdateJob.h"

#include <chrono>
#include <future>
#include <thread>

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

bool CBatchInteraction::EditDirectory(DirectoryEditorValues& values) {
    if (!editorAnswer_) {
        return false;
    }
    values = *editorAnswer_;
    editorAnswer_.reset();
    return values.catalogueId == 0 || NameCatalogue(values);
}

// The command line gives the catalogue by its number; the directory keeps
// the path text that the catalogue picker would have given it.
bool CBatchInteraction::NameCatalogue(DirectoryEditorValues& values) {
    std::optional<CatalogueChoice> choice;
    const bool loaded = RunNetworkWork(kCatalogueLoadingText, [&](const RunFlag& run) {
        LoadCatalogues(run);
        CCatalogueTables& tables = ProcessCatalogueTables();
        choice = FindCatalogueChoice(tables.TreeSnapshot(), values.catalogueId, tables);
    });
    if (!loaded) {
        return false;
    }
    if (!choice) {
        ShowMessage("The server offers no catalogue " + std::to_string(values.catalogueId) + ".",
                    MessageIcon::None);
        return false;
    }
    values.catalogueName = choice->pathText;
    return true;
}

bool CBatchInteraction::ChooseInstruments(SearchDialogState&, std::vector<WATCH>&) {
    return false;
}

// The account is set with --set-account; there is nobody to type it in.
bool CBatchInteraction::EditAccount(AccountDialogValues&) {
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

bool CBatchInteraction::RunNetworkWork(const std::string&,
                                       const std::function<void(const RunFlag&)>& work) {
    networkRun_.store(1);
    std::packaged_task<void()> task([&] { work(networkRun_); });
    std::future<void> done = task.get_future();
    std::thread worker(std::move(task));
    while (done.wait_for(kSignalPollInterval) != std::future_status::ready) {
        if (StopSignalReceived()) {
            networkRun_.store(0);
        }
    }
    worker.join();
    done.get(); // what the work threw belongs to the command
    return networkRun_.load() != 0 && !StopSignalReceived();
}

} // namespace mvr::batch
