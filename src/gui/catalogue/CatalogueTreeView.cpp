#include "gui/catalogue/CatalogueTreeView.h"

#include "gui/controls/CoreText.h"

#include <algorithm>
#include <QHeaderView>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QStandardItemModel>

namespace mvr::gui {

namespace {

constexpr int kImageSize = 16;
const QColor kFolderFill(0xf0, 0xc8, 0x5a);
const QColor kFolderInk(0x8a, 0x62, 0x10);
const QColor kSheetInk(0x1c, 0x2e, 0x4a);
const QColor kSheetLines(0x2f, 0x6f, 0xb5);

QPixmap BlankImage() {
    QPixmap pixmap(kImageSize, kImageSize);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

QPixmap ClosedFolder() {
    QPixmap pixmap = BlankImage();
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(kFolderInk, 1.0));
    painter.setBrush(kFolderFill);
    QPainterPath folder;
    folder.moveTo(1.5, 3.5);
    folder.lineTo(6.0, 3.5);
    folder.lineTo(7.5, 5.0);
    folder.lineTo(14.5, 5.0);
    folder.lineTo(14.5, 13.5);
    folder.lineTo(1.5, 13.5);
    folder.closeSubpath();
    painter.drawPath(folder);
    painter.drawLine(QPointF(1.5, 6.5), QPointF(14.5, 6.5));
    return pixmap;
}

QPixmap OpenFolder() {
    QPixmap pixmap = BlankImage();
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(kFolderInk, 1.0));
    painter.setBrush(kFolderFill.darker(115));
    QPainterPath back;
    back.moveTo(1.5, 13.5);
    back.lineTo(1.5, 3.5);
    back.lineTo(6.0, 3.5);
    back.lineTo(7.5, 5.0);
    back.lineTo(13.5, 5.0);
    back.lineTo(13.5, 7.5);
    painter.drawPath(back);
    painter.setBrush(kFolderFill);
    QPainterPath front;
    front.moveTo(1.5, 13.5);
    front.lineTo(4.0, 7.5);
    front.lineTo(15.0, 7.5);
    front.lineTo(12.5, 13.5);
    front.closeSubpath();
    painter.drawPath(front);
    return pixmap;
}

QPixmap CatalogueSheet() {
    QPixmap pixmap = BlankImage();
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(kSheetInk, 1.0));
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(2.5, 1.5, 11.0, 13.0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(kSheetLines);
    for (int row = 0; row < 4; ++row) {
        const double y = 4.0 + row * 2.5;
        painter.drawRect(QRectF(4.5, y, 1.5, 1.5));
        painter.drawRect(QRectF(7.0, y + 0.25, row == 3 ? 3.0 : 5.0, 1.0));
    }
    return pixmap;
}

void AppendItems(QStandardItem& parent, const std::vector<CatalogueTreeItem>& items) {
    for (const CatalogueTreeItem& item : items) {
        auto* row = new QStandardItem(CatalogueTreeImage(item.image), QtText(item.text));
        row->setEditable(false);
        row->setData(QVariant::fromValue<qulonglong>(item.treeIndex), kCatalogueTreeIndexRole);
        AppendItems(*row, item.children);
        parent.appendRow(row);
    }
}

} // namespace

QIcon CatalogueTreeImage(int image) {
    // Drawn once; every item of every tree shares them.
    static const QIcon images[] = {QIcon(ClosedFolder()), QIcon(OpenFolder()),
                                   QIcon(CatalogueSheet())};
    if (image < 0 || image >= static_cast<int>(std::size(images))) {
        return QIcon();
    }
    return images[image];
}

void FillCatalogueTreeModel(QStandardItemModel& model,
                            const std::vector<CatalogueTreeItem>& items) {
    model.clear();
    AppendItems(*model.invisibleRootItem(), items);
}

std::vector<std::size_t> CatalogueTreeChain(const QModelIndex& index) {
    std::vector<std::size_t> chain;
    for (QModelIndex at = index; at.isValid(); at = at.parent()) {
        chain.push_back(static_cast<std::size_t>(at.data(kCatalogueTreeIndexRole).toULongLong()));
    }
    std::reverse(chain.begin(), chain.end());
    return chain;
}

CCatalogueTreeView::CCatalogueTreeView(QWidget* parent)
    : QTreeView(parent), model_(new QStandardItemModel(this)) {
    setModel(model_);
    setHeaderHidden(true);
    setIconSize(QSize(kImageSize, kImageSize));
    setUniformRowHeights(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    header()->setStretchLastSection(true);
}

void CCatalogueTreeView::ShowTree(const std::vector<CatalogueTreeItem>& items) {
    FillCatalogueTreeModel(*model_, items);
}

std::vector<std::size_t> CCatalogueTreeView::SelectedChain() const {
    const QModelIndexList selected = selectionModel()->selectedRows();
    if (selected.isEmpty()) {
        return {};
    }
    return CatalogueTreeChain(selected.constFirst());
}

} // namespace mvr::gui
