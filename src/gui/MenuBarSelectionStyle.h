#pragma once
// The menu bar's style where the application's style does not draw the menu
// that the keyboard selected (F10 or Alt alone, then the arrows): there the
// bar took the keyboard with no sign at all. Fusion, Qt's style on Linux,
// draws a menu title highlighted only while its menu is open; this draws the
// keyboard's selection as that. Windows' styles draw it as Windows does, and
// keep their own drawing.
#include <QProxyStyle>

class QMenuBar;

namespace telvar5 {

class MenuBarSelectionStyle : public QProxyStyle {
    Q_OBJECT
public:
    // Gives the bar this style if its own draws a selected title as a plain one.
    static void installWhereNeeded(QMenuBar& bar);

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;

private:
    // The application's style underneath; owned by `owner`.
    explicit MenuBarSelectionStyle(QObject* owner);
};

} // namespace telvar5
