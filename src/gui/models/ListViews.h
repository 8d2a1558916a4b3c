#pragma once

// The table views of the lists of the window and its dialogs: one row per
// record, rows of one height, the core's column widths.

#include <algorithm>
#include <QHeaderView>
#include <QTableView>

namespace mvr::gui {

class CSortHeader;

// A view of `model` with `header` (may be null: the view's own header).
QTableView* MakeListView(QWidget* parent, QAbstractItemModel* model, CSortHeader* header);

// The lists' own widths, widened where the font would cut a title short.
template <typename Columns>
void SetColumnWidths(QTableView* view, const Columns& columns) {
    for (std::size_t column = 0; column < columns.size(); ++column) {
        const int index = static_cast<int>(column);
        view->setColumnWidth(index, std::max(columns[column].width,
                                             view->horizontalHeader()->sectionSizeHint(index)));
    }
}

} // namespace mvr::gui
