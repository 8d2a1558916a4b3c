#include "batch/BatchTool.h"

#include "batch/BatchArguments.h"
#include "batch/BatchConfiguration.h"
#include "batch/BatchInteraction.h"
#include "batch/BatchSchedule.h"
#include "batch/BatchSummary.h"
#include "batch/StopSignals.h"
#include "core/app/RunEnd.h"
#include "core/app/RunReport.h"
#include "core/app/Session.h"
#include "core/app/UpdateCommands.h"
#include "core/net/UserRequests.h"
#include "core/net/WinSocket.h"
#include "core/platform/BuildVersion.h"

#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace mvr::batch {
namespace {

// How a command ended, and the summary of the update job when one ran.
struct CommandEnd {
    RunEnd end;
    std::optional<UpdateSummary> summary;
};

int Fail(const std::string& text, int code = kExitFailed) {
    std::fprintf(stderr, "mvrkrsexp-batch: %s\n", text.c_str());
    return code;
}

// The reason goes to the error stream; the status is the run's.
int Ended(const RunEnd& end) {
    return end.reason.empty() ? end.status : Fail(end.reason, end.status);
}

CommandEnd DoneOrFailed(bool done, const std::string& error) {
    return {done ? RunEnd{} : RunEnd{kExitFailed, error}, std::nullopt};
}

// The desktop program's batch run: the switch goes through the same command,
// with the terminal in place of the progress dialog.
CommandEnd RunUpdate(CMVRKrsExpSession& session, const StartupArguments& startup,
                     CBatchInteraction& interaction) {
    session.SetCommandLine(startup.firstArgument, startup.secondArgument);
    const CommandLineResult result = CUpdateCommands(session, interaction).ProcessCommandLine();
    CommandEnd ended{EndOfBatchSwitchRun(result), std::nullopt};
    if (result.outcome == CommandLineOutcome::Finished ||
        result.outcome == CommandLineOutcome::Cancelled) {
        std::fputs(FormatSummary(result.summary).c_str(), stdout);
        std::fflush(stdout);
        ended.summary = result.summary;
    }
    return ended;
}

RunEnd RunDefinitionFile(CMVRKrsExpSession& session, const StartupArguments& startup,
                         CBatchInteraction& interaction) {
    DefinitionFileOutcome outcome = DefinitionFileOutcome::AccountRefused;
    if (!interaction.RunNetworkWork("", [&](const RunFlag& run) {
            session.RunDefinitionFile(startup.definitionInput, startup.definitionOutput, run,
                                      &outcome);
        })) {
        return {kExitStopped, "stopped"};
    }
    return EndOfDefinitionFileRun(outcome, startup);
}

CommandEnd RunCommand(const BatchCommand& command) {
    CMVRKrsExpSession session;
    std::string error;
    if (!session.LoadConfig(&error)) {
        return {{kExitFailed, error}, std::nullopt};
    }
    CBatchInteraction interaction(stderr);
    // A signal stops the server work of every command, not only an update.
    InstallStopSignalHandlers();
    switch (command.action) {
    case BatchAction::SetAccount:
        return DoneOrFailed(SetAccount(session, command.values[0], command.values[1], error),
                            error);
    case BatchAction::AddDirectory:
        return DoneOrFailed(AddDirectory(session, command.values, interaction, error), error);
    case BatchAction::Show:
        ShowConfiguration(session, stdout);
        ShowSchedule(stdout);
        return {};
    default:
        break;
    }
    // Both kinds of run need the account; without one the server is not asked.
    if (session.User().account.empty() || session.User().password.empty()) {
        return {{kExitNoAccount, "no account configured (see --set-account)"}, std::nullopt};
    }
    if (command.startup.kind == RunKind::DefinitionFile) {
        return {RunDefinitionFile(session, command.startup, interaction), std::nullopt};
    }
    return RunUpdate(session, command.startup, interaction);
}

// Writes the run's report; a report that cannot be written fails a run
// that did not fail otherwise.
int Reported(const BatchCommand& command, std::chrono::system_clock::time_point started,
             const CommandEnd& ended, int status) {
    RunReport report;
    report.started = started;
    report.ended = std::chrono::system_clock::now();
    const StartupArguments& startup = command.startup;
    const bool definitionFile = startup.kind == RunKind::DefinitionFile;
    report.runSwitch = definitionFile ? "-definitionfile" : startup.firstArgument;
    report.argument = definitionFile ? startup.definitionInput : startup.secondArgument;
    report.end = ended.end;
    report.summary = ended.summary;
    std::string error;
    if (!WriteRunReport(command.reportFile, report, error)) {
        Fail(error);
        return status == kExitDone ? kExitFailed : status;
    }
    return status;
}

} // namespace

int RunBatchTool(const std::vector<std::string>& arguments) {
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
    const auto started = std::chrono::system_clock::now();
    const CommandEnd ended =
        StartSockets(2, 2) ? RunCommand(command)
                           : CommandEnd{{kExitCommunication, kSocketsInitError}, std::nullopt};
    const int status = Ended(ended.end);
    return command.reportFile.empty() ? status : Reported(command, started, ended, status);
}

} // namespace mvr::batch
