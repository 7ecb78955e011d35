#include "gui/GridTitleHeader.h"

#include <QPainter>
#include <QTableView>

#include "gui/GridCellPaint.h"

namespace telvar5 {

GridTitleHeader::GridTitleHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent)
{
    setSectionsClickable(false);
    setHighlightSections(false);
    setDefaultAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void GridTitleHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const
{
    if (!model())
        return;
    painter->save();
    painter->setFont(font());
    const QString title = model()->headerData(logicalIndex, Qt::Horizontal).toString();
    paintGridCell(*painter, rect, title, true, palette());
    // Grid lines between the fixed cells, as in the data area.
    painter->setPen(palette().color(QPalette::Mid));
    painter->drawLine(rect.topRight(), rect.bottomRight());
    painter->drawLine(rect.bottomLeft(), rect.bottomRight());
    painter->restore();
}

GridTitleHeader* GridTitleHeader::installOn(QTableView& grid, int height)
{
    auto* titles = new GridTitleHeader(&grid);
    titles->setFont(grid.font());
    titles->setFixedHeight(height);
    titles->setSectionResizeMode(QHeaderView::Interactive);
    titles->setMinimumSectionSize(4);
    grid.setHorizontalHeader(titles);
    return titles;
}

} // namespace telvar5
