#include "gui/formats/FormatEditorGrid.h"

#include <QHeaderView>
#include <algorithm>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QToolTip>

#include "gui/CellEditDelegate.h"
#include "gui/ClickOpensEditor.h"
#include "gui/GridKeyFilter.h"
#include "gui/GridTitleHeader.h"
#include "gui/UiFonts.h"
#include "gui/QtCompat.h"

namespace telvar5 {

namespace {
// A click on the selected cell opens its editor through ClickOpensEditor, which keeps the keys typed meanwhile.
constexpr QAbstractItemView::EditTriggers kTypingTriggers = QAbstractItemView::AnyKeyPressed
    | QAbstractItemView::EditKeyPressed | QAbstractItemView::DoubleClicked;
} // namespace

FormatEditorGrid::FormatEditorGrid(const QString& objectName, bool editable, QWidget* parent) : QTableView(parent)
{
    setObjectName(objectName);
    setFont(ui::fixedFont(kFontPx));
    titles_ = GridTitleHeader::installOn(*this, kRowHeight);
    verticalHeader()->setMinimumSectionSize(kRowHeight);
    verticalHeader()->setDefaultSectionSize(kRowHeight);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->hide();

    setShowGrid(true);
    setWordWrap(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setTabKeyNavigation(false);

    keys_ = new GridKeyFilter(this);
    delegate_ = new CellEditDelegate(editable ? keys_ : nullptr, 0, this);
    setItemDelegate(delegate_);
    if (editable) {
        installEventFilter(keys_);
        connect(keys_, &GridKeyFilter::character, this, &FormatEditorGrid::keyPressed);
        connect(delegate_, &CellEditDelegate::editTextChanged, this,
                [this](int column, int row, const QString& text) { emit editTextChanged(column, row + 1, text); });
    }
    setEditTriggers(editable ? kTypingTriggers : NoEditTriggers);
    if (editable)
        ClickOpensEditor::install(this);
    // Presses and double clicks on the title row are grid cells too.
    titles_->viewport()->installEventFilter(this);
}

void FormatEditorGrid::setColumnWidths(std::initializer_list<int> widths)
{
    // The widths were made for the fonts the program was first drawn with; a title that does not
    // fit in the font in use ("№ ст.бита" ran into "№ мл.бита") widens its column.
    const QFontMetrics metrics(font());
    int column = 0;
    for (int width : widths) {
        const QString title = model() ? model()->headerData(column, Qt::Horizontal).toString() : QString();
        setColumnWidth(column, std::max(width, metrics.horizontalAdvance(title) + kTitleRoom));
        ++column;
    }
}

int FormatEditorGrid::widthForColumns() const
{
    return horizontalHeader()->length() + 2 * frameWidth()
        + style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, verticalScrollBar());
}

int FormatEditorGrid::currentGridRow() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() + 1 : 1;
}

QRect FormatEditorGrid::cellRect(int column, int row) const
{
    const int left = viewport()->x() - contentsRect().x() + columnViewportPosition(column);
    if (row == 0)
        return {left, titles_->y() - contentsRect().y(), columnWidth(column), titles_->height()};
    const int top = viewport()->y() - contentsRect().y() + rowViewportPosition(row - 1);
    return {left, top, columnWidth(column), rowHeight(row - 1)};
}

QWidget* FormatEditorGrid::cellEditor() const
{
    return state() == EditingState ? indexWidget(currentIndex()) : nullptr;
}

void FormatEditorGrid::endEditing()
{
    if (QWidget* editor = cellEditor())
        closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void FormatEditorGrid::mousePressEvent(QMouseEvent* event)
{
    // The press makes its cell current first, as the grid the program was made with does.
    QTableView::mousePressEvent(event);
    const QPoint pos = qtcompat::mousePoint(*event);
    const int row = rowAt(pos.y());
    const int column = columnAt(pos.x());
    if (row < 0 || column < 0)
        emit mousePressed(-1, -1);
    else
        emit mousePressed(column, row + 1);
}

void FormatEditorGrid::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The double click acts on the cell the first press made current.
    emit cellDoubleClicked();
    QTableView::mouseDoubleClickEvent(event);
}

void FormatEditorGrid::keyPressEvent(QKeyEvent* event)
{
    // Enter opens the current cell's editor, as F2 does; in the editor it ends the editing.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && editable() && state() != EditingState && currentIndex().isValid()
        && edit(currentIndex(), EditKeyPressed, event))
        return;
    QTableView::keyPressEvent(event);
}

bool FormatEditorGrid::eventFilter(QObject* watched, QEvent* event)
{
    if (titles_ && watched == titles_->viewport()) { // the view filters its scroll bars while it is made
        if (event->type() == QEvent::MouseButtonPress) {
            const int column = titles_->logicalIndexAt(qtcompat::mousePoint(*static_cast<QMouseEvent*>(event)));
            emit mousePressed(column, column < 0 ? -1 : 0);
        } else if (event->type() == QEvent::MouseButtonDblClick) {
            emit cellDoubleClicked();
        }
    }
    return QTableView::eventFilter(watched, event);
}

bool FormatEditorGrid::viewportEvent(QEvent* event)
{
    // The grid's own hint over every cell; the cells have none of their own.
    if (event->type() == QEvent::ToolTip && !toolTip().isEmpty()) {
        QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), toolTip(), this);
        return true;
    }
    return QTableView::viewportEvent(event);
}

} // namespace telvar5
