#include "gui/models/SymbolListTableModel.h"

#include "core/editing/ExpSymbolListModel.h"
#include "gui/controls/CoreText.h"

#include <QMimeData>

namespace mvr::gui {

CSymbolListTableModel::CSymbolListTableModel(CExpSymbolListModel& list, QObject* parent)
    : CListTableModel(parent), list_(list) {
    list_.SetObserver(this);
}

CSymbolListTableModel::~CSymbolListTableModel() {
    list_.SetObserver(nullptr);
}

Qt::ItemFlags CSymbolListTableModel::flags(const QModelIndex& index) const {
    return CListTableModel::flags(index) | Qt::ItemIsDragEnabled;
}

QStringList CSymbolListTableModel::mimeTypes() const {
    return {kSymbolDragFormat};
}

QMimeData* CSymbolListTableModel::mimeData(const QModelIndexList&) const {
    auto* data = new QMimeData;
    data->setData(kSymbolDragFormat,
                  QByteArray::number(static_cast<qulonglong>(list_.GetSelectedCount())));
    return data;
}

Qt::DropActions CSymbolListTableModel::supportedDragActions() const {
    return Qt::CopyAction;
}

std::size_t CSymbolListTableModel::CoreRowCount() const {
    return list_.RowCount();
}

int CSymbolListTableModel::ColumnCount() const {
    return static_cast<int>(CExpSymbolListModel::Columns().size());
}

QString CSymbolListTableModel::ColumnTitle(int column) const {
    return TitleOf(CExpSymbolListModel::Columns(), column);
}

QString CSymbolListTableModel::CellText(std::size_t row, int column) const {
    return QtText(list_.CellText(row, column));
}

CRowSelection& CSymbolListTableModel::CoreSelection() {
    return list_.Selection();
}

} // namespace mvr::gui
