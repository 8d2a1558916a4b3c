#include "core/schedule/CrontabText.h"

#include "core/platform/ConfigFolder.h"
#include "core/platform/TextUtil.h"

#include <algorithm>
#include <vector>

namespace mvr {

namespace {

bool IsPlainShellCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           std::string_view("_@+=:,./-").find(c) != std::string_view::npos;
}

// In single quotes the shell takes every character as it is, except the
// single quote itself, which ends the quotes, is escaped, and reopens them.
std::string ShellWord(std::string_view text) {
    bool plain = !text.empty();
    for (const char c : text) {
        plain = plain && IsPlainShellCharacter(c);
    }
    if (plain) {
        return std::string(text);
    }
    std::string quoted = "'";
    for (const char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

std::vector<std::string> ShellWords(std::string_view command) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    for (std::size_t i = 0; i < command.size(); ++i) {
        const char c = command[i];
        if (c == ' ' || c == '\t') {
            if (inWord) {
                words.push_back(std::move(word));
                word.clear();
                inWord = false;
            }
            continue;
        }
        inWord = true;
        if (c == '\'') {
            const std::size_t end = command.find('\'', i + 1);
            word.append(command.substr(i + 1, end - i - 1));
            i = end == std::string_view::npos ? command.size() : end;
        } else if (c == '\\' && i + 1 < command.size()) {
            word += command[++i];
        } else {
            word += c;
        }
    }
    if (inWord) {
        words.push_back(std::move(word));
    }
    return words;
}

// cron turns an unescaped "%" into a line break and hands "\%" on as "%".
std::string CronEscaped(std::string_view command) {
    std::string out;
    for (const char c : command) {
        if (c == '%') {
            out += '\\';
        }
        out += c;
    }
    return out;
}

std::string CronUnescaped(std::string_view command) {
    std::string out;
    for (std::size_t i = 0; i < command.size(); ++i) {
        if (command[i] == '\\' && i + 1 < command.size() && command[i + 1] == '%') {
            ++i;
        }
        out += command[i];
    }
    return out;
}

std::string ConfigFolderPrefix() {
    return std::string(kConfigFolderVariable) + "=";
}

std::string Joined(const std::vector<std::string_view>& lines) {
    std::string text;
    for (const std::string_view line : lines) {
        text.append(line);
        text += '\n';
    }
    return text;
}

// The crontab's lines without the marked pairs, where the first pair stood,
// and its entry.
struct MarkedEntry {
    std::vector<std::string_view> otherLines;
    std::size_t position = 0;
    std::optional<std::string_view> entry;
};

MarkedEntry TakeMarkedEntries(std::string_view crontab) {
    MarkedEntry found;
    const std::vector<std::string_view> lines = TextLines(crontab);
    found.position = lines.size();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i] != kCrontabMarker) {
            found.otherLines.push_back(lines[i]);
            continue;
        }
        if (!found.entry) {
            found.position = found.otherLines.size();
            found.entry = i + 1 < lines.size() ? lines[i + 1] : std::string_view();
        }
        ++i; // the entry goes with its marker
    }
    return found;
}

// Whether `text` is a whole number from 0 to `max`.
std::optional<int> FieldNumber(std::string_view text, int max) {
    if (text.empty() || text.size() > 2) {
        return std::nullopt;
    }
    int value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    return value <= max ? std::optional(value) : std::nullopt;
}

std::optional<ScheduledRun> ParseEntry(std::string_view entry) {
    // Minute, hour, day of month, month, day of week, then the command.
    std::vector<std::string_view> fields;
    while (fields.size() < 5) {
        const std::size_t start = entry.find_first_not_of(" \t");
        const std::size_t end = entry.find_first_of(" \t", start);
        if (start == std::string_view::npos || end == std::string_view::npos) {
            return std::nullopt;
        }
        fields.push_back(entry.substr(start, end - start));
        entry.remove_prefix(end);
    }
    const auto minute = FieldNumber(fields[0], 59);
    const auto hour = FieldNumber(fields[1], 23);
    if (!minute || !hour || fields[2] != "*" || fields[3] != "*" || fields[4] != "*") {
        return std::nullopt;
    }
    std::vector<std::string> words = ShellWords(CronUnescaped(entry));
    ScheduledRun run;
    run.time = {*hour, *minute};
    auto word = words.begin();
    if (word != words.end() && word->starts_with(ConfigFolderPrefix())) {
        run.configFolder = word->substr(ConfigFolderPrefix().size());
        ++word;
    }
    if (word == words.end()) {
        return std::nullopt;
    }
    run.program = *word;
    run.arguments.assign(word + 1, words.end());
    return run;
}

} // namespace

bool CrontabCanHold(const ScheduledRun& run) {
    const auto backslashBeforePercent = [](std::string_view text) {
        return text.find("\\%") != std::string_view::npos;
    };
    return !backslashBeforePercent(run.program) && !backslashBeforePercent(run.configFolder) &&
           std::none_of(run.arguments.begin(), run.arguments.end(), backslashBeforePercent);
}

std::string CrontabEntry(const ScheduledRun& run) {
    std::string command;
    if (!run.configFolder.empty()) {
        command = ConfigFolderPrefix() + ShellWord(run.configFolder) + " ";
    }
    command += ShellWord(run.program);
    for (const std::string& argument : run.arguments) {
        command += " " + ShellWord(argument);
    }
    return std::to_string(run.time.minute) + " " + std::to_string(run.time.hour) + " * * * " +
           CronEscaped(command);
}

std::string CrontabWithRun(std::string_view crontab, const ScheduledRun& run) {
    MarkedEntry found = TakeMarkedEntries(crontab);
    const std::string entry = CrontabEntry(run);
    const auto at = found.otherLines.begin() + static_cast<std::ptrdiff_t>(found.position);
    found.otherLines.insert(at, {kCrontabMarker, entry});
    return Joined(found.otherLines);
}

std::string CrontabWithoutRun(std::string_view crontab) {
    return Joined(TakeMarkedEntries(crontab).otherLines);
}

std::optional<ScheduledRun> FindRunInCrontab(std::string_view crontab) {
    const MarkedEntry found = TakeMarkedEntries(crontab);
    return found.entry ? ParseEntry(*found.entry) : std::nullopt;
}

} // namespace mvr
