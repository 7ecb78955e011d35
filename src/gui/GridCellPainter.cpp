#include "gui/GridCellPainter.h"

#include <QBitArray>
#include <QHeaderView>
#include <QPaintEvent>
#include <QPainter>
#include <QStyleOptionViewItem>
#include <QTableView>

#include "gui/GridCellPaint.h"

namespace telvar5 {

namespace {

bool plainBackground(const QWidget& viewport)
{
    const QBrush& brush = viewport.palette().brush(viewport.backgroundRole());
    return viewport.autoFillBackground() && !viewport.testAttribute(Qt::WA_StyledBackground)
        && brush.style() == Qt::SolidPattern && brush.color().alpha() == 255;
}

// Leaves the viewport's background to the grid while it is a plain colour (an opaque paint event).
void leaveBackgroundToGrid(QWidget& viewport)
{
    viewport.setAttribute(Qt::WA_OpaquePaintEvent, plainBackground(viewport));
}

// Looks at the viewport's background again on every change of its palette or style.
class BackgroundFollower final : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange)
            leaveBackgroundToGrid(*static_cast<QWidget*>(watched));
        return false;
    }
};

} // namespace

bool GridCellPainter::draws(const QTableView& grid)
{
    return !grid.isRightToLeft() && grid.gridStyle() == Qt::SolidLine && !grid.verticalHeader()->isHidden()
        && !grid.horizontalHeader()->isHidden();
}

void GridCellPainter::followBackground(QWidget& viewport)
{
    leaveBackgroundToGrid(viewport);
    viewport.installEventFilter(new BackgroundFollower(&viewport));
}

void GridCellPainter::fillBackground(QTableView& grid, const QRegion& region)
{
    if (!grid.viewport()->testAttribute(Qt::WA_OpaquePaintEvent))
        return;
    QPainter painter(grid.viewport());
    fillSkippedBackground(*grid.viewport(), painter, region);
}

void GridCellPainter::fillSkippedBackground(QWidget& viewport, QPainter& painter, const QRegion& region)
{
    if (!viewport.testAttribute(Qt::WA_OpaquePaintEvent))
        return;
    // Qt fills a plain colour rectangle by rectangle; a background that stopped being
    // plain without a palette or style change is filled so once, and left to Qt again.
    const QBrush brush = viewport.palette().brush(viewport.backgroundRole());
    for (const QRect& rect : region)
        painter.fillRect(rect, brush);
    if (!plainBackground(viewport))
        leaveBackgroundToGrid(viewport);
}

void GridCellPainter::paint(QTableView& grid, const QStyleOptionViewItem& option, const QPaintEvent& event,
                            const CellText& text)
{
    const QHeaderView* rows = grid.verticalHeader();
    const QHeaderView* columns = grid.horizontalHeader();
    QPainter painter(grid.viewport());
    const int lastX = columns->length() - columns->offset() - 1;
    const int lastY = rows->length() - rows->offset() - 1;
    // Before the cells, as Qt would: a text running out of the last column or row lies over it.
    const bool cells = rows->count() > 0 && columns->count() > 0;
    fillSkippedBackground(*grid.viewport(), painter,
                          cells ? event.region() - QRect(0, 0, lastX + 1, lastY + 1) : event.region());
    if (!cells)
        return;
    // The table view hands the delegate enabled cells in the active colours.
    const QPalette::ColorGroup group =
        option.state & QStyle::State_Enabled ? QPalette::Active : option.palette.currentColorGroup();
    painter.setFont(option.font);
    const QColor textColour = option.palette.color(group, QPalette::WindowText);
    painter.setPen(textColour);
    glyphs_.setFont(painter.font());
    const QColor background = option.palette.color(group, QPalette::Base);
    const int ascent = painter.fontMetrics().ascent();
    const bool pictures = pictures_.begin(painter, textColour, background, ascent);
    const QColor gridColour = QColor::fromRgba(
        static_cast<QRgb>(grid.style()->styleHint(QStyle::SH_Table_GridLineColor, &option, &grid)));

    QBitArray drawn(rows->count() * columns->count());
    for (QRect dirty : event.region()) {
        dirty.setRight(qMin(dirty.right(), lastX));
        dirty.setBottom(qMin(dirty.bottom(), lastY));
        if (!dirty.isValid())
            continue;
        const Sections sections = sectionsIn(grid, dirty);
        if (sections.top == -1 || sections.top > sections.bottom)
            continue;
        paintCells(painter, grid, sections, background, ascent, pictures, drawn, text);
        if (grid.showGrid())
            paintGridLines(painter, grid, dirty, sections, gridColour);
    }
}

