#pragma once
// DrawGrid2, the input buffer grid: a title row, the cell number as the fixed
// column, 256 rows of 18 pixels, columns the user may widen, no editing, no
// selection highlight, and no stop for the Tab key.
#include <QPointer>
#include <array>

#include "gui/FixedColumnGrid.h"
#include "gui/GridCellPainter.h"

namespace telvar5 {

class InputBufferModel;

class InputBufferView : public FixedColumnGrid {
    Q_OBJECT
public:
    static constexpr std::array<int, 8> kColumnWidths{64, 46, 71, 81, 38, 192, 162, 86};
    // BINARY shows the code, bits 9..32 of the word, without leading zeros.
    static constexpr int kBinaryColumn = 6;
    static constexpr int kBinaryDigits = 24;
    // A cell's text starts one pixel in; one more each side keeps it off the grid lines.
    static constexpr int kTextRoom = 4;

    explicit InputBufferView(QWidget* parent = nullptr);

    void setBufferModel(InputBufferModel* model);
    // ComboBox1Change: the row of this cell becomes the first data row shown,
    // as far as the grid's scrolling allows.
    void showCellAtTop(int cell) { showRowAtTop(cell); }

protected:
    // The grid repaints on every refresh tick, so it draws its cells itself
    // (GridCellPainter), exactly as the table view with DrawGrid2Delegate would.
    void paintEvent(QPaintEvent* event) override;

private:
    QPointer<InputBufferModel> bufferModel_;
    GridCellPainter cells_;
};

} // namespace telvar5
