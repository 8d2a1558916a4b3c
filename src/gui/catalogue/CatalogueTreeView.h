#pragma once

// The server's catalogue tree as a tree control: groups and catalogues with
// their 16 x 16 images, each item carrying the index of its entry in the tree
// table. The catalogue picker and the symbol search each show one.

#include "core/search/CatalogueDisplayTree.h"

#include <cstddef>
#include <QIcon>
#include <QTreeView>
#include <vector>

class QStandardItemModel;

namespace mvr::gui {

// The images of the tree, by the display tree's image index: 0 a closed
// folder (group), 1 an open folder, 2 a catalogue sheet. Null for others.
QIcon CatalogueTreeImage(int image);

// The item data role that holds CatalogueTreeItem::treeIndex.
inline constexpr int kCatalogueTreeIndexRole = Qt::UserRole + 1;

// Replaces the model's rows with `items` (text, image, tree index), children
// below their group.
void FillCatalogueTreeModel(QStandardItemModel& model, const std::vector<CatalogueTreeItem>& items);

// The tree indices of `index` and its ancestors, from the top level down to
// the item itself, as ChooseCatalogue takes them; empty for an invalid index.
std::vector<std::size_t> CatalogueTreeChain(const QModelIndex& index);

class CCatalogueTreeView : public QTreeView {
    Q_OBJECT

public:
    explicit CCatalogueTreeView(QWidget* parent = nullptr);

    // Shows `items` in place of whatever the tree showed, all groups closed
    // and nothing selected.
    void ShowTree(const std::vector<CatalogueTreeItem>& items);

    // The chain of the selected item; empty when nothing is selected.
    std::vector<std::size_t> SelectedChain() const;

    QStandardItemModel* CatalogueModel() const { return model_; }

private:
    QStandardItemModel* model_;
};

} // namespace mvr::gui
