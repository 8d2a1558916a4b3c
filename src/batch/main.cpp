// mvrkrsexp-batch: the desktop program's update switches without a window,
// for cron jobs and servers.

#include "batch/BatchArguments.h"
#include "batch/BatchConfiguration.h"
#include "batch/BatchInteraction.h"
#include "batch/BatchSchedule.h"
#include "batch/BatchSummary.h"
#include "batch/StopSignals.h"
#include "core/app/RunEnd.h"
#include "core/app/Session.h"
#include "core/app/UpdateCommands.h"
#include "core/net/UserRequests.h"
#include "core/net/WinSocket.h"
#include "core/platform/BuildVersion.h"

#include <cstdio>
#include <string>
#include <vector>

namespace mvr::batch {
namespace {

int Fail(const std::string& text, int code = kExitFailed) {
    std::fprintf(stderr, "mvrkrsexp-batch: %s\n", text.c_str());
    return code;
}

// The reason goes to the error stream; the status is the run's.
int Ended(const RunEnd& end) {
    return end.reason.empty() ? end.status : Fail(end.reason, end.status);
}

// The desktop program's batch run: the switch goes through the same command,
// with the terminal in place of the progress dialog.
int RunUpdate(CMVRKrsExpSession& session, const StartupArguments& startup,
              CBatchInteraction& interaction) {
    session.SetCommandLine(startup.firstArgument, startup.secondArgument);
    const CommandLineResult result = CUpdateCommands(session, interaction).ProcessCommandLine();
    if (result.outcome == CommandLineOutcome::Finished ||
        result.outcome == CommandLineOutcome::Cancelled) {
        std::fputs(FormatSummary(result.summary).c_str(), stdout);
        std::fflush(stdout);
    }
    return Ended(EndOfBatchSwitchRun(result));
}

int RunDefinitionFile(CMVRKrsExpSession& session, const StartupArguments& startup,
                      CBatchInteraction& interaction) {
    DefinitionFileOutcome outcome = DefinitionFileOutcome::AccountRefused;
    if (!interaction.RunNetworkWork("", [&](const RunFlag& run) {
            session.RunDefinitionFile(startup.definitionInput, startup.definitionOutput, run,
                                      &outcome);
        })) {
        return Fail("stopped", kExitStopped);
    }
    return Ended(EndOfDefinitionFileRun(outcome, startup));
}

int RunCommand(const BatchCommand& command) {
    CMVRKrsExpSession session;
    std::string error;
    if (!session.LoadConfig(&error)) {
        return Fail(error);
    }
    CBatchInteraction interaction(stderr);
    // A signal stops the server work of every command, not only an update.
    InstallStopSignalHandlers();
    switch (command.action) {
    case BatchAction::SetAccount:
        return SetAccount(session, command.values[0], command.values[1], error) ? kExitDone
                                                                                : Fail(error);
    case BatchAction::AddDirectory:
        return AddDirectory(session, command.values, interaction, error) ? kExitDone : Fail(error);
    case BatchAction::Show:
        ShowConfiguration(session, stdout);
        ShowSchedule(stdout);
        return kExitDone;
    default:
        break;
    }
    // Both kinds of run need the account; without one the server is not asked.
    if (session.User().account.empty() || session.User().password.empty()) {
        return Fail("no account configured (see --set-account)", kExitNoAccount);
    }
    return command.startup.kind == RunKind::DefinitionFile
               ? RunDefinitionFile(session, command.startup, interaction)
               : RunUpdate(session, command.startup, interaction);
}

int Main(const std::vector<std::string>& arguments) {
    const BatchCommand command = ParseBatchArguments(arguments);
    switch (command.action) {
    case BatchAction::Usage:
        std::fprintf(stderr, "mvrkrsexp-batch: %s\n\n%s", command.error.c_str(),
                     UsageText().c_str());
        return kExitUsage;
    case BatchAction::Help:
        std::fputs(UsageText().c_str(), stdout);
        return kExitDone;
    case BatchAction::Version:
        std::printf("mvrkrsexp-batch %ld.%ld.%ld.%ld\n", kVersionMajor, kVersionMinor,
                    kVersionBuild, kVersionRevision);
        return kExitDone;
    case BatchAction::Schedule:
    case BatchAction::Unschedule:
        return ChangeSchedule(command, stdout, stderr);
    default:
        break;
    }
    if (!StartSockets(2, 2)) {
        return Fail(kSocketsInitError, kExitCommunication);
    }
    return RunCommand(command);
}

} // namespace
} // namespace mvr::batch

int main(int argc, char** argv) {
    return mvr::batch::Main(std::vector<std::string>(argv + 1, argv + argc));
}
