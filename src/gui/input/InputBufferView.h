#pragma once
// DrawGrid2, the input buffer grid: a title row, the cell number as the fixed
// column, 256 rows of 18 pixels, columns the user may widen, no editing, no
// selection highlight, and no stop for the Tab key.
#include <QPointer>
#include <QString>
#include <array>

#include "gui/FixedColumnGrid.h"
#include "gui/input/CellTextGlyphs.h"

class QBitArray;

namespace telvar5 {

class InputBufferModel;

class InputBufferView : public FixedColumnGrid {
    Q_OBJECT
public:
    static constexpr std::array<int, 8> kColumnWidths{64, 46, 71, 81, 38, 192, 162, 86};

    explicit InputBufferView(QWidget* parent = nullptr);

    void setBufferModel(InputBufferModel* model);
    // ComboBox1Change: the row of this cell becomes the first data row shown,
    // as far as the grid's scrolling allows.
    void showCellAtTop(int cell) { showRowAtTop(cell); }

protected:
    // The grid repaints on every refresh tick, so it draws its cells itself,
    // exactly as the table view with DrawGrid2Delegate would, but without a
    // model index, a style option or a shaped text per cell, and its grid lines
    // as filled rectangles.
    void paintEvent(QPaintEvent* event) override;

private:
    // The rows and columns (visual indexes) a dirty rectangle touches, as the table view finds them.
    struct Sections {
        int top = -1, bottom = -1, left = -1, right = -1;
    };
    Sections sectionsIn(const QRect& dirty) const;
    // In the table view's order: row by row, left to right, each cell once.
    void paintCells(QPainter& painter, const Sections& sections, const QColor& background, int ascent,
                    QBitArray& drawn);
    void paintGridLines(QPainter& painter, const QRect& dirty, const Sections& sections, const QColor& colour);

    QPointer<InputBufferModel> bufferModel_;
    CellTextGlyphs glyphs_;
    QString cellText_; // one string for every cell's text
};

} // namespace telvar5
