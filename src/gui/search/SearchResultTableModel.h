#pragma once

// The result list of the symbol search over the core's result list: the rows
// are read from the dialog's results when painted, never copied.

#include "gui/models/ListTableModel.h"

namespace mvr {
class CSearchResultListModel;
}

namespace mvr::gui {

class CSearchResultTableModel : public CListTableModel {
    Q_OBJECT

public:
    CSearchResultTableModel(CSearchResultListModel& list, QObject* parent = nullptr);
    ~CSearchResultTableModel() override;

protected:
    std::size_t CoreRowCount() const override;
    int ColumnCount() const override;
    QString ColumnTitle(int column) const override;
    QString CellText(std::size_t row, int column) const override;
    CRowSelection& CoreSelection() override;

private:
    CSearchResultListModel& list_;
};

} // namespace mvr::gui
