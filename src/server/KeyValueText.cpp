#include "server/KeyValueText.h"

#include "core/platform/TextUtil.h"
#include "server/CsvText.h"

namespace mvr {

namespace {

bool Unescape(std::string_view raw, std::string* value, std::string* error) {
    value->clear();
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] != '\\') {
            *value += raw[i];
            continue;
        }
        const char next = i + 1 < raw.size() ? raw[i + 1] : '\0';
        if (next == 'n') {
            *value += '\n';
        } else if (next == '\\') {
            *value += '\\';
        } else {
            *error = "a backslash must be followed by n (line break) or another backslash";
            return false;
        }
        ++i;
    }
    return true;
}

} // namespace

bool ParseKeyValueText(std::string_view text, std::vector<KeyValueEntry>* entries, int* errorLine,
                       std::string* error) {
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.remove_prefix(3);
    }
    int line = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view row = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        ++line;
        *errorLine = line;
        if (row.size() > kMaxCsvLineBytes) {
            *error = "line is longer than " + std::to_string(kMaxCsvLineBytes) + " bytes";
            return false;
        }
        if (row.ends_with('\r')) {
            row.remove_suffix(1);
        }
        row = TrimBlanks(row);
        if (row.empty() || row.front() == '#') {
            continue;
        }
        const std::size_t equals = row.find('=');
        if (equals == std::string_view::npos) {
            *error = "expected key=value";
            return false;
        }
        KeyValueEntry entry;
        entry.key = TrimBlanks(row.substr(0, equals));
        entry.line = line;
        if (entry.key.empty()) {
            *error = "the key before '=' is missing";
            return false;
        }
        for (const KeyValueEntry& earlier : *entries) {
            if (earlier.key == entry.key) {
                *error = "key " + entry.key + " appears again (first on line " +
                         std::to_string(earlier.line) + ")";
                return false;
            }
        }
        if (!Unescape(TrimBlanks(row.substr(equals + 1)), &entry.value, error)) {
            return false;
        }
        entries->push_back(std::move(entry));
    }
    *errorLine = 0;
    return true;
}

void AppendKeyValue(std::string& out, std::string_view key, std::string_view value) {
    out.append(key);
    out += '=';
    for (char c : value) {
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\n') {
            out += "\\n";
        } else {
            out += c;
        }
    }
    out += '\n';
}

} // namespace mvr
