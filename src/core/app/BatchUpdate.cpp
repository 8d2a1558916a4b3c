#include "core/app/BatchUpdate.h"

#include "core/app/CommandLine.h"
#include "core/app/Session.h"
#include "core/app/UserInteraction.h"

namespace mvr {

namespace {

void AfterFinishedJob(CMVRKrsExpSession& session) {
    session.DirectoryList().RefreshCounts(session.Directories());
    session.StoreConfig();
    const std::int32_t current = session.CurrentDirectory();
    if (current >= 0 && static_cast<std::size_t>(current) < session.Directories().size()) {
        session.OpenCurrentDirectory(current);
    }
}

} // namespace

BatchUpdateResult RunBatchUpdate(CMVRKrsExpSession& session, std::string_view firstArgument,
                                 std::string_view secondArgument, CUserInteraction& interaction) {
    BatchUpdateResult result;
    if (firstArgument.empty()) {
        return result;
    }
    const ExportUserInfo& user = session.User();
    if (user.account.empty() || user.password.empty()) {
        result.outcome = BatchUpdateOutcome::NoAccount;
        return result;
    }
    if (!session.EnsureLogin(result.message)) {
        result.outcome = result.message == kConnectionErrorText ? BatchUpdateOutcome::Unreachable
                                                                : BatchUpdateOutcome::LoginFailed;
        return result;
    }
    const BatchSelection selection = SelectBatchDirectories(firstArgument, secondArgument,
                                                            session.Directories(), session.Lists());
    CUpdateJob job(session.Directories());
    job.SetAccount(user.account, user.password);
    job.SetUnattended(selection.unattended);
    job.SetRealtime(selection.realtime);
    job.SetMode(selection.mode);
    for (const std::int32_t index : selection.directories) {
        job.AddDirectory(index);
    }
    if (job.DirectoryCount() == 0) {
        result.outcome = BatchUpdateOutcome::NothingSelected;
        return result;
    }
    const bool ok = interaction.RunUpdateJob(job);
    result.summary = job.Summary();
    result.outcome = ok ? BatchUpdateOutcome::Finished : BatchUpdateOutcome::Cancelled;
    if (ok) {
        AfterFinishedJob(session);
    }
    return result;
}

} // namespace mvr
