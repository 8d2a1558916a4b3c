#include "core/schedule/SystemdTimerSchedule.h"

#include "core/platform/AtomicFile.h"
#include "core/platform/FileSystem.h"
#include "core/platform/Paths.h"
#include "core/schedule/SystemdUnits.h"

namespace mvr {

namespace {

std::string TextOf(const ByteBuffer& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

} // namespace

std::string CSystemdTimerSchedule::Name() const {
    return std::string("systemd user timer ") + kSystemdTimerName;
}

bool CSystemdTimerSchedule::Available() {
    return !unitFolder_.empty() &&
           runner_.Run("systemctl", {"--user", "show-environment"}).Succeeded();
}

std::optional<ScheduledRun> CSystemdTimerSchedule::Installed() {
    if (unitFolder_.empty()) {
        return std::nullopt;
    }
    const auto service = ReadWholeFile(UnitPath(kSystemdServiceName));
    const auto timer = ReadWholeFile(UnitPath(kSystemdTimerName));
    if (!service || !timer) {
        return std::nullopt;
    }
    return ParseSystemdUnits(TextOf(*service), TextOf(*timer));
}

bool CSystemdTimerSchedule::Install(const ScheduledRun& run, std::string& error) {
    if (unitFolder_.empty()) {
        error =
            "there is no folder for systemd user units (neither XDG_CONFIG_HOME nor HOME is set)";
        return false;
    }
    if (!CreateFolders(unitFolder_)) {
        error = "cannot create " + unitFolder_;
        return false;
    }
    return WriteUnit(kSystemdServiceName, SystemdServiceText(run), error) &&
           WriteUnit(kSystemdTimerName, SystemdTimerText(run.time), error) &&
           Systemctl({"daemon-reload"}, error) &&
           Systemctl({"enable", "--now", kSystemdTimerName}, error);
}

// The timer is disabled first: while it cannot be, the units stay, so that
// the schedule is never half removed.
bool CSystemdTimerSchedule::Remove(std::string& error) {
    return Systemctl({"disable", "--now", kSystemdTimerName}, error) &&
           RemoveUnit(kSystemdTimerName, error) && RemoveUnit(kSystemdServiceName, error) &&
           Systemctl({"daemon-reload"}, error);
}

std::string CSystemdTimerSchedule::UnitPath(const char* name) const {
    return JoinPath(WithTrailingSeparator(unitFolder_), name);
}

bool CSystemdTimerSchedule::WriteUnit(const char* name, const std::string& text,
                                      std::string& error) const {
    ClearLastAtomicWriteError();
    const std::string path = UnitPath(name);
    if (WriteFileAtomically(
            path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()))) {
        return true;
    }
    error = "cannot write " + path + " (" + LastAtomicWriteError().message() + ")";
    return false;
}

bool CSystemdTimerSchedule::RemoveUnit(const char* name, std::string& error) const {
    const std::string path = UnitPath(name);
    if (!EntryExists(path) || RemoveFile(path)) {
        return true;
    }
    error = "cannot remove " + path;
    return false;
}

bool CSystemdTimerSchedule::Systemctl(std::vector<std::string> arguments, std::string& error) {
    arguments.insert(arguments.begin(), "--user");
    return RunTool(runner_, "systemctl", arguments, error);
}

} // namespace mvr
