#include "gui/MenuBarCorner.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QMenuBar>

namespace telvar5 {

MenuBarCorner::MenuBarCorner(QMenuBar& menuBar) : QWidget(&menuBar)
{
    setObjectName(QStringLiteral("MenuBarCorner"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    menuBar.setCornerWidget(this, Qt::TopRightCorner);
}

void MenuBarCorner::addIndicator(QWidget* indicator) { layout()->addWidget(indicator); }

bool MenuBarCorner::event(QEvent* event)
{
    const bool handled = QWidget::event(event);
    // The layout has taken the request by now; the menu bar watches its corner widget for showings.
    if (event->type() == QEvent::LayoutRequest) {
        QEvent relayout(QEvent::ShowToParent);
        QCoreApplication::sendEvent(this, &relayout);
    }
    return handled;
}

} // namespace telvar5
