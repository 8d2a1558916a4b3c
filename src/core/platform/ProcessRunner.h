#pragma once

// The command runner of the running system: a child process with pipes for
// its standard streams (posix_spawnp on POSIX systems, CreateProcess on
// Windows, without a console window of its own).

#include "core/platform/CommandRunner.h"

namespace mvr {

class CProcessRunner final : public CCommandRunner {
private:
    CommandOutput Execute(const std::string& program, const std::vector<std::string>& arguments,
                          std::string_view input) override;
};

} // namespace mvr
