#include "gui/models/SymbolListTableModel.h"

#include "core/editing/ExpSymbolListModel.h"
#include "core/health/SymbolHealth.h"
#include "gui/controls/CoreText.h"
#include "gui/models/SymbolHealthScan.h"
#include "gui/resources/Artwork.h"

#include <algorithm>
#include <QMimeData>

namespace mvr::gui {

namespace {

QString FindingsText(const SymbolHealth& health) {
    if (health.state == SymbolHealthState::Unreadable) {
        return QtText(health.problem);
    }
    const std::size_t count = health.findings.size();
    QString text = QStringLiteral("%1 finding%2 in the stored prices")
                       .arg(count)
                       .arg(count == 1 ? QString() : QStringLiteral("s"));
    // The first few; the data editor marks every row.
    constexpr std::size_t kListed = 5;
    for (std::size_t i = 0; i < std::min(count, kListed); ++i) {
        text += QLatin1Char('\n') + QtText(health.findings[i].description);
    }
    return text;
}

} // namespace

CSymbolListTableModel::CSymbolListTableModel(CExpSymbolListModel& list, QObject* parent)
    : CListTableModel(parent), list_(list), healthScan_(new CSymbolHealthScan(list, this)) {
    list_.SetObserver(this);
    healthScan_->Refresh();
}

QVariant CSymbolListTableModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DecorationRole && role != Qt::ToolTipRole) {
        return CListTableModel::data(index, role);
    }
    if (!index.isValid() || index.column() != CExpSymbolListModel::kColumnName) {
        return {};
    }
    const SymbolHealth* health = list_.HealthOfRow(static_cast<std::size_t>(index.row()));
    if (health == nullptr || (health->state != SymbolHealthState::Findings &&
                              health->state != SymbolHealthState::Unreadable)) {
        return {};
    }
    return role == Qt::DecorationRole ? QVariant(PriceFindingIcon())
                                      : QVariant(FindingsText(*health));
}

void CSymbolListTableModel::ModelReset() {
    CListTableModel::ModelReset();
    healthScan_->Refresh();
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
