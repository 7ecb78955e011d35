#include "gui/input/InputBufferView.h"

#include <QHeaderView>
#include <QScrollBar>

#include "gui/GridTitleHeader.h"
#include "gui/UiFonts.h"
#include "gui/input/DrawGrid2Delegate.h"
#include "gui/input/InputBufferModel.h"

namespace telvar5 {

InputBufferView::InputBufferView(QWidget* parent) : QTableView(parent)
{
    setObjectName(QStringLiteral("DrawGrid2"));
    setFont(ui::fixedFont(ui::kGridFontPx));
    auto* titles = new GridTitleHeader(this);
    titles->setFont(font());
    titles->setFixedHeight(kRowHeight);
    titles->setSectionResizeMode(QHeaderView::Interactive);
    titles->setMinimumSectionSize(4);
    setHorizontalHeader(titles);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(kRowHeight);
    verticalHeader()->setDefaultSectionSize(kRowHeight);
    setItemDelegate(new DrawGrid2Delegate(this));
    setShowGrid(true);
    setWordWrap(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    // The Tab key passes the input grid by; a click still makes a cell current.
    setFocusPolicy(Qt::ClickFocus);
    setTabKeyNavigation(false);
}

void InputBufferView::setBufferModel(InputBufferModel* model)
{
    setModel(model);
    for (int c = 0; c < static_cast<int>(kColumnWidths.size()); ++c)
        setColumnWidth(c, kColumnWidths[static_cast<std::size_t>(c)]);
}

void InputBufferView::showCellAtTop(int cell)
{
    if (!model() || cell < 0 || cell >= model()->rowCount())
        return;
    // Scrolling per row: the scroll value is the first row shown; the bar stops
    // where the last rows fill the view.
    verticalScrollBar()->setValue(cell);
}

} // namespace telvar5
