#include "core/search/CatalogueChoice.h"

#include "core/platform/Paths.h"

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

} // namespace mvr
