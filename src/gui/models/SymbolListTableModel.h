#pragma once

// The symbol list of the main window over the core's symbol list: the rows
// of the current directory's index, read from it when painted, never copied.

#include "gui/models/ListTableModel.h"

namespace mvr {
class CExpSymbolListModel;
}

namespace mvr::gui {

class CSymbolHealthScan;

inline constexpr const char* kSymbolDragFormat = "application/x-mvrkrsexp-symbols";

class CSymbolListTableModel : public CListTableModel {
    Q_OBJECT

public:
    CSymbolListTableModel(CExpSymbolListModel& list, QObject* parent = nullptr);
    ~CSymbolListTableModel() override;

    // Selected symbols are dragged as a marker only: the drop takes them
    // from the list's selection, which the core keeps.
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDragActions() const override;

    // The name cell of a symbol whose stored prices have findings, or whose
    // file cannot be read, carries a mark and says why in its tooltip.
    QVariant data(const QModelIndex& index, int role) const override;

    // The background check of the shown directory's prices.
    CSymbolHealthScan& HealthScan() { return *healthScan_; }

    void ModelReset() override;

protected:
    std::size_t CoreRowCount() const override;
    int ColumnCount() const override;
    QString ColumnTitle(int column) const override;
    QString CellText(std::size_t row, int column) const override;
    CRowSelection& CoreSelection() override;

private:
    CExpSymbolListModel& list_;
    CSymbolHealthScan* healthScan_;
};

} // namespace mvr::gui
