#pragma once

// What an update or a copy tells about a folder it could not write to, such
// as a full disk or a folder made read-only in the middle of a run.

#include <string>
#include <vector>

namespace mvr {

// A folder in which a data file or the index could not be written: each of
// its files holds its old or its new prices, and the index never describes
// bars a file does not hold.
struct FolderNotWritten {
    std::string folder;
    std::string reason; // the system's words: "No space left on device", ...

    bool operator==(const FolderNotWritten&) const = default;
};

// "Files in <folder> could not be written (<reason>). ..." for the user.
std::string FolderNotWrittenText(const FolderNotWritten& failure);

// Adds the folder with the calling thread's last write error, once per folder.
void NoteFolderNotWritten(std::vector<FolderNotWritten>& failures, const std::string& folder);

} // namespace mvr
