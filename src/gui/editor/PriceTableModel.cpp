#include "gui/editor/PriceTableModel.h"

#include "core/editing/PriceRowTexts.h"
#include "core/editing/SymbolDataEditor.h"
#include "gui/controls/CoreText.h"
#include "gui/resources/Artwork.h"

#include <QBrush>
#include <QColor>

namespace mvr::gui {

CPriceTableModel::CPriceTableModel(CSymbolDataEditor& editor, QObject* parent)
    : QAbstractTableModel(parent), editor_(editor) {}

int CPriceTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(editor_.RowCount());
}

int CPriceTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kPriceColumnCount;
}

QVariant CPriceTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return QtText(editor_.CellText(static_cast<std::size_t>(index.row()), index.column()));
    }
    if (role == Qt::TextAlignmentRole) {
        const auto columns = PriceRowColumns();
        const bool right = columns[static_cast<std::size_t>(index.column())].alignRight;
        return QVariant::fromValue(Qt::AlignVCenter | (right ? Qt::AlignRight : Qt::AlignLeft));
    }
    return FindingData(index, role);
}

QVariant CPriceTableModel::FindingData(const QModelIndex& index, int role) const {
    if (role != Qt::ToolTipRole && role != Qt::BackgroundRole && role != Qt::DecorationRole) {
        return {};
    }
    const std::string_view findings = editor_.RowFindings(static_cast<std::size_t>(index.row()));
    if (findings.empty()) {
        return {};
    }
    switch (role) {
    case Qt::ToolTipRole:
        return QtText(findings);
    case Qt::BackgroundRole:
        return QBrush(QColor(0xFF, 0xF1, 0xCC));
    default:
        return index.column() == kPriceColumnTime ? QVariant(PriceFindingIcon()) : QVariant();
    }
}

QVariant CPriceTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    const auto columns = PriceRowColumns();
    if (orientation != Qt::Horizontal || section < 0 ||
        static_cast<std::size_t>(section) >= columns.size()) {
        return {};
    }
    const PriceRowColumn& column = columns[static_cast<std::size_t>(section)];
    if (role == Qt::DisplayRole) {
        return QString::fromUtf8(column.title);
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(Qt::AlignVCenter |
                                   (column.alignRight ? Qt::AlignRight : Qt::AlignLeft));
    }
    return {};
}

void CPriceTableModel::Reset() {
    beginResetModel();
    endResetModel();
}

void CPriceTableModel::RowChanged(int row) {
    emit dataChanged(index(row, 0), index(row, kPriceColumnCount - 1));
}

} // namespace mvr::gui
