#pragma once

// The exit codes of mvrkrsexp-batch, for scripts and cron jobs; --help lists them.

namespace mvr::batch {

enum ExitCode : int {
    kExitDone = 0,
    kExitFailed = 1,          // the configuration folder cannot be used, or a command failed
    kExitUsage = 2,           // wrong or missing arguments
    kExitNoAccount = 3,       // no account and password are configured
    kExitLoginFailed = 4,     // the server refused the account (its message on stderr)
    kExitNothingSelected = 5, // the switch selects no directory that can be opened
    kExitStopped = 6,         // stopped by SIGINT or SIGTERM
    kExitCommunication = 7,   // the server could not be reached or a download broke off
};

} // namespace mvr::batch
