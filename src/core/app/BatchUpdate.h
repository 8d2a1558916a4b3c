#pragma once

// A batch switch of the command line carried out without a window: the
// login, the update job for the directories the switch selects, and the
// configuration stored afterwards.

#include "core/update/UpdateJob.h"

#include <string>
#include <string_view>

namespace mvr {

class CMVRKrsExpSession;
class CUserInteraction;

enum class BatchUpdateOutcome {
    NoSwitch,        // the first argument is empty: nothing to do
    NoAccount,       // no account or no password is stored
    LoginFailed,     // the server refused the login
    Unreachable,     // no answer to the login arrived
    NothingSelected, // no known switch, or no directory whose index could be opened
    Finished,        // the job ended with OK
    Cancelled,       // the job ended with Cancel
};

struct BatchUpdateResult {
    BatchUpdateOutcome outcome = BatchUpdateOutcome::NoSwitch;
    std::string message;   // the login's message for LoginFailed
    UpdateSummary summary; // for Finished and Cancelled
};

// Expects the configuration to be loaded. The job's dialog is the
// interaction's RunUpdateJob. After a job that ended with OK the
// symbol counts are refreshed, the configuration is stored and the current
// directory's index is read again.
BatchUpdateResult RunBatchUpdate(CMVRKrsExpSession& session, std::string_view firstArgument,
                                 std::string_view secondArgument, CUserInteraction& interaction);

} // namespace mvr
