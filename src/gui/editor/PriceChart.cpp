#include "gui/editor/PriceChart.h"

#include "core/editing/PriceRowTexts.h"
#include "core/editing/SymbolDataEditor.h"
#include "gui/controls/CoreText.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <QLineF>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygonF>
#include <QRectF>
#include <QVector>
#include <QWheelEvent>
#include <vector>

namespace mvr::gui {

namespace {

constexpr int kLeftMargin = 6;
constexpr int kTopMargin = 8;
constexpr int kPriceAxisWidth = 64;
constexpr int kTimeAxisHeight = 34;
constexpr int kVolumeGap = 6;
constexpr double kVolumeShare = 0.22;
constexpr double kMaxBarWidth = 60.0;
// Narrower candles could not show a body: the closes are drawn as a line.
constexpr double kMinCandleWidth = 2.0;
constexpr int kTimeLabelSpacing = 96;
constexpr int kPriceTicks = 5;
// A press that moves less than this is a click, not a drag.
constexpr double kDragThreshold = 4.0;

const QColor kRising(0x1e, 0x8e, 0x3e);
const QColor kFalling(0xc6, 0x28, 0x28);
const QColor kCloseLine(0x1f, 0x4e, 0x9c);
const QColor kVolume(0x8a, 0x9b, 0xb0);
const QColor kGrid(0xe4, 0xe7, 0xeb);
const QColor kAxisText(0x44, 0x44, 0x44);

QString TimeOfDayText(std::int32_t secondsOfDay) {
    return QStringLiteral("%1:%2")
        .arg(secondsOfDay / 3600, 2, 10, QLatin1Char('0'))
        .arg(secondsOfDay / 60 % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

struct CPriceChart::Frame {
    QRect plot;   // prices and volume
    QRect prices; // the candles or the close line
    QRect volume;
    std::size_t count = 0;
    double barWidth = 1.0; // pixels per bar
    double first = 0.0;    // the bar position at the left edge
    std::size_t firstRow = 0;
    std::size_t endRow = 0;

    double XOf(std::size_t row) const {
        return plot.left() + (static_cast<double>(row) + 0.5 - first) * barWidth;
    }
};

CPriceChart::CPriceChart(CSymbolDataEditor& editor, QWidget* parent)
    : QWidget(parent), editor_(editor) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(false);
    setFocusPolicy(Qt::WheelFocus);
    setCursor(Qt::CrossCursor);
}

QSize CPriceChart::sizeHint() const {
    return {520, 340};
}

QSize CPriceChart::minimumSizeHint() const {
    return {220, 160};
}

std::size_t CPriceChart::BarCount() const {
    return std::min(editor_.RowCount(), editor_.Store().History().size());
}

CPriceChart::Frame CPriceChart::Layout() const {
    Frame frame;
    frame.plot = rect().adjusted(kLeftMargin, kTopMargin, -kPriceAxisWidth, -kTimeAxisHeight);
    if (frame.plot.width() < 1 || frame.plot.height() < 1) {
        frame.plot = QRect(0, 0, 1, 1);
    }
    const int volumeHeight = static_cast<int>(frame.plot.height() * kVolumeShare);
    frame.prices = frame.plot.adjusted(0, 0, 0, -(volumeHeight + kVolumeGap));
    frame.volume = QRect(frame.plot.left(), frame.plot.bottom() - volumeHeight + 1,
                         frame.plot.width(), volumeHeight);
    frame.count = BarCount();
    const double width = frame.plot.width();
    if (frame.count == 0) {
        return frame;
    }
    double right = static_cast<double>(frame.count);
    if (barWidth_ > 0.0) {
        frame.barWidth = barWidth_;
        right = rightEdge_;
    } else {
        frame.barWidth = width / static_cast<double>(frame.count);
    }
    frame.first = right - width / frame.barWidth;
    frame.firstRow = static_cast<std::size_t>(std::max(0.0, std::floor(frame.first)));
    frame.endRow = std::min(frame.count, static_cast<std::size_t>(std::max(0.0, std::ceil(right))));
    frame.firstRow = std::min(frame.firstRow, frame.endRow);
    return frame;
}

void CPriceChart::Clamp() {
    const std::size_t count = BarCount();
    const double width = std::max(1, rect().width() - kLeftMargin - kPriceAxisWidth);
    if (count == 0 || barWidth_ <= width / static_cast<double>(count)) {
        barWidth_ = 0.0;
        return;
    }
    barWidth_ = std::min(barWidth_, kMaxBarWidth);
    const double shown = width / barWidth_;
    rightEdge_ = std::clamp(rightEdge_, shown, static_cast<double>(count));
}

void CPriceChart::Refresh() {
    Clamp();
    update();
}

void CPriceChart::ShowAll() {
    barWidth_ = 0.0;
    update();
}

void CPriceChart::ZoomBy(double factor, double anchorX) {
    const Frame frame = Layout();
    if (frame.count == 0 || factor <= 0.0) {
        return;
    }
    const double anchor = frame.first + (anchorX - frame.plot.left()) / frame.barWidth;
    barWidth_ = std::min(frame.barWidth * factor, kMaxBarWidth);
    rightEdge_ = anchor + (frame.plot.left() + frame.plot.width() - anchorX) / barWidth_;
    Clamp();
    update();
}

void CPriceChart::PanBy(double pixels) {
    if (barWidth_ <= 0.0) {
        return;
    }
    rightEdge_ -= pixels / barWidth_;
    Clamp();
    update();
}

std::optional<std::size_t> CPriceChart::BarAt(QPoint position) const {
    const Frame frame = Layout();
    if (frame.count == 0 || !frame.plot.contains(position)) {
        return std::nullopt;
    }
    const double at = frame.first + (position.x() - frame.plot.left() + 0.5) / frame.barWidth;
    if (at < 0.0 || at >= static_cast<double>(frame.count)) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(at);
}

std::optional<QPoint> CPriceChart::BarCenter(std::size_t row) const {
    const Frame frame = Layout();
    if (row < frame.firstRow || row >= frame.endRow) {
        return std::nullopt;
    }
    const int x = static_cast<int>(std::floor(frame.XOf(row)));
    if (x < frame.plot.left() || x > frame.plot.right()) {
        return std::nullopt;
    }
    return QPoint(x, frame.prices.center().y());
}

std::pair<std::size_t, std::size_t> CPriceChart::VisibleRows() const {
    const Frame frame = Layout();
    return {frame.firstRow, frame.endRow};
}

std::pair<double, double> CPriceChart::PriceRange() const {
    const Frame frame = Layout();
    if (frame.firstRow >= frame.endRow) {
        return {0.0, 1.0};
    }
    const PriceHistory& bars = editor_.Store().History();
    double low = bars[frame.firstRow].low;
    double high = bars[frame.firstRow].high;
    for (std::size_t row = frame.firstRow; row < frame.endRow; ++row) {
        low = std::min(
            {low, static_cast<double>(bars[row].low), static_cast<double>(bars[row].close)});
        high = std::max(
            {high, static_cast<double>(bars[row].high), static_cast<double>(bars[row].close)});
    }
    if (high <= low) {
        high = low + 1.0;
    }
    const double margin = (high - low) * 0.04;
    return {low - margin, high + margin};
}

bool CPriceChart::ShowsCandles() const {
    return Layout().barWidth >= kMinCandleWidth;
}

void CPriceChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Base));
    const Frame frame = Layout();
    painter.setPen(kGrid);
    painter.drawRect(frame.plot.adjusted(0, 0, -1, -1));
    if (frame.firstRow >= frame.endRow) {
        return;
    }
    const PriceHistory& bars = editor_.Store().History();
    const auto [low, high] = PriceRange();
    const double scale = frame.prices.height() / (high - low);
    const double bottom = frame.prices.top() + frame.prices.height();
    auto yOf = [&](double price) { return bottom - (price - low) * scale; };
    const std::size_t first = frame.firstRow;
    const std::size_t end = frame.endRow;

