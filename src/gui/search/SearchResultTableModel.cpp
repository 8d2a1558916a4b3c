#include "gui/search/SearchResultTableModel.h"

#include "core/search/SearchResultListModel.h"
#include "gui/controls/CoreText.h"

namespace mvr::gui {

CSearchResultTableModel::CSearchResultTableModel(CSearchResultListModel& list, QObject* parent)
    : CListTableModel(parent), list_(list) {
    list_.SetObserver(this);
}

CSearchResultTableModel::~CSearchResultTableModel() {
    list_.SetObserver(nullptr);
}

std::size_t CSearchResultTableModel::CoreRowCount() const {
    return list_.RowCount();
}

int CSearchResultTableModel::ColumnCount() const {
    return CSearchResultListModel::kColumnCount;
}

QString CSearchResultTableModel::ColumnTitle(int column) const {
    return TitleOf(CSearchResultListModel::Columns(), column);
}

QString CSearchResultTableModel::CellText(std::size_t row, int column) const {
    return QtText(list_.CellText(row, column));
}

CRowSelection& CSearchResultTableModel::CoreSelection() {
    return list_.Selection();
}

} // namespace mvr::gui
