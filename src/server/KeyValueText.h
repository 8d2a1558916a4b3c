#pragma once

// Files of "key=value" lines. Blanks around keys and values are dropped,
// blank lines and lines starting with '#' are skipped. In a value "\n" stands
// for a line break and "\\" for a backslash, so that a multi-line message
// fits on one line.

#include <string>
#include <string_view>
#include <vector>

namespace mvr {

struct KeyValueEntry {
    std::string key;
    std::string value; // escapes resolved
    int line = 0;
};

// False with the line and the reason on the first malformed line.
bool ParseKeyValueText(std::string_view text, std::vector<KeyValueEntry>* entries, int* errorLine,
                       std::string* error);

// Appends "key=value" with the value escaped, and the line end.
void AppendKeyValue(std::string& out, std::string_view key, std::string_view value);

} // namespace mvr
