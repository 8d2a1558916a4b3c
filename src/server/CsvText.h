#pragma once

// Comma-separated text as the data folder uses it: one record per line, a
// header line naming the columns, fields in double quotes when they hold a
// comma, a quote (doubled) or blanks at either end. Blanks around unquoted
// fields are dropped, so "1, Xetra" reads as "1" and "Xetra". Blank lines are
// skipped; a quoted field must end on its line, so that line numbers in
// messages are the lines an editor shows.

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace mvr {

inline constexpr std::size_t kMaxCsvLineBytes = 64 * 1024;

class CCsvReader {
public:
    // `text` must outlive the reader. A leading UTF-8 byte-order mark is skipped.
    explicit CCsvReader(std::string_view text);

    // The next record into `fields`; false at the end of the text or on an
    // error (Error() is then not empty).
    bool Next(std::vector<std::string>& fields);

    // The line of the record last read (1 for the first line of the text).
    int Line() const { return line_; }
    const std::string& Error() const { return error_; }

    // Reads the header line and compares it with the expected column names.
    bool ExpectHeader(std::span<const std::string_view> columns);

private:
    bool SplitLine(std::string_view line, std::vector<std::string>& fields);

    std::string_view rest_;
    int line_ = 0;
    std::string error_;
};

// Appends one record and its line end, quoting the fields that need it.
void AppendCsvRow(std::string& out, std::span<const std::string_view> fields);

// "a,b,c" of column names, for messages.
std::string JoinColumns(std::span<const std::string_view> columns);

} // namespace mvr
