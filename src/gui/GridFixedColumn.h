#pragma once
// The fixed first column of a grid, shown as the view's vertical header: it
// draws column 0 of the model like a fixed cell, stays in place when the grid
// scrolls sideways and can never become the current cell. Rows cannot be
// resized or selected through it.
#include <QHeaderView>

namespace telvar5 {

class GridFixedColumn : public QHeaderView {
    Q_OBJECT
public:
    explicit GridFixedColumn(QWidget* parent = nullptr);

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
};

} // namespace telvar5
