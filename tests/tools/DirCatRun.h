#pragma once

// mvr-dircat run as users and scripts run it: its exit status, stdout and stderr.

#include <string>
#include <vector>

namespace mvr::test {

struct DirCatOutcome {
    int exitCode = -1;
    std::string out;
    std::string err;
};

DirCatOutcome RunDirCat(const std::vector<std::string>& args);

std::string ReadText(const std::string& path);

// The lines of a text, without their line ends.
std::vector<std::string> Lines(const std::string& text);

} // namespace mvr::test
