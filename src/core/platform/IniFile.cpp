#include "core/platform/IniFile.h"

#include "core/platform/FileSystem.h"
#include "core/platform/TextUtil.h"

#include <limits>

namespace mvr {

namespace {

// ".ini" files are small; anything larger is not a profile of ours.
constexpr std::uint64_t kMaxIniBytes = 1 << 20;

std::string_view TrimLine(std::string_view line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) {
        line.remove_suffix(1);
    }
    return TrimBlanks(line);
}

std::string_view StripQuotes(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

} // namespace

CIniFile CIniFile::Load(const std::string& path) {
    const auto bytes = ReadWholeFile(path, kMaxIniBytes);
    if (!bytes) {
        return CIniFile{};
    }
    return Parse(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
}

CIniFile CIniFile::Parse(std::string_view text) {
    CIniFile ini;
    std::string section;
    bool inSection = false;
    for (const std::string_view rawLine : TextLines(text)) {
        const std::string_view line = TrimLine(rawLine);
        if (line.empty() || line.front() == ';') {
            continue;
        }
        if (line.front() == '[') {
            const std::size_t close = line.find(']');
            section = std::string(TrimBlanks(line.substr(
                1, close == std::string_view::npos ? std::string_view::npos : close - 1)));
            inSection = true;
            continue;
        }
        const std::size_t equals = line.find('=');
        if (!inSection || equals == std::string_view::npos) {
            continue;
        }
        ini.entries_.push_back({section, std::string(TrimBlanks(line.substr(0, equals))),
                                std::string(TrimBlanks(line.substr(equals + 1)))});
    }
    return ini;
}

const CIniFile::Entry* CIniFile::Find(std::string_view section, std::string_view key) const {
    for (const Entry& entry : entries_) {
        if (EqualsIgnoreCase(entry.section, section) && EqualsIgnoreCase(entry.key, key)) {
            return &entry;
        }
    }
    return nullptr;
}

std::string CIniFile::GetString(std::string_view section, std::string_view key,
                                std::string_view defaultValue, std::size_t bufferSize) const {
    const Entry* entry = Find(section, key);
    const std::string_view value = entry ? StripQuotes(entry->value) : defaultValue;
    return Truncated(value, bufferSize == 0 ? 0 : bufferSize - 1);
}

int CIniFile::GetInt(std::string_view section, std::string_view key, int defaultValue) const {
    const Entry* entry = Find(section, key);
    if (entry == nullptr) {
        return defaultValue;
    }
    long long value = 0;
    for (char c : entry->value) {
        if (c < '0' || c > '9') {
            break;
        }
        value = value * 10 + (c - '0');
        if (value > std::numeric_limits<int>::max()) {
            return std::numeric_limits<int>::max();
        }
    }
    return static_cast<int>(value);
}

} // namespace mvr