    painter.setClipRect(frame.plot);

    // The selected rows, behind everything else.
    const CRowSelection& selection = editor_.Selection();
    if (selection.Count() > 0) {
        // Marks that meet in a pixel column are merged: at 10,000 bars a run
        // of selected rows is a few rectangles, not thousands.
        QVector<QRect> marks;
        const int markWidth = std::max(1, static_cast<int>(std::lround(frame.barWidth)));
        for (std::size_t row = first; row < end; ++row) {
            if (!selection.IsSelected(row)) {
                continue;
            }
            const int left = static_cast<int>(std::floor(frame.XOf(row) - markWidth / 2.0));
            if (!marks.isEmpty() && left <= marks.back().right() + 1) {
                marks.back().setRight(std::max(marks.back().right(), left + markWidth - 1));
            } else {
                marks.append(QRect(left, frame.plot.top(), markWidth, frame.plot.height()));
            }
        }
        QColor highlight = palette().color(QPalette::Highlight);
        highlight.setAlpha(70);
        painter.setPen(Qt::NoPen);
        painter.setBrush(highlight);
        painter.drawRects(marks);
    }

    // Price grid lines, their labels come after the clip.
    const double tickStep = (high - low) / kPriceTicks;
    QVector<QLineF> grid;
    for (int tick = 1; tick < kPriceTicks; ++tick) {
        const double y = yOf(low + tick * tickStep);
        grid.append(QLineF(frame.plot.left(), y, frame.plot.right(), y));
    }
    painter.setPen(kGrid);
    painter.drawLines(grid);

