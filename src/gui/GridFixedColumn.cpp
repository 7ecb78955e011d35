#include "gui/GridFixedColumn.h"

#include <QPainter>

#include "gui/GridCellPaint.h"

namespace telvar5 {

GridFixedColumn::GridFixedColumn(QWidget* parent) : QHeaderView(Qt::Vertical, parent)
{
    // Not clickable: a press would select the row and make a cell current.
    setSectionsClickable(false);
    setHighlightSections(false);
    setSectionResizeMode(QHeaderView::Fixed);
}

void GridFixedColumn::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const
{
    if (!model())
        return;
    painter->save();
    painter->setFont(font());
    paintGridCell(*painter, rect, model()->index(logicalIndex, 0).data().toString(), true, palette());
    painter->setPen(palette().color(QPalette::Mid));
    painter->drawLine(rect.topRight(), rect.bottomRight());
    painter->drawLine(rect.bottomLeft(), rect.bottomRight());
    painter->restore();
}

} // namespace telvar5
