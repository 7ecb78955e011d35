#pragma once
// The right end of the menu bar, holding the program's indicators side by
// side. The menu bar lays its corner widget out only when that widget is shown
// or hidden, not when its size changes; an indicator that appears, goes or
// changes its text changes this widget's size, so it then tells the menu bar
// as a showing would.
#include <QWidget>

class QMenuBar;

namespace telvar5 {

class MenuBarCorner : public QWidget {
    Q_OBJECT
public:
    // Placed at the menu bar's top right corner.
    explicit MenuBarCorner(QMenuBar& menuBar);
    // Adds an indicator after those added before.
    void addIndicator(QWidget* indicator);

protected:
    bool event(QEvent* event) override;
};

} // namespace telvar5
