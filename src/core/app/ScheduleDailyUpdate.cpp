#include "core/app/ScheduleDailyUpdate.h"

#include "core/platform/Paths.h"

namespace mvr {

namespace {

constexpr const char* kNoDirectoryText = "Choose the directory that the daily update updates.";
constexpr const char* kNoListText = "Choose the list that the daily update updates.";

#ifdef _WIN32
constexpr const char* kBatchProgramName = "mvrkrsexp-batch.exe";
#else
constexpr const char* kBatchProgramName = "mvrkrsexp-batch";
#endif

// The entries of an installed run; nothing for a switch the dialog does not offer.
std::optional<ScheduleDialogEntries> EntriesOf(const ScheduleDescription& installed) {
    if (installed.arguments.empty()) {
        return std::nullopt;
    }
    const std::optional<BatchSwitchKind> update = BatchSwitchKindOf(installed.arguments.front());
    if (!update) {
        return std::nullopt;
    }
    ScheduleDialogEntries entries;
    entries.time = installed.time;
    entries.update = *update;
    if (installed.arguments.size() > 1) {
        entries.value = installed.arguments[1];
    }
    return entries;
}

} // namespace

std::string BatchProgramIn(const std::string& programFolder) {
    return JoinPath(programFolder, kBatchProgramName);
}

ScheduleDialogOpening CScheduleDailyUpdate::Open(const std::vector<MVRKrsExportInfo>& directories,
                                                 const std::vector<CMVRDirListInfo>& lists) {
    ScheduleDialogOpening opening;
    for (const MVRKrsExportInfo& directory : directories) {
        opening.directories.push_back(directory.path);
    }
    for (const CMVRDirListInfo& list : lists) {
        opening.lists.push_back(list.name);
    }
    const std::optional<ScheduleDescription> installed = schedule_.Current();
    opening.removable = installed.has_value();
    opening.currentText =
        installed ? "Scheduled: " + ScheduleDescriptionText(*installed) + "." : kNoScheduleText;
    if (installed) {
        opening.entries = EntriesOf(*installed).value_or(ScheduleDialogEntries{});
    }
    return opening;
}

ScheduleResult CScheduleDailyUpdate::Install(const ScheduleDialogEntries& entries) {
    const bool needsValue = entries.update.selection != SwitchSelection::All;
    if (needsValue && entries.value.empty()) {
        return {false, entries.update.selection == SwitchSelection::Directory ? kNoDirectoryText
                                                                              : kNoListText};
    }
    return schedule_.Install(entries.time, BatchSwitchFor(entries.update),
                             needsValue ? entries.value : std::string());
}

} // namespace mvr
