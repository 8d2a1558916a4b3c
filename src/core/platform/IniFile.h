#pragma once

// Reader for private-profile (".ini") files: "[section]" headers and
// "key=value" lines. Sections and keys are matched without regard to letter
// case; the first occurrence wins; lines starting with ';' are comments.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace mvr {

class CIniFile {
public:
    // An unreadable or missing file gives an empty profile (every lookup yields its default).
    static CIniFile Load(const std::string& path);
    static CIniFile Parse(std::string_view text);

    // The value, trimmed of blanks and of one pair of enclosing quotes, cut to
    // bufferSize - 1 characters as a caller buffer of that size would hold it.
    std::string GetString(std::string_view section, std::string_view key,
                          std::string_view defaultValue, std::size_t bufferSize) const;

    // The decimal number at the start of the value; a value that does not start
    // with a digit gives 0, a missing key gives the default.
    int GetInt(std::string_view section, std::string_view key, int defaultValue) const;

private:
    struct Entry {
        std::string section;
        std::string key;
        std::string value;
    };

    const Entry* Find(std::string_view section, std::string_view key) const;

    std::vector<Entry> entries_;
};

} // namespace mvr
