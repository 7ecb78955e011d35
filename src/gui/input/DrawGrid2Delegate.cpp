#include "gui/input/DrawGrid2Delegate.h"

#include <QPainter>

#include "gui/GridCellPaint.h"

namespace telvar5 {

void DrawGrid2Delegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    painter->save();
    DrawGrid2DrawCell(*painter, option, index);
    painter->restore();
}

void DrawGrid2Delegate::DrawGrid2DrawCell(QPainter& painter, const QStyleOptionViewItem& option,
                                          const QModelIndex& index) const
{
    painter.setFont(option.font);
    paintGridCell(painter, option.rect, index.data(Qt::DisplayRole).toString(), index.column() == 0,
                  option.palette);
}

} // namespace telvar5
