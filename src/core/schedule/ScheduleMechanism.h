#pragma once

// One way of starting the daily update: a systemd user timer, a crontab
// entry, a Windows task. Each installs, reads back and removes its own entry
// through the command runner, never through a shell.

#include "core/platform/CommandRunner.h"
#include "core/schedule/ScheduledRun.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mvr {

class CScheduleMechanism {
public:
    virtual ~CScheduleMechanism() = default;

    // As the user knows it: "crontab", "systemd user timer mvrkrsexp-update.timer".
    virtual std::string Name() const = 0;
    // Whether it can install on this machine; the probe may run a program.
    virtual bool Available() = 0;
    // The run it holds; nothing when it holds none (or cannot be asked).
    virtual std::optional<ScheduledRun> Installed() = 0;
    // Installs the run in place of an earlier one; false with the reason.
    virtual bool Install(const ScheduledRun& run, std::string& error) = 0;
    // Removes the run it holds; false with the reason.
    virtual bool Remove(std::string& error) = 0;
};

// Why a tool failed, naming the command: "crontab - failed (exit status 1:
// bad minute)", "systemctl could not be started (No such file or directory)".
std::string ToolFailureText(const std::string& program, const std::vector<std::string>& arguments,
                            const CommandOutput& output);

// Runs the tool; false with ToolFailureText when it did not succeed.
bool RunTool(CCommandRunner& runner, const std::string& program,
             const std::vector<std::string>& arguments, std::string& error,
             std::string_view input = {});

} // namespace mvr
