#include "gui/GridCornerTitle.h"

#include <QPainter>
#include <QTableView>

#include "gui/GridCellPaint.h"

namespace telvar5 {

GridCornerTitle::GridCornerTitle(QTableView* grid) : QWidget(grid), grid_(grid)
{
    setObjectName(QStringLiteral("CornerTitle"));
    setFocusPolicy(Qt::NoFocus);
}

void GridCornerTitle::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setFont(grid_->font());
    const QRect cell = rect();
    const QString title = grid_->model() ? grid_->model()->headerData(0, Qt::Horizontal).toString() : QString();
    paintGridCell(painter, cell, title, true, palette());
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawLine(cell.topRight(), cell.bottomRight());
    painter.drawLine(cell.bottomLeft(), cell.bottomRight());
}

} // namespace telvar5
