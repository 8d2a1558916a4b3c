#pragma once

// The server's catalogue model as the client keeps it: the tree of groups and
// catalogues, the group names and the catalogues. Downloaded once per process
// and read by the tree views. The group map's section is the catalogue lock,
// which the download holds for its whole duration; lookups enter the section
// of the map they read.

#include "core/net/InstrumentRecord.h"
#include "core/net/SynchMap.h"
#include "core/net/WinSection.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace mvr {

// Parent of the nodes at the top of the tree.
inline constexpr std::int32_t kCatalogueTreeTop = -1;
inline constexpr std::uint8_t kTreeKindGroup = 0;
inline constexpr std::uint8_t kTreeKindCatalogue = 1;

// Buffer sizes of the names as they travel.
inline constexpr std::size_t kGroupNameSize = 51;
inline constexpr std::size_t kCatalogueShortNameSize = 30;
inline constexpr std::size_t kCatalogueNameSize = 51;

// One edge of the catalogue tree.
struct GRUPPENSTRUKTUR {
    std::int32_t parent = kCatalogueTreeTop;
    std::int32_t id = 0;    // group number (kind 0) or catalogue number (other kinds)
    std::uint8_t kind = 0;  // 0 group; any other value is shown as a catalogue
    std::int32_t extra = 0; // sent by the server, not used

    bool operator==(const GRUPPENSTRUKTUR&) const = default;
};

struct KATALOGGROUP {
    std::int32_t id = 0;
    std::string name;

    bool operator==(const KATALOGGROUP&) const = default;
};

class CCatalogueTables {
public:
    CWinSection& CatalogueLock() { return groups_.Section(); }

    // A download has completed: the tables hold the whole model.
    bool IsComplete() const { return complete_.load(); }

    bool LookupGroup(std::int32_t id, KATALOGGROUP& group) const {
        return groups_.Lookup(id, group);
    }
    // The catalogue whose number is `number` (sign-extended from 16 bits).
    bool LookupCatalogue(std::int32_t number, SYMBOL& catalogue) const {
        return catalogues_.Lookup(number, catalogue);
    }
    // A copy of the tree table, taken under the catalogue lock so that a
    // download running at the same time is never seen half written.
    std::vector<GRUPPENSTRUKTUR> TreeSnapshot();

    // --- the download, under the catalogue lock ------------------------------
    void ClearTree() { tree_.clear(); }
    void AppendTreeEntry(const GRUPPENSTRUKTUR& entry) { tree_.push_back(entry); }
    void ClearGroups() { groups_.RemoveAll(); }
    void SetGroup(const KATALOGGROUP& group) { groups_.SetAt(group.id, group); }
    void ClearCatalogues() { catalogues_.RemoveAll(); }
    // A fresh instrument record carrying the three values.
    void SetCatalogue(std::int16_t number, const std::string& shortName, const std::string& name);

    void SetComplete(bool complete) { complete_.store(complete); }

    // Empties all three tables.
    void Clear();

private:
    CSynchMap<std::int32_t, KATALOGGROUP> groups_;
    CSynchMap<std::int32_t, SYMBOL> catalogues_;
    std::vector<GRUPPENSTRUKTUR> tree_;
    std::atomic<bool> complete_{false};
};

} // namespace mvr
