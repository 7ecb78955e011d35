#pragma once
// What the widget tests use that Qt 5.15 (the Windows package) and Qt 6
// (Linux) spell differently; the product's own differences are in
// gui/QtCompat.h.
#include <QAction>
#include <QList>
#include <QObject>
#include <QWidget>
#include <QtGlobal>

#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
#include <QKeyCombination>
#endif

namespace telvar5::qtcompat {

// The menus and tool bars an action is shown in.
inline QList<QObject*> actionOwners(const QAction& action)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return action.associatedObjects();
#else
    QList<QObject*> owners;
    for (QWidget* widget : action.associatedWidgets())
        owners.append(widget);
    return owners;
#endif
}

#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
using KeyCombination = QKeyCombination;
#else
// A key with its modifiers, written as Qt 6 writes it: Qt::Key_V or Qt::ControlModifier | Qt::Key_V.
class KeyCombination {
public:
    template <typename Combined>
    KeyCombination(Combined combined) : value_(int(combined)) {}
    Qt::Key key() const { return Qt::Key(value_ & ~int(Qt::KeyboardModifierMask)); }
    Qt::KeyboardModifiers keyboardModifiers() const { return Qt::KeyboardModifiers(value_ & int(Qt::KeyboardModifierMask)); }

private:
    int value_;
};
#endif

} // namespace telvar5::qtcompat
