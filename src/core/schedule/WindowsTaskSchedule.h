#pragma once

// The daily update as a task of the Windows Task Scheduler, through
// schtasks.exe, which runs it as the user who installed it.

#include "core/schedule/ScheduleMechanism.h"

namespace mvr {

class CWindowsTaskSchedule final : public CScheduleMechanism {
public:
    explicit CWindowsTaskSchedule(CCommandRunner& runner) : runner_(runner) {}

    std::string Name() const override;
    bool Available() override { return true; }
    std::optional<ScheduledRun> Installed() override;
    bool Install(const ScheduledRun& run, std::string& error) override;
    bool Remove(std::string& error) override;

private:
    CCommandRunner& runner_;
};

} // namespace mvr
