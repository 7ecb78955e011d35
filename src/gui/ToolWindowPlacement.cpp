#include "gui/ToolWindowPlacement.h"

#include <algorithm>

namespace telvar5 {

namespace {

// The start of a span of `length` moved into [low, end) as far as it goes; the low edge wins.
int startWithin(int start, int length, int low, int end) { return std::max(low, std::min(start, end - length)); }

// `size` within `room`, but not below `minimum`, and never beyond `limit`.
QSize fitted(QSize size, QSize minimum, QSize room, QSize limit)
{
    return size.boundedTo(room).expandedTo(minimum).boundedTo(limit);
}

} // namespace

QRect ToolWindowPlacement::firstPlace(QSize frame, QSize minimum, const Scene& scene, int opened)
{
    const QRect& work = scene.workArea;
    // Below the menus as far as the window's smallest height allows.
    const int top = std::clamp(scene.dataArea.top(), work.top(), work.bottom());
    const QSize size = fitted(frame, minimum, {work.width(), work.bottom() + 1 - top}, work.size());

    QPoint at;
    if (work.right() - scene.mainFrame.right() >= size.width()) {
        at = {scene.mainFrame.right() + 1, top};
    } else if (scene.mainFrame.left() - work.left() >= size.width()) {
        at = {scene.mainFrame.left() - size.width(), top};
    } else {
        const int step = kCascadeStep * (opened % kCascadeSteps);
        at = scene.dataArea.topLeft() + QPoint(step, step);
    }
    return {QPoint(startWithin(at.x(), size.width(), work.left(), work.right() + 1),
                   startWithin(at.y(), size.height(), work.top(), work.bottom() + 1)),
            size};
}

QRect ToolWindowPlacement::keptOnScreen(QRect frame, QSize minimum, const QRect& workArea)
{
    const QSize size = fitted(frame.size(), minimum, workArea.size(), workArea.size());
    return {QPoint(startWithin(frame.x(), size.width(), workArea.left(), workArea.right() + 1),
                   startWithin(frame.y(), size.height(), workArea.top(), workArea.bottom() + 1)),
            size};
}

} // namespace telvar5
