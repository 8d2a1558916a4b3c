#include "gui/models/DirListTableModel.h"

#include "core/app/ExpDirListModel.h"
#include "gui/controls/CoreText.h"

#include <QPalette>

namespace mvr::gui {

CDirListTableModel::CDirListTableModel(CExpDirListModel& list, QObject* parent)
    : CListTableModel(parent), list_(list) {
    list_.SetObserver(this);
}

CDirListTableModel::~CDirListTableModel() {
    list_.SetObserver(nullptr);
}

QVariant CDirListTableModel::data(const QModelIndex& index, int role) const {
    if (role == Qt::BackgroundRole && index.isValid() && index.row() == dropTarget_) {
        return QPalette().brush(QPalette::Highlight);
    }
    if (role == Qt::ForegroundRole && index.isValid() && index.row() == dropTarget_) {
        return QPalette().brush(QPalette::HighlightedText);
    }
    if (role == Qt::CheckStateRole && index.isValid() && index.column() == 0 &&
        list_.CheckBoxesShown()) {
        return list_.IsChecked(static_cast<std::size_t>(index.row())) ? Qt::Checked : Qt::Unchecked;
    }
    return CListTableModel::data(index, role);
}

Qt::ItemFlags CDirListTableModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = CListTableModel::flags(index);
    if (index.column() == 0 && list_.CheckBoxesShown()) {
        flags |= Qt::ItemIsUserCheckable;
    }
    return flags;
}

// The mark is not set here: the core decides whether the click changes
// anything, and the row is announced as changed when it does.
bool CDirListTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::CheckStateRole || !index.isValid()) {
        return false;
    }
    emit checkBoxClicked(index.row(), value.toInt() == Qt::Checked);
    return true;
}

void CDirListTableModel::SetDropTarget(int row) {
    if (row == dropTarget_) {
        return;
    }
    const int previous = dropTarget_;
    dropTarget_ = row;
    for (int changed : {previous, row}) {
        if (changed >= 0 && changed < rowCount()) {
            emit dataChanged(index(changed, 0), index(changed, columnCount() - 1));
        }
    }
}

std::size_t CDirListTableModel::CoreRowCount() const {
    return list_.RowCount();
}

int CDirListTableModel::ColumnCount() const {
    return static_cast<int>(CExpDirListModel::Columns().size());
}

QString CDirListTableModel::ColumnTitle(int column) const {
    return TitleOf(CExpDirListModel::Columns(), column);
}

QString CDirListTableModel::CellText(std::size_t row, int column) const {
    return QtText(list_.CellText(row, column));
}

CRowSelection& CDirListTableModel::CoreSelection() {
    return list_.Selection();
}

} // namespace mvr::gui
