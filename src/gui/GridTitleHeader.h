#pragma once
// The fixed title row of a grid: titles drawn like fixed cells, in the grid's font.
#include <QHeaderView>

namespace telvar5 {

class GridTitleHeader : public QHeaderView {
    Q_OBJECT
public:
    explicit GridTitleHeader(QWidget* parent = nullptr);

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
};

} // namespace telvar5
