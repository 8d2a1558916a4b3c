#pragma once

// What the catalogue picker returns for the item the user chose: only a
// catalogue (tree kind 1) can be chosen, and it comes with its path text
// "Group/.../Catalogue" as the linked-catalogue field shows it.

#include "core/net/CatalogueTables.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace mvr {

inline constexpr const char* kCatalogueTreeTitle = "securities catalogues";
inline constexpr const char* kNoCatalogueButtonText = "None";

struct CatalogueChoice {
    std::int32_t number = 0; // 0: no catalogue (the directory is unlinked)
    std::string pathText;    // at most 259 characters

    bool operator==(const CatalogueChoice&) const = default;
};

// `chain` holds the tree-table indices of the chosen item and its ancestors,
// from the top level down to the item (CatalogueTreeItem::treeIndex). Nothing
// for an empty chain, an index outside the table or an item that is no
// catalogue: the picker then stays open.
std::optional<CatalogueChoice> ChooseCatalogue(const std::vector<GRUPPENSTRUKTUR>& tree,
                                               std::span<const std::size_t> chain,
                                               const CCatalogueTables& names);

// Catalogue `number` as the picker would give it, for a front end that
// names the catalogue by its number: the first catalogue entry of that
// number in the tree, with the groups above it. Nothing when the tree shows
// no such catalogue.
std::optional<CatalogueChoice> FindCatalogueChoice(const std::vector<GRUPPENSTRUKTUR>& tree,
                                                   std::int32_t number,
                                                   const CCatalogueTables& names);

} // namespace mvr
