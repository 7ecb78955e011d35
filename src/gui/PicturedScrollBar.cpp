#include "gui/PicturedScrollBar.h"
#include "gui/QtCompat.h"

#include <QDataStream>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QStyleOptionSlider>

namespace telvar5 {

namespace {

// Everything of the option the style draws the bar from, and the style.
QByteArray lookOf(const QStyleOptionSlider& option, const QStyle* style)
{
    QByteArray look;
    QDataStream out(&look, QIODevice::WriteOnly);
    out << quintptr(style) << int(option.state) << int(option.direction) << option.rect << option.palette.cacheKey()
        << int(option.subControls) << int(option.activeSubControls) << int(option.orientation) << option.minimum
        << option.maximum << int(option.tickPosition) << option.tickInterval << option.upsideDown
        << option.sliderPosition << option.sliderValue << option.singleStep << option.pageStep
        << option.notchTarget << option.dialWrapping << qtcompat::sliderModifiers(option);
    return look;
}

} // namespace

PicturedScrollBar::PicturedScrollBar(Qt::Orientation orientation, QWidget* parent) : QScrollBar(orientation, parent)
{
}

bool PicturedScrollBar::event(QEvent* event)
{
    if (event->type() == QEvent::StyleAnimationUpdate)
        picture_.forget();
    return QScrollBar::event(event);
}

void PicturedScrollBar::paintEvent(QPaintEvent* event)
{
    if (underMouse() || held_) {
        picture_.forget();
        QScrollBar::paintEvent(event);
        return;
    }
    // As QScrollBar paints itself with no part hovered or pressed.
    QStyleOptionSlider option;
    initStyleOption(&option);
    option.subControls = QStyle::SC_All;
    const auto draw = [this, &option](QPainter& painter) {
        style()->drawComplexControl(QStyle::CC_ScrollBar, &option, &painter, this);
    };
    if (!picture_.paint(*this, event->region(), lookOf(option, style()), draw))
        QScrollBar::paintEvent(event);
}

void PicturedScrollBar::mousePressEvent(QMouseEvent* event)
{
    held_ = true;
    QScrollBar::mousePressEvent(event);
}

void PicturedScrollBar::mouseReleaseEvent(QMouseEvent* event)
{
    held_ = event->buttons() != Qt::NoButton;
    QScrollBar::mouseReleaseEvent(event);
}

} // namespace telvar5
