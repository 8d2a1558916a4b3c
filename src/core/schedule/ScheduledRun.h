#pragma once

// What a schedule starts every day, in the form every scheduler's entry is
// written from and read back into.

#include "core/schedule/DailyTime.h"

#include <string>
#include <vector>

namespace mvr {

struct ScheduledRun {
    DailyTime time;
    std::string program;                // absolute path of mvrkrsexp-batch
    std::vector<std::string> arguments; // the update switch and its value
    // The configuration folder the run must use (MVRKRSEXP_CONFIG_DIR); empty
    // for the user's default one. A scheduler starts the run with an
    // environment of its own, which would not carry the variable.
    std::string configFolder;

    bool operator==(const ScheduledRun&) const = default;
};

} // namespace mvr
