#pragma once

// mvrkrsexp-batch: the desktop program's update switches without a window,
// for cron jobs and servers.

#include <string>
#include <vector>

namespace mvr::batch {

// The whole tool for the arguments after the program name; the exit status.
int RunBatchTool(const std::vector<std::string>& arguments);

} // namespace mvr::batch
