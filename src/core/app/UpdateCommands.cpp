#include "core/app/UpdateCommands.h"

#include "core/app/CommandLine.h"
#include "core/app/MainWindowCommands.h"
#include "core/app/SelectionBoxes.h"
#include "core/app/Session.h"
#include "core/config/UserInteraction.h"
#include "core/update/UpdateRun.h"

namespace mvr {

void CUpdateCommands::GiveAccount(CUpdateJob& job) const {
    job.SetAccount(session_.User().account, session_.User().password);
}

bool CUpdateCommands::Run(CUpdateJob& job) {
    const bool finished = interaction_.RunUpdateJob(job);
    // Also a stopped run may have met a folder it could not write to.
    for (const FolderNotWritten& failure : job.Summary().foldersNotWritten) {
        interaction_.ShowMessage(FolderNotWrittenText(failure), MessageIcon::Exclamation);
    }
    if (!finished) {
        return false;
    }
    session_.DirectoryList().RefreshCounts(session_.Directories());
    StoreConfigOrTell(session_, interaction_);
    session_.CurrentIndex().Reload();
    session_.RedisplayCurrentIndex();
    return true;
}

bool CUpdateCommands::UpdateAll() {
    if (!EnsureLoginOrTell(session_, interaction_)) {
        return false;
    }
    CUpdateJob job(session_.Directories());
    GiveAccount(job);
    for (std::size_t index = 0; index < session_.Directories().size(); ++index) {
        job.AddDirectory(static_cast<std::int32_t>(index));
    }
    job.SetMode(CUpdateJob::kModeFull);
    job.SetUnattended(!session_.FirstArgument().empty());
    return Run(job);
}

bool CUpdateCommands::UpdateSelected() {
    if (!EnsureLoginOrTell(session_, interaction_)) {
        return false;
    }
    CUpdateJob job(session_.Directories());
    GiveAccount(job);
    for (const std::int32_t index : session_.DirectoryList().SelectedDirectories()) {
        job.AddDirectory(index);
    }
    job.SetMode(CUpdateJob::kModeMarked);
    job.SetUnattended(false);
    return Run(job);
}

bool CUpdateCommands::UpdateActiveList() {
    const CMVRDirListInfo* list = ListOfEntry(session_.Lists(), session_.User().activeListEntry);
    if (list == nullptr) {
        return UpdateAll();
    }
    if (!EnsureLoginOrTell(session_, interaction_)) {
        return false;
    }
    CUpdateJob job(session_.Directories());
    GiveAccount(job);
    // The rows, so that the format filter decides as well.
    const CExpDirListModel& rows = session_.DirectoryList();
    for (std::size_t row = 0; row < rows.RowCount(); ++row) {
        const std::int32_t index = rows.RowDirectory(static_cast<std::int64_t>(row));
        if (list->ContainsPath(session_.Directories()[static_cast<std::size_t>(index)].path)) {
            job.AddDirectory(index);
        }
    }
    job.SetMode(CUpdateJob::kModeActiveList);
    job.SetUnattended(false);
    return Run(job);
}

CommandLineResult CUpdateCommands::ProcessCommandLine() {
    CommandLineResult result;
    if (session_.FirstArgument().empty()) {
        return result;
    }
    bool loggedIn = false;
    if (!interaction_.RunNetworkWork(kPhaseConnecting, [&](const RunFlag& run) {
            loggedIn = session_.EnsureLogin(result.message, run);
        })) {
        result.outcome = CommandLineOutcome::Cancelled;
        return result;
    }
    if (!loggedIn) {
        interaction_.ShowMessage(result.message, MessageIcon::None);
        result.outcome = CommandLineOutcome::LoginFailed;
        return result;
    }
    const BatchSelection selection =
        SelectBatchDirectories(session_.FirstArgument(), session_.SecondArgument(),
                               session_.Directories(), session_.Lists());
    CUpdateJob job(session_.Directories());
    GiveAccount(job);
    job.SetUnattended(selection.unattended);
    job.SetRealtime(selection.realtime);
    job.SetMode(selection.mode);
    for (const std::int32_t index : selection.directories) {
        job.AddDirectory(index);
    }
    if (job.DirectoryCount() == 0) {
        StoreConfigOrTell(session_, interaction_); // the Exit step
        result.outcome = CommandLineOutcome::NothingSelected;
        return result;
    }
    const bool ok = Run(job);
    result.summary = job.Summary();
    if (!ok) {
        result.outcome = CommandLineOutcome::Cancelled;
        return result;
    }
    StoreConfigOrTell(session_, interaction_); // the Exit step
    result.outcome = CommandLineOutcome::Finished;
    return result;
}

} // namespace mvr
