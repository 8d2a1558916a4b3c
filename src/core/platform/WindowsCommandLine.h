#pragma once

// Windows hands a program one command line, which its C runtime splits into
// arguments again. These functions write and read such lines by the rules of
// the Microsoft C runtime (and CommandLineToArgvW): the process runner builds
// the child's line with them, and a scheduled task keeps its arguments as one
// such line. They are plain text functions, so every platform compiles and
// tests them.

#include <string>
#include <string_view>
#include <vector>

namespace mvr {

// One argument as the runtime splits it back: in double quotes when it is
// empty or holds a blank or a quote; backslashes doubled only before a quote.
std::string QuoteWindowsArgument(std::string_view argument);

// The words quoted and joined by single blanks.
std::string JoinWindowsCommandLine(const std::vector<std::string>& words);

// The arguments of a command line (not of its program name, whose rules differ).
std::vector<std::string> SplitWindowsCommandLine(std::string_view line);

} // namespace mvr
