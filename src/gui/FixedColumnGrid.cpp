#include "gui/FixedColumnGrid.h"

#include <QScrollBar>

#include "gui/GridCornerTitle.h"
#include "gui/GridFixedColumn.h"
#include "gui/GridTitleHeader.h"
#include "gui/UiFonts.h"

namespace telvar5 {

FixedColumnGrid::FixedColumnGrid(QWidget* parent) : QTableView(parent)
{
    setFont(ui::fixedFont(ui::kGridFontPx));
    titles_ = GridTitleHeader::installOn(*this, kRowHeight);

    fixedColumn_ = new GridFixedColumn(this);
    fixedColumn_->setFont(font());
    fixedColumn_->setMinimumSectionSize(kRowHeight);
    fixedColumn_->setDefaultSectionSize(kRowHeight);
    setVerticalHeader(fixedColumn_);
    corner_ = new GridCornerTitle(this);

    setShowGrid(true);
    setWordWrap(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
}

void FixedColumnGrid::setModel(QAbstractItemModel* model)
{
    QTableView::setModel(model);
    // The header forgets hidden sections with a new model.
    if (model && model->columnCount() > 0)
        setColumnHidden(0, true);
}

void FixedColumnGrid::setColumnWidths(std::initializer_list<int> widths)
{
    int column = 0;
    for (int width : widths) {
        if (column == 0)
            fixedColumn_->setFixedWidth(width);
        else
            setColumnWidth(column, width);
        ++column;
    }
    updateGeometries();
}

int FixedColumnGrid::fixedColumnWidth() const { return fixedColumn_->width(); }

QWidget* FixedColumnGrid::cornerTitle() const { return corner_; }

void FixedColumnGrid::showRowAtTop(int row)
{
    if (!model() || row < 0 || row >= model()->rowCount())
        return;
    // Scrolling per row: the scroll value is the first row shown; the bar stops
    // where the last rows fill the view.
    verticalScrollBar()->setValue(row);
}

void FixedColumnGrid::updateGeometries()
{
    QTableView::updateGeometries();
    if (!corner_) // still being made
        return;
    // Where the view keeps its corner button: left of the titles, above the fixed column.
    corner_->setGeometry(fixedColumn_->x(), titles_->y(), fixedColumn_->width(), titles_->height());
    corner_->setVisible(!fixedColumn_->isHidden() && !titles_->isHidden());
    corner_->raise();
}

} // namespace telvar5
