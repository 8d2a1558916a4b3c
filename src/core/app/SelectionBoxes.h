#pragma once

// The two drop-down boxes above the directory list: the lists box ("no active
// List" and one entry per list) and the format filter box ("all formats" and
// the offered formats). Entry e of the lists box is the active list entry e
// of the user settings: 0 = no active list, e = the list at index e - 1.

#include "core/config/DirListInfo.h"
#include "core/lists/BoxEntry.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mvr {

// The first entry of either box has the value -1.
std::vector<BoxEntry> ListsBoxEntries(const std::vector<CMVRDirListInfo>& lists);

// The list that the active list entry stands for, or null for entry 0 and
// for entries that name no list.
const CMVRDirListInfo* ListOfEntry(const std::vector<CMVRDirListInfo>& lists,
                                   std::int32_t activeListEntry);

// The lists-box entry to select after a list named `name` was added: the
// first list whose name begins with it (letter case ignored). "no active
// List" is not searched, so that a new list named "No" is still selected.
std::optional<std::int32_t> ListsBoxEntryStartingWith(const std::vector<CMVRDirListInfo>& lists,
                                                      std::string_view name);

std::vector<BoxEntry> FormatBoxEntries();
// The entry showing the format filter; "all formats" (0) for -1 and for types
// not in the box (a damaged settings file): box and filter then agree again when
// the filter becomes FormatFilterOfEntry(0).
std::size_t FormatBoxEntryOf(std::int32_t formatFilter);
// The format filter that choosing the entry sets; -1 for entry 0 and entries outside the box.
std::int32_t FormatFilterOfEntry(std::size_t entry);

} // namespace mvr
