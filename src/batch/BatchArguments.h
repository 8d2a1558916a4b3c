#pragma once

// What mvrkrsexp-batch is asked to do. The update switches and the
// definition-file form are those of the desktop program; the options that
// start with "--" are the batch tool's own.

#include "core/app/CommandLine.h"
#include "core/schedule/DailyTime.h"

#include <string>
#include <vector>

namespace mvr::batch {

enum class BatchAction {
    Usage,        // wrong arguments: the error text, then the usage on stderr
    Help,         // --help
    Version,      // --version
    Run,          // an update switch or a definition file (the startup arguments)
    SetAccount,   // --set-account ACCOUNT PASSWORD
    AddDirectory, // --add-directory PATH FORMAT [CATALOGUE [START]]
    Show,         // --show: the configured account, directories, lists and daily update
    Schedule,     // --schedule HH:MM [SWITCH [VALUE]]: the update switch run daily
    Unschedule,   // --unschedule
};

struct BatchCommand {
    BatchAction action = BatchAction::Usage;
    std::string error;               // for Usage
    StartupArguments startup;        // of a run, and the switch that Schedule installs
    std::vector<std::string> values; // the operands of the own options
    DailyTime scheduleTime;          // for Schedule
    std::string reportFile;          // a run's JSON report (--report FILE); empty for none
};

// `arguments` excludes the program path.
BatchCommand ParseBatchArguments(const std::vector<std::string>& arguments);

std::string UsageText();

} // namespace mvr::batch
