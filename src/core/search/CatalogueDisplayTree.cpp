#include "core/search/CatalogueDisplayTree.h"

#include "core/net/ProcessState.h"

#include <unordered_map>

namespace mvr {

namespace {

class CTreeBuilder {
public:
    CTreeBuilder(const std::vector<GRUPPENSTRUKTUR>& tree, const CCatalogueTables& names)
        : tree_(tree), names_(names) {
        for (std::size_t i = 0; i < tree.size(); ++i) {
            children_[tree[i].parent].push_back(i);
        }
    }

    std::vector<CatalogueTreeItem> ChildrenOf(std::int32_t key, int depth) {
        std::vector<CatalogueTreeItem> items;
        const auto found = children_.find(key);
        if (found == children_.end() || depth >= kMaxCatalogueTreeDepth) {
            return items;
        }
        for (const std::size_t index : found->second) {
            if (itemCount_ >= kMaxCatalogueTreeItems) {
                break;
            }
            const GRUPPENSTRUKTUR& entry = tree_[index];
            if (entry.kind != kTreeKindGroup) {
                items.push_back(CatalogueItem(entry, index));
                continue;
            }
            if (IsOnPath(entry.id)) {
                continue;
            }
            items.push_back(GroupItem(entry, index, depth));
        }
        return items;
    }

private:
    CatalogueTreeItem CatalogueItem(const GRUPPENSTRUKTUR& entry, std::size_t index) {
        ++itemCount_;
        CatalogueTreeItem item;
        SYMBOL catalogue;
        if (names_.LookupCatalogue(entry.id, catalogue)) {
            item.text = catalogue.name;
        }
        item.image = kTreeImageCatalogue;
        item.treeIndex = index;
        return item;
    }

    CatalogueTreeItem GroupItem(const GRUPPENSTRUKTUR& entry, std::size_t index, int depth) {
        ++itemCount_;
        CatalogueTreeItem item;
        KATALOGGROUP group;
        if (names_.LookupGroup(entry.id, group)) {
            item.text = group.name;
        }
        item.image = kTreeImageGroup;
        item.treeIndex = index;
        path_.push_back(entry.id);
        item.children = ChildrenOf(entry.id, depth + 1);
        path_.pop_back();
        return item;
    }

    bool IsOnPath(std::int32_t id) const {
        for (const std::int32_t ancestor : path_) {
            if (ancestor == id) {
                return true;
            }
        }
        return false;
    }

    const std::vector<GRUPPENSTRUKTUR>& tree_;
    const CCatalogueTables& names_;
    std::unordered_map<std::int32_t, std::vector<std::size_t>> children_;
    // The top and the group ids down to the current item.
    std::vector<std::int32_t> path_{kCatalogueTreeTop};
    std::size_t itemCount_ = 0;
};

} // namespace

std::vector<CatalogueTreeItem> BuildCatalogueDisplayTree(const std::vector<GRUPPENSTRUKTUR>& tree,
                                                         const CCatalogueTables& names) {
    return CTreeBuilder(tree, names).ChildrenOf(kCatalogueTreeTop, 0);
}

std::vector<CatalogueTreeItem> BuildCatalogueDisplayTree() {
    CCatalogueTables& tables = ProcessCatalogueTables();
    return BuildCatalogueDisplayTree(tables.TreeSnapshot(), tables);
}

} // namespace mvr
