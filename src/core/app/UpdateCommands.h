#pragma once

// The commands that run an update job: "Update all directories", "U" for the
// selected directories, "Upd" for the active list, and the batch switch of
// the command line. Each logs in, hands the job its directories and shows the
// job's dialog through the interaction interface (the GUI's progress dialog,
// the batch tool's terminal); after OK the symbol counts, the configuration
// and the current directory's symbols are brought up to date.

#include "core/update/UpdateJob.h"

#include <string>

namespace mvr {

class CMVRKrsExpSession;
class CUserInteraction;

enum class CommandLineOutcome {
    NoSwitch,        // no first argument: an interactive run, nothing happens
    LoginFailed,     // the login's message was shown; the window stays open
    NothingSelected, // no known switch or no directory that could be opened: the run ends
    Finished,        // the job ended with OK: the run ends
    Cancelled,       // the job ended otherwise: the run goes on interactively
};

struct CommandLineResult {
    CommandLineOutcome outcome = CommandLineOutcome::NoSwitch;
    std::string message;   // the login's message for LoginFailed
    UpdateSummary summary; // of the job, for Finished and Cancelled

    // The run ends as "Exit" ends it (the configuration was stored).
    bool EndsRun() const {
        return outcome == CommandLineOutcome::NothingSelected ||
               outcome == CommandLineOutcome::Finished;
    }
};

class CUpdateCommands {
public:
    CUpdateCommands(CMVRKrsExpSession& session, CUserInteraction& interaction)
        : session_(session), interaction_(interaction) {}

    // Menu "Update all directories": every directory, a full update; without
    // waiting for the user when the run has a command-line switch. The
    // commands are true when the job ended with OK.
    bool UpdateAll();
    // "U": the selected directories in row order.
    bool UpdateSelected();
    // "Upd": the active list's directories that the directory list shows, in
    // row order; every directory when no list is active.
    bool UpdateActiveList();

    // The batch switch of the session's command line, once the client
    // information check has passed.
    CommandLineResult ProcessCommandLine();

private:
    void GiveAccount(CUpdateJob& job) const;
    // Shows the job; after OK the counts, the configuration and the current
    // directory's symbols follow what it wrote.
    bool Run(CUpdateJob& job);

    CMVRKrsExpSession& session_;
    CUserInteraction& interaction_;
};

} // namespace mvr
