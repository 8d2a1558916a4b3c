#include "core/app/RunEnd.h"

#include "core/net/IOException.h"
#include "core/net/UserRequests.h"

namespace mvr {

namespace {

RunEnd Unreachable() {
    return {kExitCommunication, kServerUnreachableText};
}

RunEnd EndOfFinishedJob(const UpdateSummary& summary) {
    if (IsCheckUnanswered(summary.accountCheckResult)) {
        return Unreachable();
    }
    if (summary.accountCheckResult <= 0) {
        return {kExitLoginFailed, "the server refused the account check (code " +
                                      std::to_string(summary.accountCheckResult) + ")"};
    }
    if (summary.communicationFailed) {
        return {kExitCommunication, "the connection to the server failed during the update"};
    }
    if (!summary.foldersNotWritten.empty()) {
        const FolderNotWritten& first = summary.foldersNotWritten.front();
        return {kExitNotWritten,
                "files in " + first.folder + " could not be written (" + first.reason + ")"};
    }
    return {};
}

} // namespace

RunEnd EndOfBatchSwitchRun(const CommandLineResult& result) {
    // Such a job ends as if stopped; the reason must not read like a signal.
    if (result.summary.failed) {
        return {kExitFailed, "the update ended early: " + result.summary.failure};
    }
    switch (result.outcome) {
    case CommandLineOutcome::NoSwitch:
    case CommandLineOutcome::NothingSelected:
        return {kExitNothingSelected,
                "no directory selected (unknown switch, or no directory that can be opened)"};
    case CommandLineOutcome::LoginFailed:
        if (result.message == kConnectionErrorText) {
            return Unreachable();
        }
        return {kExitLoginFailed, "the login was refused"};
    case CommandLineOutcome::Cancelled:
        return {kExitStopped, "stopped"};
    case CommandLineOutcome::Finished:
        break;
    }
    return EndOfFinishedJob(result.summary);
}

RunEnd EndOfDefinitionFileRun(DefinitionFileOutcome outcome, const StartupArguments& startup) {
    switch (outcome) {
    case DefinitionFileOutcome::Written:
        return {};
    case DefinitionFileOutcome::WrittenIncomplete:
        return {kExitCommunication, "the server's answer ended early; " + startup.definitionOutput +
                                        " holds what arrived"};
    case DefinitionFileOutcome::InputUnreadable:
        return {kExitFailed, "cannot read " + startup.definitionInput};
    case DefinitionFileOutcome::ServerError:
        return {kExitCommunication, "the server reported an error"};
    case DefinitionFileOutcome::Stopped:
        return {kExitStopped, "stopped"};
    case DefinitionFileOutcome::ConnectionFailed:
        return Unreachable();
    case DefinitionFileOutcome::AccountRefused:
        return {kExitLoginFailed, "the server refused the account check"};
    case DefinitionFileOutcome::OutputNotWritten:
        return {kExitFailed, "cannot write " + startup.definitionOutput};
    }
    return {kExitFailed, "unknown outcome"};
}

} // namespace mvr
