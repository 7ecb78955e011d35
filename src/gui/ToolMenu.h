#pragma once
// The menus of tool windows beside the main one ("Анализ", "Стимулы"): each
// stands just before "Справка", its items carry a status hint, and a window
// asked for again is raised rather than made anew; the main window's
// ToolWindows places it and keeps it above the main window.
class QAction;
class QMainWindow;
class QMenu;
class QWidget;

namespace telvar5 {

// A menu `title` (UTF-8) named `name`, its action `name` + "Action", put just before "Справка".
QMenu* addMenuBeforeHelp(QMainWindow& window, const char* title, const char* name);
QAction* addMenuItem(QMenu* menu, const char* name, const char* caption, const char* hint);
void showToolWindow(QMainWindow& owner, QWidget* window);

} // namespace telvar5
