#pragma once

// The JSON document about one run of a batch switch or a definition file,
// for monitoring scripts: what was asked and when, how the run ended, the
// summary's figures, and what every directory and symbol got. It is written
// also when the run ended before any update (no account, no server).

#include "core/app/RunEnd.h"
#include "core/update/UpdateJob.h"

#include <chrono>
#include <optional>
#include <string>

namespace mvr {

struct RunReport {
    std::chrono::system_clock::time_point started;
    std::chrono::system_clock::time_point ended;
    std::string runSwitch; // "-updateall", "-definitionfile", as given
    std::string argument;  // its value (a definition file's input); empty for none
    RunEnd end;
    std::optional<UpdateSummary> summary; // of the update job, when one ran
};

std::string RunReportJson(const RunReport& report);

// Replaces `path` with the document atomically; false with the reason.
bool WriteRunReport(const std::string& path, const RunReport& report, std::string& error);

} // namespace mvr
