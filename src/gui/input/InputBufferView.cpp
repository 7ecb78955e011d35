#include "gui/input/InputBufferView.h"

#include <QStyleOptionViewItem>

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
    // Layouts this grid never has are left to the table view.
    if (!bufferModel_ || model() != bufferModel_ || !GridCellPainter::draws(*this)) {
        FixedColumnGrid::paintEvent(event);
        return;
    }
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    cells_.paint(*this, option, *event,
                 [this](int row, int column, QString& text) { bufferModel_->cellText(row, column, text); });
}

} // namespace telvar5
