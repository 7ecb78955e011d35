#pragma once
// DrawGrid2, the input buffer grid: a title row, the cell number as the fixed
// column, 256 rows of 18 pixels, columns the user may widen, no editing, no
// selection highlight, and no stop for the Tab key.
#include <array>

#include "gui/FixedColumnGrid.h"

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
};

} // namespace telvar5
