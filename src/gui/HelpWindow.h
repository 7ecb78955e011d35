#pragma once
// The program's help: the Russian help page from the resources in a browser
// window of its own, opened by "Справка", tbHelp and F1.
#include <QTextBrowser>
#include <QWidget>

namespace telvar5 {

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);
    // Shows the contents page and brings the window to the front.
    void showContents();
    QTextBrowser* browser() const { return browser_; }

private:
    QTextBrowser* browser_ = nullptr;
};

} // namespace telvar5
