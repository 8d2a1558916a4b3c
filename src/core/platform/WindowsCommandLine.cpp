#include "core/platform/WindowsCommandLine.h"

namespace mvr {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

} // namespace

std::string QuoteWindowsArgument(std::string_view argument) {
    if (!argument.empty() && argument.find_first_of(" \t\"") == std::string_view::npos) {
        return std::string(argument);
    }
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (const char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        // Backslashes are literal unless a quote follows them.
        quoted.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    // The closing quote follows them, so they are doubled.
    quoted.append(2 * backslashes, '\\');
    return quoted + '"';
}

std::string JoinWindowsCommandLine(const std::vector<std::string>& words) {
    std::string line;
    for (const std::string& word : words) {
        if (!line.empty()) {
            line += ' ';
        }
        line += QuoteWindowsArgument(word);
    }
    return line;
}

std::vector<std::string> SplitWindowsCommandLine(std::string_view line) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (true) {
        while (i < line.size() && IsBlank(line[i])) {
            ++i;
        }
        if (i == line.size()) {
            return words;
        }
        std::string word;
        bool quoted = false;
        for (; i < line.size() && (quoted || !IsBlank(line[i])); ++i) {
            std::size_t backslashes = 0;
            while (i < line.size() && line[i] == '\\') {
                ++backslashes;
                ++i;
            }
            if (i < line.size() && line[i] == '"') {
                word.append(backslashes / 2, '\\');
                if (backslashes % 2 == 1) {
                    word += '"';
                } else if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
                    word += '"'; // "" inside quotes is a quote of its own
                    ++i;
                } else {
                    quoted = !quoted;
                }
                continue;
            }
            word.append(backslashes, '\\');
            if (i == line.size() || (!quoted && IsBlank(line[i]))) {
                break;
            }
            word += line[i];
        }
        words.push_back(std::move(word));
    }
}

} // namespace mvr
