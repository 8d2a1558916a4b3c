#pragma once

// Letter-case helpers for the single-byte texts of the system. Paths, list
// names and switches are compared without regard to the case of A-Z.

#include <string>
#include <string_view>
#include <vector>

namespace mvr {

char ToLowerAscii(char c);
char ToUpperAscii(char c);
std::string ToLowerAscii(std::string_view text);
std::string ToUpperAscii(std::string_view text);

bool EqualsIgnoreCase(std::string_view a, std::string_view b);
bool StartsWithIgnoreCase(std::string_view text, std::string_view prefix);

// Byte-wise comparison of the upper-cased texts: negative, zero or positive.
int CompareIgnoreCase(std::string_view a, std::string_view b);

// Removes blanks (spaces and tabs) at both ends.
std::string_view TrimBlanks(std::string_view text);

// The lines of a text, without their line feeds; a last line without one
// counts, an empty text has none.
std::vector<std::string_view> TextLines(std::string_view text);

// The text cut to at most `maxChars` characters.
std::string Truncated(std::string_view text, std::size_t maxChars);

} // namespace mvr
