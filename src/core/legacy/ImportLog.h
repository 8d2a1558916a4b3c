#pragma once

// The report of one import run, appended to "import.txt" in the configuration
// folder when the run ends. Every line ends in CR LF on every platform: the
// file is also opened on Windows.

#include <cstdint>
#include <string>
#include <string_view>

namespace mvr {

inline constexpr const char* kImportLogFileName = "import.txt";

class CImportLog {
public:
    // One line, given without its line end.
    void Line(std::string_view text);

    // The lines of the run so far, as they go to the file.
    const std::string& Text() const { return text_; }

    // Appends the run's lines to the file (created when missing) through the
    // atomic writer; false when it could not be written.
    [[nodiscard]] bool AppendTo(const std::string& path) const;

private:
    std::string text_;
};

} // namespace mvr