GridCellPainter::Sections GridCellPainter::sectionsIn(const QTableView& grid, const QRect& dirty)
{
    const QHeaderView* rows = grid.verticalHeader();
    const QHeaderView* columns = grid.horizontalHeader();
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

void GridCellPainter::paintCells(QPainter& painter, const QTableView& grid, const Sections& sections,
                                 const QColor& background, int ascent, bool pictures, QBitArray& drawn,
                                 const CellText& text)
{
    const QHeaderView* rows = grid.verticalHeader();
    const QHeaderView* columns = grid.horizontalHeader();
    const int gridSize = grid.showGrid() ? 1 : 0;
    for (int visualRow = sections.top; visualRow <= sections.bottom; ++visualRow) {
        const int row = rows->logicalIndex(visualRow);
        if (rows->isSectionHidden(row))
            continue;
        const int rowY = grid.rowViewportPosition(row);
        const int rowHeight = grid.rowHeight(row) - gridSize;
        for (int visualColumn = sections.left; visualColumn <= sections.right; ++visualColumn) {
            const qsizetype bit = qsizetype{visualRow} * columns->count() + visualColumn;
            if (drawn.testBit(bit))
                continue;
            drawn.setBit(bit);
            const int column = columns->logicalIndex(visualColumn);
            if (columns->isSectionHidden(column))
                continue;
            // paintGridCell's data cell: the window colour, the text from the cell's corner.
            const QRect cell(grid.columnViewportPosition(column), rowY, grid.columnWidth(column) - gridSize,
                             rowHeight);
            text(row, column, cellText_);
            if (const QImage* picture = pictures ? pictures_.picture(cellText_, cell.size(), glyphs_) : nullptr) {
                painter.drawImage(cell.topLeft(), *picture);
                continue;
            }
            painter.fillRect(cell, background);
            const QPoint origin = gridCellTextOrigin(cell, ascent);
            glyphs_.draw(painter, origin.x(), origin.y(), cellText_);
        }
    }
}

void GridCellPainter::paintGridLines(QPainter& painter, const QTableView& grid, const QRect& dirty,
                                     const Sections& sections, const QColor& colour)
{
    const QHeaderView* rows = grid.verticalHeader();
    const QHeaderView* columns = grid.horizontalHeader();
    // The table view's one-pixel lines along each row's bottom and each column's right edge.
    for (int visualRow = sections.top; visualRow <= sections.bottom; ++visualRow) {
        const int row = rows->logicalIndex(visualRow);
        if (!rows->isSectionHidden(row))
            painter.fillRect(
                QRect(dirty.left(), grid.rowViewportPosition(row) + grid.rowHeight(row) - 1, dirty.width(), 1),
                colour);
    }
    for (int visualColumn = sections.left; visualColumn <= sections.right; ++visualColumn) {
        const int column = columns->logicalIndex(visualColumn);
        if (!columns->isSectionHidden(column))
            painter.fillRect(QRect(grid.columnViewportPosition(column) + grid.columnWidth(column) - 1, dirty.top(),
                                   1, dirty.height()),
                             colour);
    }
}

} // namespace telvar5
