#pragma once
// A grid in the program's style: a title row (GridTitleHeader), a fixed first
// column (GridFixedColumn) with its title in the corner, 18-pixel rows, the
// grid's fixed-pitch font, grid lines, per-row scrolling. Column 0 of the
// model is shown in the fixed column only; columns 1 and up scroll. Its
// scroll bars and its frame, as tall as the grid, repaint from pictures while
// they look the same (PicturedScrollBar, StillPicture).
#include <QTableView>

#include "gui/StillPicture.h"

namespace telvar5 {

class GridCornerTitle;
class GridFixedColumn;
class GridTitleHeader;

class FixedColumnGrid : public QTableView {
    Q_OBJECT
public:
    static constexpr int kRowHeight = 18;

    explicit FixedColumnGrid(QWidget* parent = nullptr);

    void setModel(QAbstractItemModel* model) override;
    // The widths of the model's columns; the first is the fixed column's.
    void setColumnWidths(std::initializer_list<int> widths);
    int fixedColumnWidth() const;
    // The width that shows every column as setColumnWidths laid them out, beside a vertical scroll bar.
    int widthForColumns() const;
    GridFixedColumn* fixedColumn() const { return fixedColumn_; }
    GridTitleHeader* titles() const { return titles_; }
    QWidget* cornerTitle() const;

    // The row becomes the first data row shown, as far as the scrolling allows.
    void showRowAtTop(int row);

    // Typing never jumps to a row whose text begins with what was typed.
    void keyboardSearch(const QString&) override {}

protected:
    bool event(QEvent* event) override;
    void updateGeometries() override;

private:
    // The frame from its picture, where the scroll area paints nothing else (no corner between two bars).
    bool paintFrameFromPicture(const QRegion& region);

    GridTitleHeader* titles_ = nullptr;
    GridFixedColumn* fixedColumn_ = nullptr;
    GridCornerTitle* corner_ = nullptr;
    StillPicture frame_;
    int columnsWidth_ = 0;
};

} // namespace telvar5
