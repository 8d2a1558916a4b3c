#pragma once

// What an update did to each directory and symbol, for the run report: the
// summary's totals spelled out per symbol, so that a script can tell which
// histories grew and which were left as they were, and why.

#include <cstdint>
#include <string>
#include <vector>

namespace mvr {

struct SymbolOutcome {
    std::string symbol; // the full symbol text
    std::string name;
    std::int64_t barsAdded = 0;
    std::int64_t barsChanged = 0;
    double firstDate = 0.0; // OLE dates of the stored history after the run, as the index holds
    double lastDate = 0.0;  // them (0 while the history holds no bar)
    std::string error;      // why the file was not brought up to date; empty when it was
};

struct DirectoryOutcome {
    std::string path;
    std::int32_t formatType = 0;
    std::vector<SymbolOutcome> symbols; // the symbols the job asked for, in its order
    std::string error;                  // files or the index of the folder could not be written
};

} // namespace mvr
