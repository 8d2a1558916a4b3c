#include "core/search/CatalogueChoice.h"

#include "core/platform/Paths.h"
#include "core/search/CatalogueDisplayTree.h"

#include <algorithm>

namespace mvr {

std::optional<CatalogueChoice> ChooseCatalogue(const std::vector<GRUPPENSTRUKTUR>& tree,
                                               std::span<const std::size_t> chain,
                                               const CCatalogueTables& names) {
    for (const std::size_t index : chain) {
        if (index >= tree.size()) {
            return std::nullopt;
        }
    }
    if (chain.empty() || tree[chain.back()].kind != kTreeKindCatalogue) {
        return std::nullopt;
    }
    CatalogueChoice choice;
    choice.number = tree[chain.back()].id;
    SYMBOL catalogue;
    if (names.LookupCatalogue(choice.number, catalogue)) {
        choice.pathText = catalogue.name;
    }
    // From the parent up to the top: each group puts its name in front.
    for (std::size_t i = chain.size() - 1; i-- > 0;) {
        KATALOGGROUP group;
        names.LookupGroup(tree[chain[i]].id, group);
        choice.pathText = group.name + "/" + choice.pathText;
    }
    if (choice.pathText.size() > kMaxPathChars) {
        choice.pathText.resize(kMaxPathChars);
    }
    return choice;
}

std::optional<CatalogueChoice> FindCatalogueChoice(const std::vector<GRUPPENSTRUKTUR>& tree,
                                                   std::int32_t number,
                                                   const CCatalogueTables& names) {
    const auto isCatalogue = [number](const GRUPPENSTRUKTUR& entry) {
        return entry.kind == kTreeKindCatalogue && entry.id == number;
    };
    const auto found = std::find_if(tree.begin(), tree.end(), isCatalogue);
    if (found == tree.end()) {
        return std::nullopt;
    }
    std::vector<std::size_t> chain{static_cast<std::size_t>(found - tree.begin())};
    // Up through the groups; a tree that loops is cut where the display cuts it.
    for (std::int32_t parent = found->parent; parent != kCatalogueTreeTop;) {
        const auto group = std::find_if(tree.begin(), tree.end(), [parent](const auto& entry) {
            return entry.kind == kTreeKindGroup && entry.id == parent;
        });
        if (group == tree.end() || chain.size() > kMaxCatalogueTreeDepth) {
            return std::nullopt;
        }
        chain.insert(chain.begin(), static_cast<std::size_t>(group - tree.begin()));
        parent = group->parent;
    }
    return ChooseCatalogue(tree, chain, names);
}

} // namespace mvr
