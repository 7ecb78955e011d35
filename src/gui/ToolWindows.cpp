#include "gui/ToolWindows.h"

#include <QEvent>
#include <QMainWindow>
#include <QScreen>
#include <QWindow>

#include "gui/EscapeClosesWindow.h"
#include "gui/ToolWindowPlacement.h"

namespace telvar5 {

namespace {

QRect screenWorkArea(const QWidget& widget)
{
    const QScreen* screen = widget.screen();
    return screen ? screen->availableGeometry() : QRect();
}

// The frame around a window's client area; before a window has shown, the main window's tells it.
QMargins frameMargins(const QWidget& window, const QWidget& fallback)
{
    const QWidget& known = window.frameGeometry() != window.geometry() ? window : fallback;
    const QRect frame = known.frameGeometry();
    const QRect inner = known.geometry();
    return {inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
            frame.bottom() - inner.bottom()};
}

QSize grown(QSize size, const QMargins& margins)
{
    return {size.width() + margins.left() + margins.right(), size.height() + margins.top() + margins.bottom()};
}

} // namespace

ToolWindows::ToolWindows(QMainWindow& owner) : QObject(&owner), owner_(owner), workArea_(screenWorkArea)
{
    setObjectName(QStringLiteral("ToolWindows"));
}

ToolWindows& ToolWindows::of(QMainWindow& owner)
{
    if (auto* found = owner.findChild<ToolWindows*>(QString(), Qt::FindDirectChildrenOnly))
        return *found;
    return *new ToolWindows(owner);
}

void ToolWindows::show(QWidget* window)
{
    adopt(window);
    if (!window->isVisible())
        place(window);
    window->show();
    window->raise();
    window->activateWindow();
}

void ToolWindows::adopt(QWidget* window)
{
    if (adopted_.contains(window))
        return;
    adopted_.insert(window);
    connect(window, &QObject::destroyed, this, [this](QObject* gone) { adopted_.remove(gone); });
    // A tool window: the type both window systems keep above the window it belongs to.
    window->setParent(&owner_, (window->windowFlags() & ~Qt::WindowType_Mask) | Qt::Tool);
    EscapeClosesWindow::install(window);
    window->installEventFilter(this);
}

void ToolWindows::place(QWidget* window)
{
    const QRect workArea = workArea_(owner_);
    if (workArea.isEmpty())
        return;
    const QMargins margins = frameMargins(*window, owner_);
    const QSize minimum = grown(window->minimumSizeHint().expandedTo(window->minimumSize()), margins);
    QRect frame;
    if (const auto left = places_.constFind(window->objectName()); left != places_.constEnd()) {
        frame = ToolWindowPlacement::keptOnScreen(*left, minimum, workArea);
    } else {
        const QWidget* data = owner_.centralWidget() ? owner_.centralWidget() : &owner_;
        const ToolWindowPlacement::Scene scene{workArea, owner_.frameGeometry(),
                                               QRect(data->mapToGlobal(QPoint(0, 0)), data->size())};
        frame = ToolWindowPlacement::firstPlace(grown(window->size(), margins), minimum, scene, opened_++);
    }
    window->resize(frame.size().shrunkBy(margins));
    window->move(frame.topLeft());
}

void ToolWindows::keepWhole(QWidget* dialog)
{
    if (kept_.contains(dialog))
        return;
    kept_.insert(dialog);
    connect(dialog, &QObject::destroyed, this, [this](QObject* gone) { kept_.remove(gone); });
    dialog->installEventFilter(this);
}

void ToolWindows::moveWhole(QWidget* dialog)
{
    const QRect workArea = workArea_(owner_);
    if (workArea.isEmpty())
        return;
    const QMargins margins = frameMargins(*dialog, owner_);
    const QRect frame(dialog->pos(), grown(dialog->size(), margins));
    const QRect whole = ToolWindowPlacement::keptOnScreen(frame, grown(dialog->minimumSizeHint(), margins), workArea);
    if (whole.size() != frame.size())
        dialog->resize(whole.size().shrunkBy(margins));
    if (whole.topLeft() != frame.topLeft())
        dialog->move(whole.topLeft());
}

bool ToolWindows::eventFilter(QObject* watched, QEvent* event)
{
    auto* window = static_cast<QWidget*>(watched);
    if (event->type() == QEvent::Hide && adopted_.contains(watched))
        places_.insert(window->objectName(), window->frameGeometry());
    else if (event->type() == QEvent::Show && kept_.contains(watched))
        moveWhole(window);
    return QObject::eventFilter(watched, event);
}

} // namespace telvar5
