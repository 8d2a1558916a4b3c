#pragma once

// The directory list of the main window over the core's directory list:
// path, format, symbol count and catalogue, with a check box per row while a
// list is active. A click on a check box is handed to the window, which lets
// the core decide what it changes.

#include "gui/models/ListTableModel.h"

namespace mvr {
class CExpDirListModel;
}

namespace mvr::gui {

class CDirListTableModel : public CListTableModel {
    Q_OBJECT

public:
    CDirListTableModel(CExpDirListModel& list, QObject* parent = nullptr);
    ~CDirListTableModel() override;

    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // The row that symbols dragged over the list would go to, shown
    // highlighted; -1 for none.
    void SetDropTarget(int row);
    int DropTarget() const { return dropTarget_; }

signals:
    void checkBoxClicked(int row, bool checked);

protected:
    std::size_t CoreRowCount() const override;
    int ColumnCount() const override;
    QString ColumnTitle(int column) const override;
    QString CellText(std::size_t row, int column) const override;
    CRowSelection& CoreSelection() override;

private:
    CExpDirListModel& list_;
    int dropTarget_ = -1;
};

} // namespace mvr::gui
