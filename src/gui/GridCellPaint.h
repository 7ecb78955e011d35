#pragma once
// How every grid of the program draws a cell: the text 1 pixel right of and
// 1 pixel below the cell's corner, on the button face in fixed cells and on the
// window colour elsewhere, in the window text colour unless the cell asks for
// another. The current cell is never drawn in the selection highlight.
#include <QPainter>
#include <QPalette>
#include <QRect>
#include <QString>

namespace telvar5 {

// The left end of the baseline of a cell's text in a font of this ascent.
inline QPoint gridCellTextOrigin(const QRect& rect, int ascent)
{
    return {rect.left() + 1, rect.top() + 1 + ascent};
}

inline void paintGridCell(QPainter& painter, const QRect& rect, const QString& text, bool fixedCell,
                          const QPalette& palette, const QColor& textColour)
{
    painter.fillRect(rect, palette.color(fixedCell ? QPalette::Button : QPalette::Base));
    painter.setPen(textColour);
    painter.drawText(gridCellTextOrigin(rect, painter.fontMetrics().ascent()), text);
}

inline void paintGridCell(QPainter& painter, const QRect& rect, const QString& text, bool fixedCell,
                          const QPalette& palette)
{
    paintGridCell(painter, rect, text, fixedCell, palette, palette.color(QPalette::WindowText));
}

} // namespace telvar5
