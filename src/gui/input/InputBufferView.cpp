#include "gui/input/InputBufferView.h"

#include <QBitArray>
#include <QHeaderView>
#include <QPaintEvent>
#include <QPainter>

#include "gui/GridCellPaint.h"
#include "gui/input/DrawGrid2Delegate.h"
#include "gui/input/InputBufferModel.h"

namespace telvar5 {

InputBufferView::InputBufferView(QWidget* parent) : FixedColumnGrid(parent)
{
    setObjectName(QStringLiteral("DrawGrid2"));
    setItemDelegate(new DrawGrid2Delegate(this));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // The Tab key passes the input grid by; a click still makes a cell current.
    setFocusPolicy(Qt::ClickFocus);
    setTabKeyNavigation(false);
}

void InputBufferView::setBufferModel(InputBufferModel* model)
{
    bufferModel_ = model;
    setModel(model);
    setColumnWidths({kColumnWidths[0], kColumnWidths[1], kColumnWidths[2], kColumnWidths[3], kColumnWidths[4],
                     kColumnWidths[5], kColumnWidths[6], kColumnWidths[7]});
}

void InputBufferView::paintEvent(QPaintEvent* event)
{
    QHeaderView* rows = verticalHeader();
    QHeaderView* columns = horizontalHeader();
    // Layouts this grid never has are left to the table view.
    if (!bufferModel_ || model() != bufferModel_ || isRightToLeft() || gridStyle() != Qt::SolidLine
        || rows->isHidden() || columns->isHidden()) {
        FixedColumnGrid::paintEvent(event);
        return;
    }
    if (rows->count() == 0 || columns->count() == 0)
        return;
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    QPainter painter(viewport());
    // The table view hands the delegate enabled cells in the active colours.
    const QPalette::ColorGroup group =
        option.state & QStyle::State_Enabled ? QPalette::Active : option.palette.currentColorGroup();
    painter.setFont(option.font);
    painter.setPen(option.palette.color(group, QPalette::WindowText));
    glyphs_.setFont(painter.font());
    const QColor background = option.palette.color(group, QPalette::Base);
    const int ascent = painter.fontMetrics().ascent();
    const QColor gridColour =
        QColor::fromRgba(static_cast<QRgb>(style()->styleHint(QStyle::SH_Table_GridLineColor, &option, this)));

    QBitArray drawn(rows->count() * columns->count());
    const int lastX = columns->length() - columns->offset() - 1;
    const int lastY = rows->length() - rows->offset() - 1;
    for (QRect dirty : event->region()) {
        dirty.setRight(qMin(dirty.right(), lastX));
        dirty.setBottom(qMin(dirty.bottom(), lastY));
        if (!dirty.isValid())
            continue;
        const Sections sections = sectionsIn(dirty);
        if (sections.top == -1 || sections.top > sections.bottom)
            continue;
        paintCells(painter, sections, background, ascent, drawn);
        if (showGrid())
            paintGridLines(painter, dirty, sections, gridColour);
    }
}

InputBufferView::Sections InputBufferView::sectionsIn(const QRect& dirty) const
{
    const QHeaderView* rows = verticalHeader();
    const QHeaderView* columns = horizontalHeader();
    Sections s{rows->visualIndexAt(dirty.top()), rows->visualIndexAt(dirty.bottom()),
               columns->visualIndexAt(dirty.left()), columns->visualIndexAt(dirty.right())};
    if (s.bottom == -1)
        s.bottom = rows->count() - 1;
    if (s.left == -1)
        s.left = 0;
    if (s.right == -1)
        s.right = columns->count() - 1;
    return s;
}

void InputBufferView::paintCells(QPainter& painter, const Sections& sections, const QColor& background, int ascent,
                                 QBitArray& drawn)
{
    const QHeaderView* rows = verticalHeader();
    const QHeaderView* columns = horizontalHeader();
    const int gridSize = showGrid() ? 1 : 0;
    for (int visualRow = sections.top; visualRow <= sections.bottom; ++visualRow) {
        const int row = rows->logicalIndex(visualRow);
        if (rows->isSectionHidden(row))
            continue;
        const int rowY = rowViewportPosition(row);
        const int rowHeight = this->rowHeight(row) - gridSize;
        for (int visualColumn = sections.left; visualColumn <= sections.right; ++visualColumn) {
            const qsizetype bit = qsizetype{visualRow} * columns->count() + visualColumn;
            if (drawn.testBit(bit))
                continue;
            drawn.setBit(bit);
            const int column = columns->logicalIndex(visualColumn);
            if (columns->isSectionHidden(column))
                continue;
            // DrawGrid2Delegate's cell: the window colour, the text from the cell's corner.
            const QRect cell(columnViewportPosition(column), rowY, columnWidth(column) - gridSize, rowHeight);
            painter.fillRect(cell, background);
            bufferModel_->cellText(row, column, cellText_);
            const QPoint origin = gridCellTextOrigin(cell, ascent);
            glyphs_.draw(painter, origin.x(), origin.y(), cellText_);
        }
    }
}

void InputBufferView::paintGridLines(QPainter& painter, const QRect& dirty, const Sections& sections,
                                     const QColor& colour)
{
    const QHeaderView* rows = verticalHeader();
    const QHeaderView* columns = horizontalHeader();
    // The table view's one-pixel lines along each row's bottom and each column's right edge.
    for (int visualRow = sections.top; visualRow <= sections.bottom; ++visualRow) {
        const int row = rows->logicalIndex(visualRow);
        if (!rows->isSectionHidden(row))
            painter.fillRect(QRect(dirty.left(), rowViewportPosition(row) + rowHeight(row) - 1, dirty.width(), 1),
                             colour);
    }
    for (int visualColumn = sections.left; visualColumn <= sections.right; ++visualColumn) {
        const int column = columns->logicalIndex(visualColumn);
        if (!columns->isSectionHidden(column))
            painter.fillRect(
                QRect(columnViewportPosition(column) + columnWidth(column) - 1, dirty.top(), 1, dirty.height()),
                colour);
    }
}

} // namespace telvar5
