#include "gui/analysis/WordLogView.h"

#include <QHeaderView>
#include <QPaintEvent>
#include <QPainter>

#include "gui/QtCompat.h"

namespace telvar5 {

namespace {
constexpr int kPadding = 3; // beside a text, as the toolkit's delegate leaves it
} // namespace

WordLogView::WordLogView(QWidget* parent) : QTableView(parent)
{
    // Every repaint fills what it paints: nothing behind the rows is painted first.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
}

void WordLogView::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    const QRect dirty = event->rect();
    painter.fillRect(dirty, palette().color(QPalette::Base));
    if (!model() || model()->rowCount() == 0 || model()->columnCount() == 0)
        return;
    const QHeaderView* rows = verticalHeader();
    const QHeaderView* columns = horizontalHeader();
    int top = rows->visualIndexAt(dirty.top());
    int bottom = rows->visualIndexAt(dirty.bottom());
    if (top == -1)
        return;
    if (bottom == -1)
        bottom = rows->count() - 1;
    int left = columns->visualIndexAt(dirty.left());
    int right = columns->visualIndexAt(dirty.right());
    if (left == -1)
        left = 0;
    if (right == -1)
        right = columns->count() - 1;
    painter.setFont(font());
    glyphs_.setFont(painter.font());
    // The style gives the table's line colour from the view's own item option, as the table view asks it.
    const QStyleOptionViewItem option = qtcompat::viewItemOption(*this);
    gridLine_ = QColor::fromRgba(static_cast<QRgb>(style()->styleHint(QStyle::SH_Table_GridLineColor, &option, this)));
    for (int visualRow = top; visualRow <= bottom; ++visualRow)
        paintRow(painter, rows->logicalIndex(visualRow), left, right, dirty);
    if (!showGrid())
        return;
    // Each column's right edge, from the first row painted to the last.
    const int firstY = rowViewportPosition(rows->logicalIndex(top));
    const int lastRow = rows->logicalIndex(bottom);
    const int endY = rowViewportPosition(lastRow) + rowHeight(lastRow);
    for (int visualColumn = left; visualColumn <= right; ++visualColumn) {
        const int column = columns->logicalIndex(visualColumn);
        painter.fillRect(QRect(columnViewportPosition(column) + columnWidth(column) - 1, firstY, 1, endY - firstY),
                         gridLine_);
    }
}

void WordLogView::paintRow(QPainter& painter, int row, int left, int right, const QRect& dirty)
{
    const QPalette::ColorGroup group = hasFocus() || isActiveWindow() ? QPalette::Active : QPalette::Inactive;
    const bool selected = selectionModel() && selectionModel()->isRowSelected(row, rootIndex());
    const int y = rowViewportPosition(row);
    const int height = rowHeight(row);
    const QRect band(dirty.left(), y, dirty.width(), height - 1);
    if (selected)
        painter.fillRect(band, palette().color(group, QPalette::Highlight));
    painter.setPen(palette().color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    const QFontMetrics metrics = painter.fontMetrics();
    const int baseline = y + (height - 1 + metrics.ascent() - metrics.descent()) / 2;
    const QHeaderView* columns = horizontalHeader();
    for (int visualColumn = left; visualColumn <= right; ++visualColumn) {
        const int column = columns->logicalIndex(visualColumn);
        const QModelIndex index = model()->index(row, column);
        text_ = index.data(Qt::DisplayRole).toString();
        if (text_.isEmpty())
            continue;
        const QRect cell(columnViewportPosition(column), y, columnWidth(column) - 1, height - 1);
        const QRect room = cell.adjusted(kPadding, 0, -kPadding, 0);
        const int width = static_cast<int>(glyphs_.width(text_).value_or(metrics.horizontalAdvance(text_)) + 0.5);
        const bool alignRight = index.data(Qt::TextAlignmentRole).toInt() & Qt::AlignRight;
        const int x = alignRight && width <= room.width() ? room.right() + 1 - width : room.left();
        // A text wider than its column (a user narrowed it) stays inside its cell.
        const bool clip = width > room.width();
        if (clip) {
            painter.save();
            painter.setClipRect(cell);
        }
        glyphs_.draw(painter, x, baseline, text_);
        if (clip)
            painter.restore();
    }
    if (!showGrid())
        return;
    // The table view's one-pixel line along the row's bottom (the columns' lines go down all rows at once).
    painter.fillRect(QRect(dirty.left(), y + height - 1, dirty.width(), 1), gridLine_);
}

} // namespace telvar5
