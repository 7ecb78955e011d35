#pragma once
// The program's help: the Russian help page from the resources in a browser
// window of its own, opened by "Справка", tbHelp and F1 as a tool window of the main window.
#include <QTextBrowser>
#include <QWidget>

namespace telvar5 {

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);
    // Turns to the top of the contents page; the main window shows the window as a tool window of its own.
    void turnToContents();
    QTextBrowser* browser() const { return browser_; }

private:
    QTextBrowser* browser_ = nullptr;
};

} // namespace telvar5
