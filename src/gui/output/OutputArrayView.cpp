#include "gui/output/OutputArrayView.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyleOptionViewItem>
#include <algorithm>

#include "gui/CellEditDelegate.h"
#include "gui/ClickOpensEditor.h"
#include "gui/GridFixedColumn.h"
#include "gui/GridKeyFilter.h"
#include "gui/GridTitleHeader.h"
#include "gui/output/OutputArrayModel.h"
#include "gui/QtCompat.h"

namespace telvar5 {

namespace {
// A click on the selected cell opens its editor through ClickOpensEditor, which keeps the keys typed meanwhile.
constexpr QAbstractItemView::EditTriggers kTypingTriggers = QAbstractItemView::AnyKeyPressed
    | QAbstractItemView::EditKeyPressed | QAbstractItemView::DoubleClicked;
} // namespace

OutputArrayView::OutputArrayView(QWidget* parent) : FixedColumnGrid(parent)
{
    setObjectName(QStringLiteral("DrawGrid1"));
    keys_ = new GridKeyFilter(this);
    installEventFilter(keys_);
    connect(keys_, &GridKeyFilter::character, this, &OutputArrayView::keyPressed);
    delegate_ = new CellEditDelegate(keys_, 1, this); // the index column is fixed
    setItemDelegate(delegate_);
    connect(delegate_, &CellEditDelegate::editTextChanged, this,
            [this](int column, int row, const QString& text) { emit editTextChanged(column, row + 1, text); });
    setEditTriggers(kTypingTriggers);
    ClickOpensEditor::install(this);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setTabKeyNavigation(false);
    // Presses on the title row, the corner and the fixed column are grid cells too.
    titles()->viewport()->installEventFilter(this);
    fixedColumn()->viewport()->installEventFilter(this);
    cornerTitle()->installEventFilter(this);
    GridCellPainter::followBackground(*viewport());
}

void OutputArrayView::setModel(QAbstractItemModel* model)
{
    arrayModel_ = qobject_cast<OutputArrayModel*>(model);
    FixedColumnGrid::setModel(model);
    // As the input grid's: a title wider than its column in the font in use ("код(HEX)") widens it;
    // a title's trailing blanks draw nothing.
    std::array<int, kColumnWidths.size()> widths = kColumnWidths;
    for (std::size_t column = 0; model && column < widths.size(); ++column) {
        QString title = model->headerData(static_cast<int>(column), Qt::Horizontal).toString();
        while (title.endsWith(QLatin1Char(' ')))
            title.chop(1);
        widths[column] = std::max(widths[column], fontMetrics().horizontalAdvance(title) + kTitleRoom);
    }
    setColumnWidths({widths[0], widths[1], widths[2]});
    updateGeometry();
}

QSize OutputArrayView::minimumSizeHint() const
{
    return {widthForColumns(), FixedColumnGrid::minimumSizeHint().height()};
}

void OutputArrayView::setEditable(bool on)
{
    if (editable() == on)
        return;
    setEditTriggers(on ? kTypingTriggers : NoEditTriggers);
    // Typing stops at once, also in a cell being edited.
    if (!on) {
        if (QWidget* editor = cellEditor())
            closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void OutputArrayView::setColumnsResizable(bool on)
{
    // Each setting lays the titles out anew; the screen state is applied on every tick.
    if (columnsResizable() != on)
        titles()->setSectionResizeMode(on ? QHeaderView::Interactive : QHeaderView::Fixed);
}

bool OutputArrayView::columnsResizable() const
{
    return titles()->sectionResizeMode(1) == QHeaderView::Interactive;
}

QWidget* OutputArrayView::cellEditor() const
{
    return state() == EditingState ? indexWidget(currentIndex()) : nullptr;
}

QPoint OutputArrayView::cellAt(const QPoint& viewportPos) const
{
    const int row = rowAt(viewportPos.y());
    const int column = columnAt(viewportPos.x());
    return {column, row < 0 ? -1 : row + 1};
}

bool OutputArrayView::reportPress(QMouseEvent* event, int column, int row)
{
    emit mousePressed(event->button(), column, row);
    // The right button acts on the word without making its cell current.
    return event->button() == Qt::RightButton;
}

void OutputArrayView::mousePressEvent(QMouseEvent* event)
{
    const QPoint cell = cellAt(qtcompat::mousePoint(*event));
    if (!reportPress(event, cell.x(), cell.y()))
        FixedColumnGrid::mousePressEvent(event);
}

void OutputArrayView::keyPressEvent(QKeyEvent* event)
{
    // Enter opens the current cell's editor, as F2 does; in the editor it ends the editing.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && editable() && state() != EditingState && currentIndex().isValid()
        && edit(currentIndex(), EditKeyPressed, event))
        return;
    FixedColumnGrid::keyPressEvent(event);
}

void OutputArrayView::paintEvent(QPaintEvent* event)
{
    // The model gives no text colours, so every cell is drawn in the window text colour.
    if (!arrayModel_ || model() != arrayModel_ || !GridCellPainter::draws(*this)) {
        GridCellPainter::fillBackground(*this, event->region());
        FixedColumnGrid::paintEvent(event);
        return;
    }
    const QStyleOptionViewItem option = qtcompat::viewItemOption(*this);
    cells_.paint(*this, option, *event,
                 [this](int row, int column, QString& text) { arrayModel_->cellText(row, column, text); });
}

bool OutputArrayView::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::MouseButtonPress)
        return FixedColumnGrid::eventFilter(watched, event);
    auto* press = static_cast<QMouseEvent*>(event);
    const QPoint pos = qtcompat::mousePoint(*press);
    if (watched == titles()->viewport()) {
        const int column = titles()->logicalIndexAt(pos);
        return reportPress(press, column, 0);
    }
    if (watched == fixedColumn()->viewport()) {
        const int row = fixedColumn()->logicalIndexAt(pos);
        return reportPress(press, 0, row < 0 ? -1 : row + 1);
    }
    return reportPress(press, 0, 0); // the corner
}

} // namespace telvar5
