#include "support/ChildProcess.h"

#include "core/platform/FileSystem.h"

namespace mvr::test {

std::string ChildProcess::ReadLine() {
    char line[256] = {};
    return fgets(line, sizeof line, stdout_) != nullptr ? std::string(line) : std::string();
}

std::string ChildProcess::ReadAll() {
    std::string text;
    char chunk[4096];
    std::size_t got = 0;
    while ((got = fread(chunk, 1, sizeof chunk, stdout_)) > 0) {
        text.append(chunk, got);
    }
    return text;
}

std::string FileText(const std::string& path) {
    const auto bytes = ReadWholeFile(path);
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
}

} // namespace mvr::test
