#include "gui/controls/SortHeader.h"

#include <algorithm>
#include <QPainter>
#include <QStyleOptionHeader>

namespace mvr::gui {

namespace {

// Longer titles are cut before they are measured and elided.
constexpr int kMaxTitleChars = 255;

Qt::Alignment HorizontalAlignment(Qt::Alignment alignment) {
    if (alignment & Qt::AlignHCenter) {
        return Qt::AlignHCenter;
    }
    if (alignment & (Qt::AlignRight | Qt::AlignTrailing)) {
        return Qt::AlignRight;
    }
    return Qt::AlignLeft;
}

} // namespace

CSortHeader::CSortHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
    setSectionsClickable(true);
    // Qt's own indicator would turn on every click; the arrow here only ever
    // follows the model.
    setSortIndicatorShown(false);
    setHighlightSections(false);
    // List columns read from the left unless the model says otherwise.
    setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(this, &QHeaderView::sectionClicked, this, &CSortHeader::ColumnClicked);
}

int CSortHeader::SetSortColumn(int column, bool ascending) {
    const int previous = sortColumn_;
    sortColumn_ = column;
    ascending_ = ascending;
    viewport()->update();
    return previous;
}

QSize CSortHeader::sectionSizeFromContents(int logicalIndex) const {
    QSize size = QHeaderView::sectionSizeFromContents(logicalIndex);
    if (model() == nullptr) {
        return size;
    }
    const QString title =
        model()->headerData(logicalIndex, orientation()).toString().left(kMaxTitleChars);
    const int e = 2 * fontMetrics().horizontalAdvance(QLatin1Char(' '));
    size.setWidth(std::max(size.width(), fontMetrics().horizontalAdvance(title) + 5 * e));
    return size;
}

void CSortHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    if (!rect.isValid()) {
        return;
    }
    QStyleOptionHeader option;
    initStyleOption(&option);
    initStyleOptionForIndex(&option, logicalIndex);
    option.rect = rect;
    const QString title = option.text.left(kMaxTitleChars);
    const Qt::Alignment alignment = HorizontalAlignment(option.textAlignment);
    const bool pressed = option.state & QStyle::State_Sunken;
    const bool sorted = logicalIndex == sortColumn_;

    painter->save();
    painter->setClipRect(rect);
    // The style paints the section's face and frame; title and arrow are ours.
    option.text.clear();
    option.icon = QIcon();
    option.sortIndicator = QStyleOptionHeader::None;
    style()->drawControl(QStyle::CE_HeaderSection, &option, painter, this);

    const int e = 2 * fontMetrics().horizontalAdvance(QLatin1Char(' '));
    QRect textRect = rect.adjusted(e, 0, sorted ? -4 * e : -e, 0);
    if (pressed) {
        textRect.translate(1, 2);
    }
    if (textRect.width() > 0) {
        painter->setPen(option.palette.color(QPalette::ButtonText));
        painter->drawText(textRect, alignment | Qt::AlignVCenter | Qt::TextSingleLine,
                          fontMetrics().elidedText(title, Qt::ElideRight, textRect.width()));
    }
    if (sorted) {
        PaintArrow(painter, rect, e);
    }
    painter->restore();
}

// A triangle lit from the top left: its edges facing away from the light in
// the shadow colour, the others in a lighter tone. Today's header faces are
// nearly white, so that lighter tone is the palette's mid tone rather than its
// highlight, which would not show. The arrow stays put while the section is
// pressed.
void CSortHeader::PaintArrow(QPainter* painter, const QRect& rect, int e) const {
    const QPen light(palette().color(QPalette::Mid), 1, Qt::SolidLine);
    const QPen shadow(palette().color(QPalette::Dark), 1, Qt::SolidLine);
    const int r = rect.x() + rect.width();
    const int b = rect.y() + rect.height();
    const int top = rect.y();
    const int e32 = 3 * e / 2;
    const int e52 = 5 * e / 2;
    painter->setRenderHint(QPainter::Antialiasing, false);
    if (ascending_) {
        const QPoint apex(r - 2 * e, top + e - 1);
        const QPoint lowerRight(r - e32, b - e);
        painter->setPen(light);
        painter->drawPolyline(QList<QPoint>{apex, lowerRight, QPoint(r - e52 - 2, b - e)});
        painter->setPen(shadow);
        painter->drawLine(QPoint(r - e52 - 1, b - e - 1), QPoint(r - 2 * e, top + e - 2));
    } else {
        const QPoint upperRight(r - e32, top + e - 1);
        painter->setPen(light);
        painter->drawLine(upperRight, QPoint(r - 2 * e - 1, b - e + 1));
        painter->setPen(shadow);
        painter->drawPolyline(QList<QPoint>{QPoint(r - 2 * e - 1, b - e),
                                            QPoint(r - e52 - 1, top + e - 1), upperRight});
    }
}

} // namespace mvr::gui
