#include "DirCatRun.h"

#include "support/ChildProcess.h"
#include "support/TempDir.h"

#include <fstream>
#include <sstream>

namespace mvr::test {

DirCatOutcome RunDirCat(const std::vector<std::string>& args) {
    static TempDir scratch;
    ChildProcess dircat(MVR_DIRCAT_PATH, args, scratch.File("stderr"));
    DirCatOutcome outcome;
    outcome.out = dircat.ReadAll();
    outcome.exitCode = dircat.Wait();
    outcome.err = ReadText(scratch.File("stderr"));
    return outcome;
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::stringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

} // namespace mvr::test
