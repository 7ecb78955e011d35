#include "gui/FixedColumnGrid.h"

#include <QAbstractButton>
#include <QDataStream>
#include <QPaintEvent>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionFrame>

#include "gui/GridCornerTitle.h"
#include "gui/GridFixedColumn.h"
#include "gui/GridTitleHeader.h"
#include "gui/PicturedScrollBar.h"
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

    // The item view follows its first bars' actions and values; the pictured bars are followed alike.
    setVerticalScrollBar(new PicturedScrollBar(Qt::Vertical));
    setHorizontalScrollBar(new PicturedScrollBar(Qt::Horizontal));
    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this, &FixedColumnGrid::verticalScrollbarAction);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &FixedColumnGrid::verticalScrollbarValueChanged);
    connect(horizontalScrollBar(), &QScrollBar::actionTriggered, this, &FixedColumnGrid::horizontalScrollbarAction);
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this,
            &FixedColumnGrid::horizontalScrollbarValueChanged);
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
    columnsWidth_ = 0;
    for (int width : widths) {
        columnsWidth_ += width;
        if (column == 0)
            fixedColumn_->setFixedWidth(width);
        else
            setColumnWidth(column, width);
        ++column;
    }
    updateGeometries();
}

int FixedColumnGrid::fixedColumnWidth() const { return fixedColumn_->width(); }

int FixedColumnGrid::widthForColumns() const
{
    return columnsWidth_ + 2 * frameWidth() + style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, verticalScrollBar());
}

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
    // The table view's own corner button lies wholly under the title, which covers every pixel of it.
    if (auto* button = findChild<QAbstractButton*>(QString(), Qt::FindDirectChildrenOnly))
        button->setHidden(corner_->isVisible() && corner_->palette().color(QPalette::Button).alpha() == 255);
}

bool FixedColumnGrid::event(QEvent* event)
{
    if (event->type() == QEvent::StyleAnimationUpdate)
        frame_.forget();
    if (event->type() == QEvent::Paint && paintFrameFromPicture(static_cast<QPaintEvent*>(event)->region()))
        return true;
    return QTableView::event(event);
}

bool FixedColumnGrid::paintFrameFromPicture(const QRegion& region)
{
    if (horizontalScrollBar()->isVisibleTo(this) && verticalScrollBar()->isVisibleTo(this)) {
        frame_.forget();
        return false;
    }
    QStyleOptionFrame option;
    initStyleOption(&option);
    QByteArray look;
    QDataStream out(&look, QIODevice::WriteOnly);
    out << quintptr(style()) << int(option.state) << int(option.direction) << option.rect
        << option.palette.cacheKey() << option.lineWidth << option.midLineWidth << int(option.features)
        << int(option.frameShape);
    return frame_.paint(*this, region, look, [this](QPainter& painter) { drawFrame(&painter); });
}

} // namespace telvar5
