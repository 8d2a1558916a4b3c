#include "core/schedule/WindowsTaskText.h"

#include "core/platform/WindowsCommandLine.h"

namespace mvr {

namespace {

// The XML may arrive in UTF-16, as the Task Scheduler keeps it: with a byte
// order mark, or with the zero high byte after its first '<'.
bool IsUtf16(std::string_view xml) {
    if (xml.size() < 2) {
        return false;
    }
    const bool byteOrderMark =
        static_cast<unsigned char>(xml[0]) == 0xFF && static_cast<unsigned char>(xml[1]) == 0xFE;
    return byteOrderMark || xml[1] == '\0';
}

// Only the time, the program and its arguments are read from the XML; a
// character of UTF-16 beyond ASCII shows as '?'.
std::string NarrowText(std::string_view xml) {
    if (!IsUtf16(xml)) {
        return std::string(xml);
    }
    std::string narrow;
    for (std::size_t i = 0; i + 1 < xml.size(); i += 2) {
        const unsigned unit =
            static_cast<unsigned char>(xml[i]) | (static_cast<unsigned char>(xml[i + 1]) << 8);
        if (unit != 0xFEFF) {
            narrow += unit < 0x80 ? static_cast<char>(unit) : '?';
        }
    }
    return narrow;
}

std::string WithoutEntities(std::string_view text) {
    static constexpr std::pair<std::string_view, char> kEntities[] = {
        {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''},
    };
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        bool replaced = false;
        for (const auto& [entity, character] : kEntities) {
            if (text.substr(i).starts_with(entity)) {
                out += character;
                i += entity.size() - 1;
                replaced = true;
                break;
            }
        }
        if (!replaced) {
            out += text[i];
        }
    }
    return out;
}

// The text of the first element of that name; nothing when there is none.
std::optional<std::string> ElementText(std::string_view xml, std::string_view name) {
    const std::string open = "<" + std::string(name) + ">";
    const std::string close = "</" + std::string(name) + ">";
    const std::size_t start = xml.find(open);
    if (start == std::string_view::npos) {
        return std::nullopt;
    }
    const std::size_t end = xml.find(close, start);
    if (end == std::string_view::npos) {
        return std::nullopt;
    }
    return WithoutEntities(xml.substr(start + open.size(), end - start - open.size()));
}

std::string WithoutQuotes(std::string text) {
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
        return text.substr(1, text.size() - 2);
    }
    return text;
}

} // namespace

std::vector<std::string> SchtasksCreateArguments(const ScheduledRun& run) {
    std::vector<std::string> words{run.program};
    words.insert(words.end(), run.arguments.begin(), run.arguments.end());
    return {"/Create",
            "/SC",
            "DAILY",
            "/ST",
            DailyTimeText(run.time),
            "/TN",
            kWindowsTaskName,
            "/TR",
            JoinWindowsCommandLine(words),
            "/F"};
}

std::vector<std::string> SchtasksDeleteArguments() {
    return {"/Delete", "/TN", kWindowsTaskName, "/F"};
}

std::vector<std::string> SchtasksQueryArguments() {
    return {"/Query", "/TN", kWindowsTaskName, "/XML"};
}

std::optional<ScheduledRun> ParseTaskXml(std::string_view xml) {
    const std::string text = NarrowText(xml);
    const auto start = ElementText(text, "StartBoundary"); // "2025-12-10T07:30:00"
    const auto command = ElementText(text, "Command");
    if (!start || !command || text.find("<ScheduleByDay>") == std::string::npos) {
        return std::nullopt;
    }
    const std::size_t t = start->find('T');
    const auto time = t == std::string::npos
                          ? std::nullopt
                          : ParseDailyTime(std::string_view(*start).substr(t + 1, 5));
    if (!time) {
        return std::nullopt;
    }
    ScheduledRun run;
    run.time = *time;
    run.program = WithoutQuotes(*command);
    run.arguments = SplitWindowsCommandLine(ElementText(text, "Arguments").value_or(""));
    return run;
}

} // namespace mvr
