#pragma once

// The price chart beside the data editor's table: the symbol's bars as
// candlesticks (a close line once candles would be thinner than a pixel) with
// their volume below, the rows selected in the table highlighted. The wheel
// zooms around the mouse, a drag pans, and a click on a bar asks for its row
// to be selected. The chart reads the editor's store on every paint and
// keeps no copy of the bars.

#include <cstddef>
#include <optional>
#include <QWidget>
#include <utility>

namespace mvr {
class CSymbolDataEditor;
}

namespace mvr::gui {

class CPriceChart : public QWidget {
    Q_OBJECT

public:
    explicit CPriceChart(CSymbolDataEditor& editor, QWidget* parent = nullptr);

    // The rows changed: a zoom that no longer fits is brought back, and the
    // chart is painted again.
    void Refresh();

    // Shows every bar (the state after opening).
    void ShowAll();
    // Zooms by `factor` (above 1 zooms in) keeping the bar under `anchorX`.
    void ZoomBy(double factor, double anchorX);
    // Moves the bars `pixels` to the right (to older bars).
    void PanBy(double pixels);

    // The row of the bar under a position in the plot; nothing elsewhere.
    std::optional<std::size_t> BarAt(QPoint position) const;
    // The middle of a row's bar when it is in view.
    std::optional<QPoint> BarCenter(std::size_t row) const;
    // The rows in view, first and one past the last.
    std::pair<std::size_t, std::size_t> VisibleRows() const;
    // The price scale's bottom and top for the bars in view.
    std::pair<double, double> PriceRange() const;
    bool ShowsCandles() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // A click on a bar (not the end of a drag).
    void barClicked(std::size_t row, Qt::KeyboardModifiers modifiers);

protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Frame;
    Frame Layout() const;
    std::size_t BarCount() const;
    void Clamp();

    CSymbolDataEditor& editor_;
    // Pixels per bar; 0 shows every bar.
    double barWidth_ = 0.0;
    // The bar position at the right edge of the plot (count shows the newest).
    double rightEdge_ = 0.0;
    std::optional<QPointF> pressedAt_;
    double lastDragX_ = 0.0;
    bool dragging_ = false;
};

} // namespace mvr::gui
