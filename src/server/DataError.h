#pragma once

// Where a data folder is wrong: the file (relative to the folder), the line
// (0 when the whole file is meant) and what is wrong, in words for the user.

#include <string>

namespace mvr {

struct DataError {
    std::string file;
    int line = 0;
    std::string message;

    // "file:line: message", or "file: message" without a line.
    std::string Text() const;
};

} // namespace mvr
