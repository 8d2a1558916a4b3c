#pragma once

// The command line of mvr-dircat: its usage text and what the arguments ask for.

#include "core/health/PriceHealthCheck.h"

#include <optional>
#include <string>

namespace mvr {

extern const char* const kDirCatUsage;

struct DirCatArguments {
    std::string directory;
    std::optional<std::string> symbol;
    std::optional<int> formatType;
    bool check = false;
    HealthLimits limits; // with `check` only
    bool help = false;
};

// Nothing, with a message in `error`, when the arguments are wrong.
std::optional<DirCatArguments> ParseDirCatArguments(int argc, char** argv, std::string& error);

} // namespace mvr
