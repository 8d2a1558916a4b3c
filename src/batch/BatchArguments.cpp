#include "batch/BatchArguments.h"

#include "batch/BatchConfiguration.h"
#include "core/formats/FormatCatalogue.h"
#include "core/platform/TextUtil.h"

#include <algorithm>
#include <cstddef>
#include <string_view>

namespace mvr::batch {

namespace {

struct OwnOption {
    std::string_view name;
    BatchAction action;
    std::size_t minOperands;
    std::size_t maxOperands;
};

constexpr OwnOption kOwnOptions[] = {
    {"--help", BatchAction::Help, 0, 0},
    {"--version", BatchAction::Version, 0, 0},
    {"--set-account", BatchAction::SetAccount, 2, 2},
    {"--add-directory", BatchAction::AddDirectory, 2, 4},
    {"--show", BatchAction::Show, 0, 0},
    {"--schedule", BatchAction::Schedule, 1, 3},
    {"--unschedule", BatchAction::Unschedule, 0, 0},
};

constexpr std::string_view kReportOption = "--report";

BatchCommand UsageError(std::string error) {
    BatchCommand command;
    command.error = std::move(error);
    return command;
}

BatchCommand ParseOwnOption(const OwnOption& option, const std::vector<std::string>& arguments) {
    const std::size_t operands = arguments.size() - 1;
    if (operands < option.minOperands || operands > option.maxOperands) {
        return UsageError("wrong number of values for " + std::string(option.name));
    }
    BatchCommand command;
    command.action = option.action;
    command.values.assign(arguments.begin() + 1, arguments.end());
    return command;
}

std::string FormatTypeList() {
    std::string text = "\nFormat types:\n";
    for (const int type : OfferedFormatTypes()) {
        text += "  " + std::to_string(type) + "\t" + FormatDisplayName(type) + "\n";
    }
    return text;
}

// Why an update run's arguments cannot be run; empty when they can.
std::string SwitchError(const StartupArguments& startup) {
    const std::string& name = startup.firstArgument;
    if (name.empty()) {
        return "no switch given";
    }
    if (ToLowerAscii(name) == "-definitionfile") {
        return "-definitionfile takes IN x OUT";
    }
    if (!IsBatchSwitch(name)) {
        return "unknown switch " + name;
    }
    return {};
}

// Why the switch cannot be run daily; empty when it can. A scheduled run is
// not checked again until it starts, so a missing value is an error here.
std::string ScheduledSwitchError(const StartupArguments& startup) {
    const std::string& name = startup.firstArgument;
    if (ToLowerAscii(name) == "-definitionfile") {
        return "only an update switch can be scheduled";
    }
    if (std::string error = SwitchError(startup); !error.empty()) {
        return error;
    }
    if (BatchSwitchTakesValue(name) && startup.secondArgument.empty()) {
        return name + " needs a value";
    }
    if (!BatchSwitchTakesValue(name) && !startup.secondArgument.empty()) {
        return name + " takes no value";
    }
    return {};
}

// --schedule HH:MM [SWITCH [VALUE]]; without a switch, the full update.
BatchCommand CheckSchedule(BatchCommand command) {
    const auto time = ParseDailyTime(command.values.front());
    if (!time) {
        return UsageError("the time must be HH:MM from 00:00 to 23:59, not " +
                          command.values.front());
    }
    std::vector<std::string> run(command.values.begin() + 1, command.values.end());
    if (run.empty()) {
        run.push_back(kUpdateAllSwitch);
    }
    command.startup = AnalyseArguments(run);
    if (const std::string error = ScheduledSwitchError(command.startup); !error.empty()) {
        return UsageError(error);
    }
    command.scheduleTime = *time;
    return command;
}

// --report FILE before the arguments of a run.
BatchCommand ParseReportedRun(const std::vector<std::string>& arguments) {
    if (arguments.size() < 3) {
        return UsageError("--report takes FILE and the arguments of a run");
    }
    BatchCommand command =
        ParseBatchArguments(std::vector<std::string>(arguments.begin() + 2, arguments.end()));
    if (command.action == BatchAction::Usage) {
        return command;
    }
    if (command.action != BatchAction::Run || !command.reportFile.empty()) {
        return UsageError("--report goes once before an update switch or -definitionfile");
    }
    command.reportFile = arguments[1];
    return command;
}

} // namespace

BatchCommand ParseBatchArguments(const std::vector<std::string>& arguments) {
    if (arguments.empty()) {
        return UsageError("no switch given");
    }
    const std::string_view first = arguments.front();
    if (first == kReportOption) {
        return ParseReportedRun(arguments);
    }
    if (first == "-h") {
        return ParseOwnOption(kOwnOptions[0], arguments);
    }
    for (const OwnOption& option : kOwnOptions) {
        if (first == option.name) {
            BatchCommand command = ParseOwnOption(option, arguments);
            return command.action == BatchAction::Schedule ? CheckSchedule(std::move(command))
                                                           : command;
        }
    }
    if (first.starts_with("--")) {
        return UsageError("unknown option " + std::string(first));
    }
    // A run ignores words after its value, as the desktop program does; a
    // report asked for there would silently not be written.
    if (std::find(arguments.begin(), arguments.end(), kReportOption) != arguments.end()) {
        return UsageError("--report goes before the switch");
    }
    BatchCommand command;
    command.startup = AnalyseArguments(arguments);
    if (command.startup.kind == RunKind::Window) {
        // Checked here, before the configuration is read or the server asked.
        if (const std::string error = SwitchError(command.startup); !error.empty()) {
            return UsageError(error);
        }
    }
    command.action = BatchAction::Run;
    return command;
}

std::string UsageText() {
    return "Usage:\n"
           "  mvrkrsexp-batch [-nowindow] SWITCH [VALUE]\n"
           "      Updates export directories without a window, on the configuration of the\n"
           "      desktop program:\n"
           "        -updateall, -updateallrt        every directory\n"
           "        -dirupdate PATH, -dirupdatert PATH\n"
           "                                        the directory with that path\n"
           "        -listupdate NAME, -listupdatert NAME\n"
           "                                        the directories of that list\n"
           "      The 'rt' forms include the realtime prices. Switches, paths and list names\n"
           "      are compared without regard to letter case.\n"
           "  mvrkrsexp-batch [-nowindow] -definitionfile IN x OUT\n"
           "      Sends the definition file IN to the server and writes its answer to OUT.\n"
           "  mvrkrsexp-batch --set-account ACCOUNT PASSWORD\n"
           "  mvrkrsexp-batch --add-directory PATH FORMAT [CATALOGUE [START]]\n"
           "      Adds an export directory of the format type FORMAT (a number of the list\n"
           "      below), linked to the server catalogue CATALOGUE (0 or none: not linked),\n"
           "      with prices from START (dd.mm.yyyy) on.\n"
           "  mvrkrsexp-batch --show\n"
           "      Prints the configured account, directories and lists, and the daily update.\n"
           "  mvrkrsexp-batch --schedule HH:MM [SWITCH [VALUE]]\n"
           "      Runs mvrkrsexp-batch SWITCH [VALUE] (by default -updateall) every day at that\n"
           "      local time, in place of an earlier schedule: as a systemd user timer where the\n"
           "      user's service manager runs, else as a crontab entry; on Windows as a task of\n"
           "      the Task Scheduler. A configuration folder named by MVRKRSEXP_CONFIG_DIR goes\n"
           "      with it.\n"
           "  mvrkrsexp-batch --unschedule\n"
           "      Removes the daily update.\n"
           "  mvrkrsexp-batch --report FILE [-nowindow] SWITCH [VALUE]\n"
           "  mvrkrsexp-batch --report FILE [-nowindow] -definitionfile IN x OUT\n"
           "      Runs as without --report, then writes a JSON report of the run to FILE: its\n"
           "      times, exit code and error, the summary, and every directory and symbol.\n"
           "  mvrkrsexp-batch --help | --version\n"
           "\n"
           "The configuration folder is the desktop program's, or MVRKRSEXP_CONFIG_DIR when set.\n"
           "Progress goes to stderr (a bar on a terminal, one line per phase otherwise), the\n"
           "summary to stdout. SIGINT or SIGTERM stops an update at its next step; every file is\n"
           "then either untouched or completely written.\n"
           "\n"
           "Exit codes: 0 done, 1 failed (configuration folder or command), 2 wrong arguments,\n"
           "3 no account configured, 4 login failed, 5 nothing selected, 6 stopped by a signal,\n"
           "7 communication failure, 8 files of a folder could not be written.\n" +
           FormatTypeList();
}

} // namespace mvr::batch
