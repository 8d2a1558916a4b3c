#include "gui/models/ListTableModel.h"

namespace mvr::gui {

int CListTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(CoreRowCount());
}

int CListTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount();
}

QVariant CListTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || role != Qt::DisplayRole) {
        return {};
    }
    return CellText(static_cast<std::size_t>(index.row()), index.column());
}

QVariant CListTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    return ColumnTitle(section);
}

void CListTableModel::SyncSelectionTo(QItemSelectionModel* selection) {
    selection_ = selection;
    connect(selection, &QItemSelectionModel::selectionChanged, this,
            [this] { CopyViewSelectionToCore(); });
    CopyCoreSelectionToView();
}

void CListTableModel::RowsAboutToBeInserted(std::size_t first, std::size_t last) {
    beginInsertRows({}, static_cast<int>(first), static_cast<int>(last));
}

void CListTableModel::RowsInserted(std::size_t, std::size_t) {
    endInsertRows();
}

void CListTableModel::RowsAboutToBeRemoved(std::size_t first, std::size_t last) {
    beginRemoveRows({}, static_cast<int>(first), static_cast<int>(last));
}

void CListTableModel::RowsRemoved(std::size_t, std::size_t) {
    endRemoveRows();
}

void CListTableModel::RowsChanged(std::size_t first, std::size_t last) {
    emit dataChanged(index(static_cast<int>(first), 0),
                     index(static_cast<int>(last), ColumnCount() - 1));
}

void CListTableModel::ModelAboutToBeReset() {
    beginResetModel();
}

void CListTableModel::ModelReset() {
    endResetModel();
    CopyCoreSelectionToView();
}

void CListTableModel::SelectionChanged() {
    CopyCoreSelectionToView();
}

// Whole runs of rows go in as one range each: selecting every row of a long
// list must not cost one selection change per row.
void CListTableModel::CopyCoreSelectionToView() {
    if (!selection_ || mirroring_) {
        return;
    }
    mirroring_ = true;
    QItemSelection rows;
    const std::vector<std::size_t> selected = CoreSelection().Rows();
    const int lastColumn = ColumnCount() - 1;
    for (std::size_t i = 0; i < selected.size();) {
        std::size_t end = i;
        while (end + 1 < selected.size() && selected[end + 1] == selected[end] + 1) {
            ++end;
        }
        rows.select(index(static_cast<int>(selected[i]), 0),
                    index(static_cast<int>(selected[end]), lastColumn));
        i = end + 1;
    }
    selection_->select(rows, QItemSelectionModel::ClearAndSelect);
    const std::optional<std::size_t> focus = CoreSelection().Focus();
    if (focus && *focus < CoreRowCount()) {
        selection_->setCurrentIndex(index(static_cast<int>(*focus), 0),
                                    QItemSelectionModel::NoUpdate);
    }
    mirroring_ = false;
    emit selectionMirrored();
}

void CListTableModel::CopyViewSelectionToCore() {
    if (!selection_ || mirroring_) {
        return;
    }
    mirroring_ = true;
    CRowSelection& core = CoreSelection();
    core.ClearAll();
    for (const QModelIndex& row : selection_->selectedRows()) {
        core.Select(static_cast<std::size_t>(row.row()));
    }
    const QModelIndex current = selection_->currentIndex();
    core.SetFocus(current.isValid() ? std::optional<std::size_t>(current.row()) : std::nullopt);
    mirroring_ = false;
    emit selectionMirrored();
}

} // namespace mvr::gui