    // Volume: one bar per record, or the highest volume of each pixel column
    // when several records share one.
    std::int32_t maxVolume = 1;
    for (std::size_t row = first; row < end; ++row) {
        maxVolume = std::max(maxVolume, bars[row].volume);
    }
    const double volumeScale = frame.volume.height() / static_cast<double>(maxVolume);
    const double volumeBottom = frame.volume.top() + frame.volume.height();
    if (frame.barWidth >= kMinCandleWidth) {
        QVector<QRectF> volumes;
        volumes.reserve(static_cast<qsizetype>(end - first));
        const double width = std::max(1.0, frame.barWidth * 0.7);
        for (std::size_t row = first; row < end; ++row) {
            const double height = std::max(0, bars[row].volume) * volumeScale;
            volumes.append(
                QRectF(frame.XOf(row) - width / 2.0, volumeBottom - height, width, height));
        }
        painter.setPen(Qt::NoPen);
        painter.setBrush(kVolume);
        painter.drawRects(volumes);
    } else {
        std::vector<std::int32_t> columns(static_cast<std::size_t>(frame.plot.width()) + 1, 0);
        for (std::size_t row = first; row < end; ++row) {
            const int column = static_cast<int>(frame.XOf(row)) - frame.plot.left();
            if (column >= 0 && column < static_cast<int>(columns.size())) {
                auto& top = columns[static_cast<std::size_t>(column)];
                top = std::max(top, bars[row].volume);
            }
        }
        QVector<QLineF> volumes;
        for (std::size_t column = 0; column < columns.size(); ++column) {
            if (columns[column] > 0) {
                const double x = frame.plot.left() + static_cast<double>(column) + 0.5;
                volumes.append(
                    QLineF(x, volumeBottom, x, volumeBottom - columns[column] * volumeScale));
            }
        }
        painter.setPen(kVolume);
        painter.drawLines(volumes);
    }

    if (frame.barWidth >= kMinCandleWidth) {
        QVector<QLineF> wicks;
        QVector<QRectF> rising;
        QVector<QRectF> falling;
        wicks.reserve(static_cast<qsizetype>(end - first));
        const double bodyWidth = std::max(1.0, std::floor(frame.barWidth * 0.7));
        for (std::size_t row = first; row < end; ++row) {
            const PERIODE& bar = bars[row];
            const double x = std::floor(frame.XOf(row)) + 0.5;
            wicks.append(QLineF(x, yOf(bar.high), x, yOf(bar.low)));
            const double top = yOf(std::max(bar.open, bar.close));
            const double height = std::max(1.0, yOf(std::min(bar.open, bar.close)) - top);
            const QRectF body(x - bodyWidth / 2.0, top, bodyWidth, height);
            (bar.close >= bar.open ? rising : falling).append(body);
        }
        painter.setPen(QColor(0x30, 0x30, 0x30));
        painter.drawLines(wicks);
        painter.setPen(kRising);
        painter.setBrush(kRising);
        painter.drawRects(rising);
        painter.setPen(kFalling);
        painter.setBrush(kFalling);
        painter.drawRects(falling);
    } else {
        // Each pixel column gets the lowest and highest close of its records,
        // which is what a line through every close would cover there.
        QPolygonF line;
        line.reserve(2 * frame.plot.width() + 2);
        int column = -1;
        double lowest = 0.0;
        double highest = 0.0;
        double firstY = 0.0;
        double lastY = 0.0;
        auto flush = [&] {
            if (column < 0) {
                return;
            }
            const double x = frame.plot.left() + column + 0.5;
            line.append(QPointF(x, firstY));
            if (highest > lowest) {
                line.append(QPointF(x, lowest));
                line.append(QPointF(x, highest));
            }
            line.append(QPointF(x, lastY));
        };
        for (std::size_t row = first; row < end; ++row) {
            const double y = yOf(bars[row].close);
            const int at = static_cast<int>(frame.XOf(row)) - frame.plot.left();
            if (at != column) {
                flush();
                column = at;
                lowest = highest = firstY = y;
            }
            lowest = std::min(lowest, y);
            highest = std::max(highest, y);
            lastY = y;
        }
        flush();
        painter.setPen(QPen(kCloseLine, 1.0));
        painter.setBrush(Qt::NoBrush);
        painter.drawPolyline(line);
    }

