#pragma once

// The daily update as a systemd user timer and its service: the unit files
// in the user's unit folder, then the user's service manager reloaded and the
// timer enabled and started, so that it survives a restart.

#include "core/schedule/ScheduleMechanism.h"

namespace mvr {

class CSystemdTimerSchedule final : public CScheduleMechanism {
public:
    // `unitFolder`: $XDG_CONFIG_HOME/systemd/user, empty when the user has none.
    CSystemdTimerSchedule(CCommandRunner& runner, std::string unitFolder)
        : runner_(runner), unitFolder_(std::move(unitFolder)) {}

    std::string Name() const override;
    // The user's service manager answers.
    bool Available() override;
    std::optional<ScheduledRun> Installed() override;
    bool Install(const ScheduledRun& run, std::string& error) override;
    bool Remove(std::string& error) override;

private:
    std::string UnitPath(const char* name) const;
    bool WriteUnit(const char* name, const std::string& text, std::string& error) const;
    bool RemoveUnit(const char* name, std::string& error) const;
    bool Systemctl(std::vector<std::string> arguments, std::string& error);

    CCommandRunner& runner_;
    std::string unitFolder_;
};

} // namespace mvr
