#pragma once

// The daily update as an entry of the user's crontab, read with "crontab -l"
// and installed whole with "crontab -" on standard input, so that every line
// of the user's own stays as it was.

#include "core/schedule/ScheduleMechanism.h"

namespace mvr {

class CCrontabSchedule final : public CScheduleMechanism {
public:
    explicit CCrontabSchedule(CCommandRunner& runner) : runner_(runner) {}

    std::string Name() const override { return "crontab"; }
    // The last resort: whether crontab works shows when it is used.
    bool Available() override { return true; }
    std::optional<ScheduledRun> Installed() override;
    bool Install(const ScheduledRun& run, std::string& error) override;
    bool Remove(std::string& error) override;

private:
    // The user's crontab, empty when the user has none; nothing when it
    // cannot be read (then it must not be replaced either).
    std::optional<std::string> Read(std::string& error);
    bool Write(const std::string& crontab, std::string& error);

    CCommandRunner& runner_;
};

} // namespace mvr
