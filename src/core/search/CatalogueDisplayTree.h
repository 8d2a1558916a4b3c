#pragma once

// How the catalogue tree is shown, independent of any view: the children of
// the top (-1), in table order, each group with its own children below it and
// each catalogue as a leaf. A view builds its tree control from the result.

#include "core/net/CatalogueTables.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace mvr {

// Image indices of the tree's image list.
inline constexpr int kTreeImageGroup = 0;
inline constexpr int kTreeImageCatalogue = 2;

// A server can send a tree of any shape; the display stops at these bounds
// so that a damaged or hostile tree can neither recurse without end nor grow
// without limit.
inline constexpr int kMaxCatalogueTreeDepth = 64;
inline constexpr std::size_t kMaxCatalogueTreeItems = 100000;

struct CatalogueTreeItem {
    std::string text;            // the group's or catalogue's name; empty when unknown
    int image = kTreeImageGroup; // also the selected image
    std::size_t treeIndex = 0;   // index of the entry in the tree table
    std::vector<CatalogueTreeItem> children;

    bool operator==(const CatalogueTreeItem&) const = default;
};

// The items below the invisible root. Entries whose parent is neither -1 nor
// a shown group are not shown; a group that would appear inside itself is
// not shown again at that place.
std::vector<CatalogueTreeItem> BuildCatalogueDisplayTree(const std::vector<GRUPPENSTRUKTUR>& tree,
                                                         const CCatalogueTables& names);

// The same for the process-wide tables.
std::vector<CatalogueTreeItem> BuildCatalogueDisplayTree();

} // namespace mvr
