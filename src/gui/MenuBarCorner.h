#pragma once
// The right end of the menu bar, holding the program's indicators side by
// side. The menu bar lays its corner widget out only when that widget is shown
// or hidden, not when its size changes; an indicator that appears, goes or
// changes its text changes this widget's size, so it then tells the menu bar
// as a showing would. It never takes room the menu titles need: a long
// indicator is shortened (see RecordingIndicator) rather than the menus
// folded away behind the bar's extension arrow.
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

    // The bar places its corner by this hint alone: it keeps within the room left.
    QSize sizeHint() const override;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void keepMenusWhole();

    QMenuBar& menuBar_;
};

} // namespace telvar5
