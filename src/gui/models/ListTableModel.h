#pragma once

// The Qt side of a core list: a table model that answers every cell from the
// core model on demand and forwards the core's change notifications exactly,
// so that a view of 10,000 rows is never reset for a change of one row. The
// row selection belongs to the core; SyncSelectionTo keeps a view's selection
// model a mirror of it in both directions.

#include "core/lists/ListObserver.h"
#include "core/lists/RowSelection.h"

#include <QAbstractTableModel>
#include <QItemSelectionModel>
#include <QPointer>
#include <span>

namespace mvr::gui {

class CListTableModel : public QAbstractTableModel, public CListObserver {
    Q_OBJECT

public:
    explicit CListTableModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The selection model of the view that shows this model; its selection
    // follows the core's from now on, and the user's clicks go to the core.
    void SyncSelectionTo(QItemSelectionModel* selection);

    void RowsAboutToBeInserted(std::size_t first, std::size_t last) override;
    void RowsInserted(std::size_t first, std::size_t last) override;
    void RowsAboutToBeRemoved(std::size_t first, std::size_t last) override;
    void RowsRemoved(std::size_t first, std::size_t last) override;
    void RowsChanged(std::size_t first, std::size_t last) override;
    void ModelAboutToBeReset() override;
    void ModelReset() override;
    void SelectionChanged() override;

signals:
    // The core's selection changed, by the user or by the core itself.
    void selectionMirrored();

protected:
    virtual std::size_t CoreRowCount() const = 0;
    virtual int ColumnCount() const = 0;
    virtual QString ColumnTitle(int column) const = 0;
    virtual QString CellText(std::size_t row, int column) const = 0;
    virtual CRowSelection& CoreSelection() = 0;

    // The title of a column of a core model's column table; empty outside it.
    template <typename Column>
    static QString TitleOf(std::span<const Column> columns, int column) {
        if (column < 0 || static_cast<std::size_t>(column) >= columns.size()) {
            return {};
        }
        return QString::fromUtf8(columns[static_cast<std::size_t>(column)].title);
    }

private:
    void CopyCoreSelectionToView();
    void CopyViewSelectionToCore();

    QPointer<QItemSelectionModel> selection_;
    bool mirroring_ = false;
};

} // namespace mvr::gui
