#pragma once
// The fixed title row of a grid: titles drawn like fixed cells, in the grid's font.
#include <QHeaderView>

class QTableView;

namespace telvar5 {

class GridTitleHeader : public QHeaderView {
    Q_OBJECT
public:
    explicit GridTitleHeader(QWidget* parent = nullptr);
    // Becomes the horizontal header of `grid`: its font, the given height, columns the mouse may size.
    static GridTitleHeader* installOn(QTableView& grid, int height);

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
};

} // namespace telvar5
