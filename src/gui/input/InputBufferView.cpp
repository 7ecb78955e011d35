#include "gui/input/InputBufferView.h"

#include <QPaintEvent>
#include <QStyleOptionViewItem>
#include <algorithm>

#include "gui/input/DrawGrid2Delegate.h"
#include "gui/input/InputBufferModel.h"
#include "gui/QtCompat.h"

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
    GridCellPainter::followBackground(*viewport());
}

void InputBufferView::setBufferModel(InputBufferModel* model)
{
    bufferModel_ = model;
    setModel(model);
    // The widths were made for the fonts the program was first drawn with; where a title or a
    // full-length value (BINARY: 24 digits) does not fit in the font in use, its column widens.
    const QFontMetrics metrics(font());
    std::array<int, kColumnWidths.size()> widths = kColumnWidths;
    for (std::size_t column = 0; column < widths.size(); ++column) {
        const QString title = model->headerData(static_cast<int>(column), Qt::Horizontal).toString();
        const QString widest = column == kBinaryColumn ? QString(kBinaryDigits, QLatin1Char('0')) : QString();
        const int needed = std::max(metrics.horizontalAdvance(title), metrics.horizontalAdvance(widest)) + kTextRoom;
        widths[column] = std::max(widths[column], needed);
    }
    setColumnWidths({widths[0], widths[1], widths[2], widths[3], widths[4], widths[5], widths[6], widths[7]});
}

void InputBufferView::paintEvent(QPaintEvent* event)
{
    // Layouts this grid never has are left to the table view.
    if (!bufferModel_ || model() != bufferModel_ || !GridCellPainter::draws(*this)) {
        GridCellPainter::fillBackground(*this, event->region());
        FixedColumnGrid::paintEvent(event);
        return;
    }
    const QStyleOptionViewItem option = qtcompat::viewItemOption(*this);
    cells_.paint(*this, option, *event,
                 [this](int row, int column, QString& text) { bufferModel_->cellText(row, column, text); });
}

} // namespace telvar5
