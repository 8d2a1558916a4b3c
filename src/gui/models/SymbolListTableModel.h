#pragma once

// The symbol list of the main window over the core's symbol list: the rows
// of the current directory's index, read from it when painted, never copied.

#include "gui/models/ListTableModel.h"

namespace mvr {
class CExpSymbolListModel;
}

namespace mvr::gui {

class CSymbolListTableModel : public CListTableModel {
    Q_OBJECT

public:
    CSymbolListTableModel(CExpSymbolListModel& list, QObject* parent = nullptr);
    ~CSymbolListTableModel() override;

protected:
    std::size_t CoreRowCount() const override;
    int ColumnCount() const override;
    QString ColumnTitle(int column) const override;
    QString CellText(std::size_t row, int column) const override;
    CRowSelection& CoreSelection() override;

private:
    CExpSymbolListModel& list_;
};

} // namespace mvr::gui
