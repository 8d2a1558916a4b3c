#include "gui/models/ListViews.h"

#include "gui/controls/SortHeader.h"

namespace mvr::gui {

QTableView* MakeListView(QWidget* parent, QAbstractItemModel* model, CSortHeader* header) {
    auto* view = new QTableView(parent);
    if (header != nullptr) {
        view->setHorizontalHeader(header);
    }
    view->setModel(model);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setShowGrid(false);
    view->setWordWrap(false);
    view->verticalHeader()->hide();
    // Rows of one height let the view scroll 10,000 rows without measuring them.
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    view->horizontalHeader()->setStretchLastSection(true);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    return view;
}

} // namespace mvr::gui
