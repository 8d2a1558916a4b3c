#pragma once

#include <QHeaderView>

namespace mvr::gui {

// The column header of a sortable list. The list's core model decides the
// order; the header shows that model's sort column and direction with an
// arrow and passes a click on a column on to whoever sorts. It never sorts or
// turns its arrow by itself, so the view must not enable Qt's own sorting.
class CSortHeader : public QHeaderView {
    Q_OBJECT

public:
    explicit CSortHeader(QWidget* parent = nullptr);

    // Shows the arrow on `column` (-1: no arrow) in the given direction and
    // returns the column that had it before.
    int SetSortColumn(int column, bool ascending);
    int SortColumn() const { return sortColumn_; }
    bool IsAscending() const { return ascending_; }

signals:
    void ColumnClicked(int column);

protected:
    // Wide enough for the title beside the arrow, so a list can size its
    // columns to what the header paints.
    QSize sectionSizeFromContents(int logicalIndex) const override;
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

private:
    void PaintArrow(QPainter* painter, const QRect& rect, int e) const;

    int sortColumn_ = -1;
    bool ascending_ = true;
};

} // namespace mvr::gui
