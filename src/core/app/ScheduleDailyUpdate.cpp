#include "core/app/ScheduleDailyUpdate.h"

#include "core/platform/Paths.h"
#include "core/platform/TextUtil.h"

namespace mvr {

namespace {

constexpr const char* kAllSwitch = "-updateall";
constexpr const char* kDirectorySwitch = "-dirupdate";
constexpr const char* kListSwitch = "-listupdate";
constexpr const char* kRealtimeSuffix = "rt";

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
    std::string updateSwitch = ToLowerAscii(installed.arguments.front());
    ScheduleDialogEntries entries;
    entries.time = installed.time;
    entries.realtime = updateSwitch.ends_with(kRealtimeSuffix);
    if (entries.realtime) {
        updateSwitch.resize(updateSwitch.size() - 2);
    }
    if (updateSwitch == kDirectorySwitch) {
        entries.selection = ScheduledSelection::Directory;
    } else if (updateSwitch == kListSwitch) {
        entries.selection = ScheduledSelection::List;
    } else if (updateSwitch != kAllSwitch) {
        return std::nullopt;
    }
    if (installed.arguments.size() > 1) {
        entries.value = installed.arguments[1];
    }
    return entries;
}

} // namespace

std::string ScheduledSwitch(const ScheduleDialogEntries& entries) {
    std::string updateSwitch;
    switch (entries.selection) {
    case ScheduledSelection::AllDirectories:
        updateSwitch = kAllSwitch;
        break;
    case ScheduledSelection::Directory:
        updateSwitch = kDirectorySwitch;
        break;
    case ScheduledSelection::List:
        updateSwitch = kListSwitch;
        break;
    }
    return entries.realtime ? updateSwitch + kRealtimeSuffix : updateSwitch;
}

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
    const bool needsValue = entries.selection != ScheduledSelection::AllDirectories;
    if (needsValue && entries.value.empty()) {
        return {false, entries.selection == ScheduledSelection::Directory ? kNoDirectoryText
                                                                          : kNoListText};
    }
    return schedule_.Install(entries.time, ScheduledSwitch(entries),
                             needsValue ? entries.value : std::string());
}

} // namespace mvr
