#include "core/app/SelectionBoxes.h"

#include "core/formats/FormatCatalogue.h"
#include "core/platform/TextUtil.h"

namespace mvr {

namespace {

constexpr const char* kNoActiveList = "no active List";
constexpr const char* kAllFormats = "all formats";

} // namespace

std::vector<BoxEntry> ListsBoxEntries(const std::vector<CMVRDirListInfo>& lists) {
    std::vector<BoxEntry> entries{{kNoActiveList, -1}};
    for (std::size_t i = 0; i < lists.size(); ++i) {
        entries.push_back({lists[i].name, static_cast<std::int32_t>(i)});
    }
    return entries;
}

const CMVRDirListInfo* ListOfEntry(const std::vector<CMVRDirListInfo>& lists,
                                   std::int32_t activeListEntry) {
    if (activeListEntry < 1 || static_cast<std::size_t>(activeListEntry) > lists.size()) {
        return nullptr;
    }
    return &lists[static_cast<std::size_t>(activeListEntry) - 1];
}

std::optional<std::int32_t> ListsBoxEntryStartingWith(const std::vector<CMVRDirListInfo>& lists,
                                                      std::string_view name) {
    for (std::size_t i = 0; i < lists.size(); ++i) {
        if (StartsWithIgnoreCase(lists[i].name, name)) {
            return static_cast<std::int32_t>(i + 1);
        }
    }
    return std::nullopt;
}

std::vector<BoxEntry> FormatBoxEntries() {
    std::vector<BoxEntry> entries{{kAllFormats, -1}};
    for (const int type : OfferedFormatTypes()) {
        entries.push_back({FormatDisplayName(type), type});
    }
    return entries;
}

std::size_t FormatBoxEntryOf(std::int32_t formatFilter) {
    const std::vector<BoxEntry> entries = FormatBoxEntries();
    for (std::size_t entry = 1; entry < entries.size(); ++entry) {
        if (entries[entry].value == formatFilter) {
            return entry;
        }
    }
    return 0;
}

std::int32_t FormatFilterOfEntry(std::size_t entry) {
    const std::vector<BoxEntry> entries = FormatBoxEntries();
    return entry < entries.size() ? entries[entry].value : -1;
}

} // namespace mvr
