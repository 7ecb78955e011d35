#include "gui/ToolMenu.h"

#include "gui/ToolWindows.h"

#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace telvar5 {

QMenu* addMenuBeforeHelp(QMainWindow& window, const char* title, const char* name)
{
    QMenuBar* bar = window.menuBar();
    auto* menu = new QMenu(QString::fromUtf8(title), bar);
    menu->setObjectName(QString::fromLatin1(name));
    menu->menuAction()->setObjectName(QString::fromLatin1(name) + QStringLiteral("Action"));
    const auto* help = bar->findChild<QMenu*>(QStringLiteral("mmHelp"));
    bar->insertMenu(help ? help->menuAction() : nullptr, menu);
    return menu;
}

QAction* addMenuItem(QMenu* menu, const char* name, const char* caption, const char* hint)
{
    QAction* item = menu->addAction(QString::fromUtf8(caption));
    item->setObjectName(QString::fromLatin1(name));
    item->setStatusTip(QString::fromUtf8(hint));
    return item;
}

void showToolWindow(QMainWindow& owner, QWidget* window) { ToolWindows::of(owner).show(window); }

} // namespace telvar5
