#include "core/update/FolderNotWritten.h"

#include "core/platform/AtomicFile.h"

#include <algorithm>

namespace mvr {

std::string FolderNotWrittenText(const FolderNotWritten& failure) {
    return "Files in " + failure.folder + " could not be written (" + failure.reason +
           "). Each of them holds its old or its new content.";
}

void NoteFolderNotWritten(std::vector<FolderNotWritten>& failures, const std::string& folder) {
    const bool known = std::any_of(failures.begin(), failures.end(),
                                   [&](const FolderNotWritten& f) { return f.folder == folder; });
    if (known) {
        return;
    }
    const std::error_code error = LastAtomicWriteError();
    failures.push_back({folder, error ? error.message() : std::string("write error")});
}

} // namespace mvr
