// mvrkrsexp-batch: the desktop program's update switches without a window,
// for cron jobs and servers.

#include "batch/BatchArguments.h"
#include "batch/BatchConfiguration.h"
#include "batch/BatchInteraction.h"
#include "batch/BatchSummary.h"
#include "batch/ExitCodes.h"
#include "batch/StopSignals.h"
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

// Every way of not reaching the server, whichever request met it first.
int Unreachable() {
    return Fail("The price server cannot be reached.", kExitCommunication);
}

int ExitCodeOf(const CommandLineResult& result) {
    // Such a job ends as if stopped; the reason must not read like a signal.
    if (result.summary.failed) {
        return Fail("the update ended early: " + result.summary.failure, kExitFailed);
    }
    switch (result.outcome) {
    case CommandLineOutcome::NoSwitch:
    case CommandLineOutcome::NothingSelected:
        return Fail("no directory selected (unknown switch, or no directory that can be opened)",
                    kExitNothingSelected);
    case CommandLineOutcome::LoginFailed:
        // The login's message is on stderr already.
        if (result.message == kConnectionErrorText) {
            return Unreachable();
        }
        return Fail("the login was refused", kExitLoginFailed);
    case CommandLineOutcome::Cancelled:
        return Fail("stopped", kExitStopped);
    case CommandLineOutcome::Finished:
        break;
    }
    if (IsCheckUnanswered(result.summary.accountCheckResult)) {
        return Unreachable();
    }
    if (result.summary.accountCheckResult <= 0) {
        return Fail("the server refused the account check (code " +
                        std::to_string(result.summary.accountCheckResult) + ")",
                    kExitLoginFailed);
    }
    if (result.summary.communicationFailed) {
        return Fail("the connection to the server failed during the update", kExitCommunication);
    }
    return kExitDone;
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
    return ExitCodeOf(result);
}

int ExitCodeOf(DefinitionFileOutcome outcome, const StartupArguments& startup) {
    switch (outcome) {
    case DefinitionFileOutcome::Written:
        return kExitDone;
    case DefinitionFileOutcome::WrittenIncomplete:
        return Fail("the server's answer ended early; " + startup.definitionOutput +
                        " holds what arrived",
                    kExitCommunication);
    case DefinitionFileOutcome::InputUnreadable:
        return Fail("cannot read " + startup.definitionInput);
    case DefinitionFileOutcome::ServerError:
        return Fail("the server reported an error", kExitCommunication);
    case DefinitionFileOutcome::Stopped:
        return Fail("stopped", kExitStopped);
    case DefinitionFileOutcome::ConnectionFailed:
        return Unreachable();
    case DefinitionFileOutcome::AccountRefused:
        return Fail("the server refused the account check", kExitLoginFailed);
    case DefinitionFileOutcome::OutputNotWritten:
        return Fail("cannot write " + startup.definitionOutput);
    }
    return kExitFailed;
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
    return ExitCodeOf(outcome, startup);
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
    default:
        break;
    }
    if (!StartSockets(2, 2)) {
        return Fail("Error init Windows-Sockets!", kExitCommunication);
    }
    return RunCommand(command);
}

} // namespace
} // namespace mvr::batch

int main(int argc, char** argv) {
    return mvr::batch::Main(std::vector<std::string>(argv + 1, argv + argc));
}
