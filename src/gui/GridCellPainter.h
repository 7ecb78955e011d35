#pragma once
// Paints the data cells of a grid's viewport itself, exactly as the table view
// would with a delegate drawing each cell by paintGridCell on the window
// colour, but without a model index, a style option or a shaped text per cell,
// each cell copied from its picture where it has one (GridCellPictures), and
// the grid lines as filled rectangles. For the grids repainted on every
// refresh; layouts they never have are left to the table view (see draws).
#include <QString>
#include <functional>

#include "gui/CellTextGlyphs.h"
#include "gui/GridCellPictures.h"

class QBitArray;
class QPaintEvent;
class QRegion;
class QWidget;
class QStyleOptionViewItem;
class QTableView;

namespace telvar5 {

class GridCellPainter {
public:
    // Puts the text of a data cell into `text`, keeping its storage.
    using CellText = std::function<void(int row, int column, QString& text)>;

    // Whether the grid's layout is one painted here.
    static bool draws(const QTableView& grid);
    // While the viewport's background is a plain colour, Qt leaves it to the
    // grid, which fills only what its cells leave bare (Qt would fill the whole
    // viewport before every repaint for the cells to cover it again); a
    // pattern, a gradient or a styled background stays Qt's. For the view to
    // call once, when made: the viewport's palette and style are followed from then on.
    static void followBackground(QWidget& viewport);
    // For layouts left to the table view: the background first, where Qt left it to the grid.
    static void fillBackground(QTableView& grid, const QRegion& region);
    // Paints the event's region of the grid's viewport; `option` is the grid's
    // own view item option (initViewItemOption).
    void paint(QTableView& grid, const QStyleOptionViewItem& option, const QPaintEvent& event, const CellText& text);

private:
    // The rows and columns (visual indexes) a dirty rectangle touches, as the table view finds them.
    struct Sections {
        int top = -1, bottom = -1, left = -1, right = -1;
    };
    static Sections sectionsIn(const QTableView& grid, const QRect& dirty);
    // As Qt fills the background before a repaint, where it left that to the grid.
    static void fillSkippedBackground(QWidget& viewport, QPainter& painter, const QRegion& region);
    // In the table view's order: row by row, left to right, each cell once.
    void paintCells(QPainter& painter, const QTableView& grid, const Sections& sections, const QColor& background,
                    int ascent, bool pictures, QBitArray& drawn, const CellText& text);
    static void paintGridLines(QPainter& painter, const QTableView& grid, const QRect& dirty,
                               const Sections& sections, const QColor& colour);

    CellTextGlyphs glyphs_;
    GridCellPictures pictures_;
    QString cellText_; // one string for every cell's text
};

} // namespace telvar5
