#pragma once

// How a run without a user ends: the exit status that scripts and schedulers
// read, and the reason in words for the error stream. The batch tool and a
// batch run of the window end the same way.

#include "core/app/CommandLine.h"
#include "core/app/UpdateCommands.h"
#include "core/definition/DefinitionFileRequest.h"

#include <string>

namespace mvr {

enum ExitStatus : int {
    kExitDone = 0,
    kExitFailed = 1,          // the configuration folder cannot be used, or a command failed
    kExitUsage = 2,           // wrong or missing arguments
    kExitNoAccount = 3,       // no account and password are configured
    kExitLoginFailed = 4,     // the server refused the account
    kExitNothingSelected = 5, // the switch selects no directory that can be opened
    kExitStopped = 6,         // stopped by the user or a signal
    kExitCommunication = 7,   // the server could not be reached or a download broke off
    kExitNotWritten = 8,      // files of a folder could not be written (a full disk, say)
};

inline constexpr const char* kServerUnreachableText = "The price server cannot be reached.";

struct RunEnd {
    int status = kExitDone;
    std::string reason; // empty when the run did what it was asked
};

// The end of a run of a batch switch, from what the command reported.
RunEnd EndOfBatchSwitchRun(const CommandLineResult& result);
// The end of a definition-file run.
RunEnd EndOfDefinitionFileRun(DefinitionFileOutcome outcome, const StartupArguments& startup);

} // namespace mvr
