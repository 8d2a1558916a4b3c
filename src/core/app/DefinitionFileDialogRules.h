#pragma once

// The texts of the definition-file dialog and what it shows after an
// exchange. The exchange itself is the session's RunDefinitionFile.

#include "core/definition/DefinitionFileRequest.h"

#include <chrono>
#include <string>

namespace mvr {

inline constexpr const char* kDefinitionFileDialogTitle = "Download with Definition File";
inline constexpr const char* kDefinitionFileMenuText = "Definition File Download";
inline constexpr const char* kInputFileLabel = "Input-File:";
inline constexpr const char* kOutputFileLabel = "Output-File:";
inline constexpr const char* kDefinitionFormatText = "Format: Currently only ASC";
inline constexpr const char* kDefinitionDownloadButton = "Download";
inline constexpr const char* kDefinitionCloseButton = "Close";
inline constexpr const char* kDefinitionFileExtension = "txt";
inline constexpr const char* kDownloadInProgressText = "Download in progress ...";
inline constexpr const char* kDownloadFinishedText = "Download finished";
inline constexpr const char* kProcessingErrorMessage = "Error Processing Request...";
// How long "Download finished" stays before the status line is cleared.
inline constexpr std::chrono::milliseconds kFinishedStatusDuration{5000};

struct DefinitionFileRunDisplay {
    std::string status;  // the dialog's status line
    std::string message; // a message box to show; empty for none
    bool operator==(const DefinitionFileRunDisplay&) const = default;
};

// What the dialog shows after RunDefinitionFile gave `result` and `outcome`.
// "Download finished" only when the output file holds the server's whole
// answer: an exchange that failed on the way is an error too, and a stopped
// one shows nothing.
DefinitionFileRunDisplay DefinitionFileRunResult(int result, DefinitionFileOutcome outcome);

} // namespace mvr