    painter.setClipping(false);
    painter.setPen(kAxisText);
    const QFontMetrics metrics = painter.fontMetrics();
    const int decimals = tickStep >= 10.0 ? 0 : (tickStep >= 0.1 ? 2 : 4);
    for (int tick = 0; tick <= kPriceTicks; ++tick) {
        const double price = low + tick * tickStep;
        const int y = static_cast<int>(yOf(price));
        painter.drawText(QRect(frame.plot.right() + 6, y - metrics.height() / 2,
                               kPriceAxisWidth - 8, metrics.height()),
                         Qt::AlignLeft | Qt::AlignVCenter, QString::number(price, 'f', decimals));
    }

    const bool intraday = editor_.Store().IsIntradaySeries();
    const auto every = static_cast<std::size_t>(
        std::max(1.0, std::ceil(kTimeLabelSpacing / std::max(frame.barWidth, 1e-9))));
    const int labelTop = frame.plot.bottom() + 4;
    int previousRight = std::numeric_limits<int>::min();
    QVector<QLineF> ticks;
    for (std::size_t row = (first + every - 1) / every * every; row < end; row += every) {
        const double x = frame.XOf(row);
        if (x < frame.plot.left() || x > frame.plot.right()) {
            continue;
        }
        ticks.append(QLineF(x, frame.plot.bottom(), x, frame.plot.bottom() + 3));
        QString text = QtText(SlashedDateText(bars[row].dayNumber));
        if (intraday) {
            text = TimeOfDayText(bars[row].secondsOfDay) + QLatin1Char('\n') + text;
        }
        // A label is centred on its bar or left out: one pushed in at the
        // chart's edge would crowd out its neighbour.
        const int width = kTimeLabelSpacing - 8;
        const int left = static_cast<int>(x) - width / 2;
        if (left < 0 || left + width > this->width() || left < previousRight) {
            continue;
        }
        previousRight = left + width;
        painter.drawText(QRect(left, labelTop, width, kTimeAxisHeight - 4),
                         Qt::AlignHCenter | Qt::AlignTop, text);
    }
    painter.drawLines(ticks);
}

void CPriceChart::wheelEvent(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    if (delta == 0) {
        event->ignore();
        return;
    }
    ZoomBy(std::pow(1.25, delta / 120.0), event->position().x());
    event->accept();
}

void CPriceChart::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    pressedAt_ = event->position();
    lastDragX_ = event->position().x();
    dragging_ = false;
}

void CPriceChart::mouseMoveEvent(QMouseEvent* event) {
    if (!pressedAt_ || !(event->buttons() & Qt::LeftButton)) {
        return;
    }
    if (!dragging_ && std::abs(event->position().x() - pressedAt_->x()) < kDragThreshold) {
        return;
    }
    dragging_ = true;
    setCursor(Qt::ClosedHandCursor);
    PanBy(event->position().x() - lastDragX_);
    lastDragX_ = event->position().x();
}

void CPriceChart::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !pressedAt_) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    const bool wasDrag = dragging_;
    pressedAt_.reset();
    dragging_ = false;
    setCursor(Qt::CrossCursor);
    if (!wasDrag) {
        if (const auto row = BarAt(event->position().toPoint())) {
            emit barClicked(*row, event->modifiers());
        }
    }
}

void CPriceChart::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Clamp();
}

} // namespace mvr::gui
