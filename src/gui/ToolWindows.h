#pragma once
// The tool windows of the main window (the analysis and stimulus windows, the
// module's journal, the help). Each is owned by the main window, so that the
// window system keeps it above it: the transient hint on X11, the owner on
// Windows. It opens beside the main window or over its data area, never over
// the menus, whole on the work area, and comes back where the user left it
// for as long as the program runs. The dialogs that open at a place of their
// own are kept whole on the work area too.
#include <QHash>
#include <QObject>
#include <QRect>
#include <QSet>
#include <functional>

class QMainWindow;
class QWidget;

namespace telvar5 {

class ToolWindows : public QObject {
    Q_OBJECT
public:
    // The work area of the screen a widget stands on.
    using WorkArea = std::function<QRect(const QWidget&)>;

    // The main window's own, made on first use.
    static ToolWindows& of(QMainWindow& owner);

    // Makes the window a tool window of the main one (once), places it when it
    // is hidden, shows it and brings it to the front.
    void show(QWidget* window);
    // Moves the dialog, each time it shows, as far as it takes to be whole on the work area.
    void keepWhole(QWidget* dialog);
    // The screen's work area, for a test to lay the windows out on a screen of its own.
    void setWorkArea(WorkArea workArea) { workArea_ = std::move(workArea); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit ToolWindows(QMainWindow& owner);
    void adopt(QWidget* window);
    void place(QWidget* window);
    void moveWhole(QWidget* dialog);

    QMainWindow& owner_;
    WorkArea workArea_;
    QSet<QObject*> adopted_;
    QSet<QObject*> kept_;
    QHash<QString, QRect> places_; // frames by window name, where the user left them
    int opened_ = 0;
};

} // namespace telvar5
