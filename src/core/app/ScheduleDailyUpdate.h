#pragma once

// The window's dialog for the daily update that the batch tool runs from the
// machine's scheduler: what it offers and shows, and what its buttons do. It
// installs through the same schedule as the batch tool's --schedule.

#include "core/app/CommandLine.h"
#include "core/config/DirListInfo.h"
#include "core/config/ExportInfo.h"
#include "core/schedule/DailyUpdateSchedule.h"

#include <string>
#include <vector>

namespace mvr {

struct ScheduleDialogEntries {
    DailyTime time{18, 30};
    BatchSwitchKind update; // what the scheduled run updates
    std::string value;      // the directory's path or the list's name
};

struct ScheduleDialogOpening {
    ScheduleDialogEntries entries;        // of the installed schedule, or the defaults
    std::string currentText;              // the installed schedule, or that there is none
    bool removable = false;               // a schedule is installed
    std::vector<std::string> directories; // paths, for the directory choice
    std::vector<std::string> lists;       // names, for the list choice
};

inline constexpr const char* kScheduleDialogCaption = "Schedule daily update";
inline constexpr const char* kNoScheduleText = "No daily update is scheduled.";

// The batch tool in the desktop program's folder.
std::string BatchProgramIn(const std::string& programFolder);

class CScheduleDailyUpdate {
public:
    explicit CScheduleDailyUpdate(CDailyUpdateSchedule& schedule) : schedule_(schedule) {}

    ScheduleDialogOpening Open(const std::vector<MVRKrsExportInfo>& directories,
                               const std::vector<CMVRDirListInfo>& lists);
    // "Schedule": a directory or list choice needs its value.
    ScheduleResult Install(const ScheduleDialogEntries& entries);
    // "Remove".
    ScheduleResult Remove() { return schedule_.Remove(); }

private:
    CDailyUpdateSchedule& schedule_;
};

} // namespace mvr
