#pragma once

// The daily update of the batch tool, installed in the scheduler that the
// machine offers: a systemd user timer where the user's service manager
// answers, a crontab entry elsewhere on POSIX systems, a task of the Task
// Scheduler on Windows. The batch tool's --schedule, --unschedule and --show
// and the window's "Schedule daily update ..." both go through this class.

#include "core/platform/CommandRunner.h"
#include "core/schedule/DailyTime.h"
#include "core/schedule/ScheduleMechanism.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace mvr {

// Where a schedule is installed from and for.
struct ScheduleHost {
    std::string batchProgram; // absolute path of mvrkrsexp-batch
    // The configuration folder the scheduled run must use; empty for the default one.
    std::string configFolder;
    std::string systemdUnitFolder; // empty when the user has no home
};

// This process's host: MVRKRSEXP_CONFIG_DIR made absolute when it is set, the
// unit folder $XDG_CONFIG_HOME/systemd/user (or ~/.config/systemd/user).
ScheduleHost CurrentScheduleHost(std::string batchProgram);

struct ScheduleResult {
    bool done = false;
    std::string message; // for the user, whether done or not
};

struct ScheduleDescription {
    DailyTime time;
    std::vector<std::string> arguments; // the update switch and its value
    std::string mechanism;              // CScheduleMechanism::Name
};

// "-listupdate "Evening list" daily at 07:30 (crontab)"
std::string ScheduleDescriptionText(const ScheduleDescription& description);

class CDailyUpdateSchedule {
public:
    CDailyUpdateSchedule(ScheduleHost host, CCommandRunner& runner);
    ~CDailyUpdateSchedule();
    CDailyUpdateSchedule(const CDailyUpdateSchedule&) = delete;
    CDailyUpdateSchedule& operator=(const CDailyUpdateSchedule&) = delete;

    // Runs `mvrkrsexp-batch updateSwitch [value]` every day at `time`, in
    // place of an earlier schedule (also one that another mechanism holds).
    // The switch is taken as given: the caller has checked it.
    ScheduleResult Install(DailyTime time, const std::string& updateSwitch,
                           const std::string& value);
    // Removes the schedule; done also when there was none (the message says so).
    ScheduleResult Remove();
    std::optional<ScheduleDescription> Current();

private:
    struct InstalledRun {
        CScheduleMechanism* mechanism;
        ScheduledRun run;
    };
    std::vector<InstalledRun> InstalledRuns();
    // The first mechanism, by preference, that works on this machine.
    CScheduleMechanism& Preferred();

    ScheduleHost host_;
    std::vector<std::unique_ptr<CScheduleMechanism>> mechanisms_; // by preference
};

} // namespace mvr
