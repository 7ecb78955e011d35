#include "gui/EscapeClosesWindow.h"

#include <QKeyEvent>
#include <QWidget>

namespace telvar5 {

EscapeClosesWindow::EscapeClosesWindow(QWidget* window) : QObject(window) {}

void EscapeClosesWindow::install(QWidget* window)
{
    if (window->findChild<EscapeClosesWindow*>(QString(), Qt::FindDirectChildrenOnly))
        return;
    window->installEventFilter(new EscapeClosesWindow(window));
}

bool EscapeClosesWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Escape || key->modifiers() != Qt::NoModifier)
        return false;
    static_cast<QWidget*>(parent())->close();
    (void)watched;
    return true;
}

} // namespace telvar5
