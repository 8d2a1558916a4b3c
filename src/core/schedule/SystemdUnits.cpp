#include "core/schedule/SystemdUnits.h"

#include "core/platform/ConfigFolder.h"
#include "core/platform/TextUtil.h"

#include <vector>

namespace mvr {

namespace {

constexpr std::string_view kExecStartKey = "ExecStart=";
constexpr std::string_view kEnvironmentKey = "Environment=";
constexpr std::string_view kOnCalendarKey = "OnCalendar=";
constexpr std::string_view kEveryDay = "*-*-* ";

// ExecStart= expands $NAME as a variable; Environment= takes "$" as it is.
// Both replace %-specifiers.
enum class Expansion { Specifiers, SpecifiersAndVariables };

std::string Escaped(std::string_view text, Expansion expansion) {
    std::string out;
    for (const char c : text) {
        if (c == '%' || (c == '$' && expansion == Expansion::SpecifiersAndVariables)) {
            out += c;
        }
        out += c;
    }
    return out;
}

// One word of a unit file's value: quoted when it holds a blank, a quote, a
// backslash or a semicolon (a lone one separates commands).
std::string UnitWord(std::string_view text, Expansion expansion) {
    const std::string escaped = Escaped(text, expansion);
    if (!escaped.empty() && escaped.find_first_of(" \t\"'\\;") == std::string::npos) {
        return escaped;
    }
    std::string quoted = "\"";
    for (const char c : escaped) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
        }
        quoted += c;
    }
    return quoted + '"';
}

std::vector<std::string> UnitWords(std::string_view value, Expansion expansion) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    char quote = 0;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        const bool doubled = i + 1 < value.size() && value[i + 1] == c;
        if (quote == 0 && (c == ' ' || c == '\t')) {
            if (inWord) {
                words.push_back(std::move(word));
                word.clear();
                inWord = false;
            }
            continue;
        }
        inWord = true;
        if (c == quote) {
            quote = 0;
        } else if (quote == 0 && (c == '"' || c == '\'')) {
            quote = c;
        } else if (c == '\\' && i + 1 < value.size()) {
            word += value[++i];
        } else if ((c == '%' || (c == '$' && expansion == Expansion::SpecifiersAndVariables)) &&
                   doubled) {
            word += value[++i];
        } else {
            word += c;
        }
    }
    if (inWord) {
        words.push_back(std::move(word));
    }
    return words;
}

// The values of every line "key=value" of a unit file.
std::vector<std::string_view> ValuesOf(std::string_view unit, std::string_view key) {
    std::vector<std::string_view> values;
    for (std::string_view line : TextLines(unit)) {
        line = TrimBlanks(line);
        if (line.starts_with(key)) {
            values.push_back(line.substr(key.size()));
        }
    }
    return values;
}

std::string ConfigFolderAssignment(const std::string& folder) {
    return std::string(kConfigFolderVariable) + "=" + folder;
}

std::string ConfigFolderOf(std::string_view service) {
    const std::string prefix = ConfigFolderAssignment("");
    for (const std::string_view value : ValuesOf(service, kEnvironmentKey)) {
        for (const std::string& word : UnitWords(value, Expansion::Specifiers)) {
            if (word.starts_with(prefix)) {
                return word.substr(prefix.size());
            }
        }
    }
    return {};
}

std::optional<DailyTime> TimeOf(std::string_view timer) {
    for (const std::string_view value : ValuesOf(timer, kOnCalendarKey)) {
        // Only the form written here: "*-*-* HH:MM:00".
        if (value.size() == kEveryDay.size() + 8 && value.starts_with(kEveryDay) &&
            value.ends_with(":00")) {
            return ParseDailyTime(value.substr(kEveryDay.size(), 5));
        }
    }
    return std::nullopt;
}

} // namespace

std::string SystemdServiceText(const ScheduledRun& run) {
    std::string text = "# Written by mvrkrsexp-batch --schedule, which replaces and removes it.\n"
                       "[Unit]\n"
                       "Description=Marvane Kavolo daily price update\n"
                       "\n"
                       "[Service]\n"
                       "Type=oneshot\n";
    if (!run.configFolder.empty()) {
        text += std::string(kEnvironmentKey) +
                UnitWord(ConfigFolderAssignment(run.configFolder), Expansion::Specifiers) + "\n";
    }
    text += std::string(kExecStartKey) + UnitWord(run.program, Expansion::SpecifiersAndVariables);
    for (const std::string& argument : run.arguments) {
        text += " " + UnitWord(argument, Expansion::SpecifiersAndVariables);
    }
    return text + "\n";
}

std::string SystemdTimerText(DailyTime time) {
    return "# Written by mvrkrsexp-batch --schedule, which replaces and removes it.\n"
           "[Unit]\n"
           "Description=Marvane Kavolo daily price update\n"
           "\n"
           "[Timer]\n" +
           std::string(kOnCalendarKey) + std::string(kEveryDay) + DailyTimeText(time) +
           ":00\n"
           "Persistent=true\n"
           "\n"
           "[Install]\n"
           "WantedBy=timers.target\n";
}

std::optional<ScheduledRun> ParseSystemdUnits(std::string_view service, std::string_view timer) {
    const auto time = TimeOf(timer);
    const auto commands = ValuesOf(service, kExecStartKey);
    if (!time || commands.size() != 1) {
        return std::nullopt;
    }
    std::vector<std::string> words = UnitWords(commands.front(), Expansion::SpecifiersAndVariables);
    if (words.empty()) {
        return std::nullopt;
    }
    ScheduledRun run;
    run.time = *time;
    run.program = std::move(words.front());
    run.arguments.assign(std::make_move_iterator(words.begin() + 1),
                         std::make_move_iterator(words.end()));
    run.configFolder = ConfigFolderOf(service);
    return run;
}

} // namespace mvr
