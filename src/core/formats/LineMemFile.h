#pragma once

// A loaded text file handed out one line at a time as views into it, without
// their line ends: lines end at a line feed, and a carriage return directly
// before it belongs to the line end.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace mvr {

class CLineMemFile {
public:
    // A line holds at most 259 characters including its line end (counted as
    // one character).
    static constexpr std::size_t kMaxLineChars = 259;

    explicit CLineMemFile(std::span<const std::uint8_t> data) : data_(data) {}

    // The next line, valid as long as the data; false at the end of the data.
    // A last line without a line feed is returned too, so that a file whose
    // writer left off the final line end loses no bar. A longer line is
    // returned cut to the limit and flagged; the position moves past its
    // whole length, so it never turns into several lines.
    bool ReadLine(std::string_view& line);

    bool LastLineWasCut() const { return lastLineCut_; }

    // Byte offset of the next line.
    std::size_t Position() const { return position_; }
    void Seek(std::size_t position) {
        position_ = position < data_.size() ? position : data_.size();
    }

private:
    std::span<const std::uint8_t> data_;
    std::size_t position_ = 0;
    bool lastLineCut_ = false;
};

} // namespace mvr
