#pragma once
// Where a tool window stands on the screen, in frame rectangles (title bar and
// border included). It opens beside the main window where the work area has
// room for it there, otherwise over the data area, below the menu bar and the
// tool bar; it is never larger than the work area and never leaves it.
#include <QMargins>
#include <QRect>
#include <QSize>

namespace telvar5 {

class ToolWindowPlacement {
public:
    // The screen and the main window, as a tool window about to open finds them.
    struct Scene {
        QRect workArea;  // the screen's work area (without the task bar)
        QRect mainFrame; // the main window's frame
        QRect dataArea;  // the part of the main window under its menu bar and tool bar
    };

    // Each window opened for the first time stands this far right and down of the one before.
    static constexpr int kCascadeStep = 24;
    static constexpr int kCascadeSteps = 6;

    // The first place of a window whose frame would be `frame` large and at least
    // `minimum`; `opened` windows were placed before it in this run.
    static QRect firstPlace(QSize frame, QSize minimum, const Scene& scene, int opened);
    // A remembered place made whole on the work area: moved in, and shrunk where
    // larger (not below `minimum`), for a screen smaller than the one it was left on.
    static QRect keptOnScreen(QRect frame, QSize minimum, const QRect& workArea);
};

} // namespace telvar5
