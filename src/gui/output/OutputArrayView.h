#pragma once
// DrawGrid1, the output array grid: the word index as the fixed column, the
// address and the code typed in place, 18-pixel rows, a vertical scroll bar
// only, no selection highlight. It reports the character of every key press
// that reaches it or its cell editor, every change of the editor's text, and
// every mouse press, in grid coordinates: row 0 is the title row, row r the
// word r - 1, column 0 the fixed column; -1 where there is no cell.
#include <QPointer>
#include <array>

#include "gui/FixedColumnGrid.h"
#include "gui/GridCellPainter.h"

namespace telvar5 {

class CellEditDelegate;
class GridKeyFilter;
class OutputArrayModel;

class OutputArrayView : public FixedColumnGrid {
    Q_OBJECT
public:
    // The columns' widths at least; a title that needs more in the font in use widens its column.
    static constexpr std::array<int, 3> kColumnWidths{64, 56, 71};
    static constexpr int kTitleRoom = 4;

    explicit OutputArrayView(QWidget* parent = nullptr);

    void setModel(QAbstractItemModel* model) override;
    // The grid never scrolls sideways: it asks for the width of all its columns.
    QSize minimumSizeHint() const override;
    // The grid's options: typing into the address and code cells, and widening columns with the mouse.
    void setEditable(bool on);
    void setColumnsResizable(bool on);
    bool editable() const { return editTriggers() != NoEditTriggers; }
    bool columnsResizable() const;
    // The cell editor while one is open.
    QWidget* cellEditor() const;

signals:
    void keyPressed(char key);
    void editTextChanged(int column, int row, const QString& text);
    void mousePressed(Qt::MouseButton button, int column, int row);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // The grid repaints on every change of a word, so it draws its cells itself
    // (GridCellPainter), exactly as the table view with the cell delegate would.
    void paintEvent(QPaintEvent* event) override;

private:
    // The grid cell under a point of the data area.
    QPoint cellAt(const QPoint& viewportPos) const;
    // True when the press was reported and must go no further.
    bool reportPress(QMouseEvent* event, int column, int row);

    GridKeyFilter* keys_ = nullptr;
    CellEditDelegate* delegate_ = nullptr;
    QPointer<OutputArrayModel> arrayModel_; // painted by cells_; any other model by the table view
    GridCellPainter cells_;
};

} // namespace telvar5
