#include "gui/MenuBarCorner.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QStyle>
#include <QStyleOptionMenuItem>

namespace telvar5 {

namespace {
constexpr int kSlack = 8; // between the last title and the corner
} // namespace

MenuBarCorner::MenuBarCorner(QMenuBar& menuBar) : QWidget(&menuBar), menuBar_(menuBar)
{
    setObjectName(QStringLiteral("MenuBarCorner"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    menuBar.setCornerWidget(this, Qt::TopRightCorner);
    menuBar.installEventFilter(this);
}

bool MenuBarCorner::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &menuBar_ && (event->type() == QEvent::Resize || event->type() == QEvent::ActionAdded ||
                                 event->type() == QEvent::ActionChanged))
        keepMenusWhole();
    return QWidget::eventFilter(watched, event);
}

void MenuBarCorner::keepMenusWhole()
{
    // Each title as the style sizes it, and the bar's own margins.
    int titles = 2 * menuBar_.style()->pixelMetric(QStyle::PM_MenuBarHMargin, nullptr, &menuBar_) +
                 2 * menuBar_.style()->pixelMetric(QStyle::PM_MenuBarPanelWidth, nullptr, &menuBar_);
    for (QAction* action : menuBar_.actions()) {
        if (!action->isVisible())
            continue;
        QStyleOptionMenuItem item;
        item.initFrom(&menuBar_);
        item.menuItemType = QStyleOptionMenuItem::Normal;
        item.text = action->text();
        const QSize text = menuBar_.fontMetrics().size(Qt::TextShowMnemonic, action->text());
        titles += menuBar_.style()->sizeFromContents(QStyle::CT_MenuBarItem, &item, text, &menuBar_).width() +
                  menuBar_.style()->pixelMetric(QStyle::PM_MenuBarItemSpacing, nullptr, &menuBar_);
    }
    const int room = qMax(0, menuBar_.width() - titles - kSlack);
    if (room == maximumWidth())
        return;
    setMaximumWidth(room);
    // The bar places its corner anew only when told of a showing.
    QEvent relayout(QEvent::ShowToParent);
    QCoreApplication::sendEvent(this, &relayout);
}

QSize MenuBarCorner::sizeHint() const { return QWidget::sizeHint().boundedTo(maximumSize()); }

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
