#pragma once

// The update job's work: one item per symbol to bring up to date, with the
// directory it belongs to, kept on a daily and an intraday list. The lists
// keep each directory's symbols together, so that the writing pass opens each
// directory's index once.

#include "core/formats/ExportSymbolInfo.h"

#include <cstdint>
#include <vector>

namespace mvr {

// The directory index of the data editor's symbol, which is never written to disk.
inline constexpr std::int32_t kEditorDirectoryIndex = -1;

struct UpdateDirSymbolInfo {
    std::int32_t directoryIndex = 0; // into the job's directory array, or kEditorDirectoryIndex
    ExportSymbolInfo symbol;         // a copy taken when the item was queued
};

struct UpdateWorkLists {
    std::vector<UpdateDirSymbolInfo> daily;
    std::vector<UpdateDirSymbolInfo> intraday; // directories of an intraday format
};

} // namespace mvr
