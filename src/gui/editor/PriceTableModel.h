#pragma once

// The rows of the data editor as a table model: every cell is asked of the
// editor when the view paints it, so that 10,000 records scroll without a
// copy of them. Rows with health findings are marked.

#include <QAbstractTableModel>

namespace mvr {
class CSymbolDataEditor;
}

namespace mvr::gui {

class CPriceTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit CPriceTableModel(CSymbolDataEditor& editor, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The editor's rows were rebuilt (a fill, a split, a deletion, a download).
    void Reset();
    // One record was written back.
    void RowChanged(int row);

private:
    // A row whose stored record the health check found faults in: marked,
    // with the findings as its tooltip.
    QVariant FindingData(const QModelIndex& index, int role) const;

    CSymbolDataEditor& editor_;
};

} // namespace mvr::gui
