#pragma once
// The few places where Qt 5.15 (the Windows package, which must run on
// Windows 7) and Qt 6 (Linux) differ in what the forms use. Everything else
// in the program is written once for both; the differences stay here.
#include <QAbstractItemView>
#include <QIcon>
#include <QLibraryInfo>
#include <QMouseEvent>
#include <QPixmap>
#include <QStyleOptionSlider>
#include <QStyleOptionViewItem>
#include <QtGlobal>
#include <QHashFunctions>

namespace telvar5::qtcompat {

// Where a mouse event happened, in the receiving widget's pixels.
inline QPoint mousePoint(const QMouseEvent& event)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return event.position().toPoint();
#else
    return event.pos();
#endif
}

// The keyboard modifiers the style may draw a slider by (Qt 5's option has none).
inline int sliderModifiers([[maybe_unused]] const QStyleOptionSlider& option)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return int(option.keyboardModifiers);
#else
    return 0;
#endif
}

// The view's own item option, as it would hand it to its delegate. The view's
// initialiser is protected: it is named here through a class derived from the
// view, which is what access control asks, and called on the view itself.
inline QStyleOptionViewItem viewItemOption(const QAbstractItemView& view)
{
    struct Access : QAbstractItemView {
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
        static auto initialiser() { return &Access::initViewItemOption; }
#else
        static auto initialiser() { return &Access::viewOptions; }
#endif
    };
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    QStyleOptionViewItem option;
    (view.*Access::initialiser())(&option);
    return option;
#else
    return (view.*Access::initialiser())();
#endif
}

// One hash of several values, for QHash keys (Qt 5 has no qHashMulti).
template <typename... Values>
inline size_t hashMulti(size_t seed, const Values&... values)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return qHashMulti(seed, values...);
#else
    // The combination of boost::hash_combine, as Qt 6's qHashMulti does it.
    ((seed ^= size_t(qHash(values)) + 0x9e3779b9 + (seed << 6) + (seed >> 2)), ...);
    return seed;
#endif
}

// The folder of Qt's own translations.
inline QString translationsPath()
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
#else
    return QLibraryInfo::location(QLibraryInfo::TranslationsPath);
#endif
}

// The icon drawn at `size` pixels exactly, whatever the screen's scale.
inline QPixmap pixmapOfSize(const QIcon& icon, QSize size)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return icon.pixmap(size, 1.0);
#else
    QPixmap pixmap = icon.pixmap(size);
    if (pixmap.size() != size) // drawn for a scaled screen
        pixmap = pixmap.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    pixmap.setDevicePixelRatio(1.0);
    return pixmap;
#endif
}

} // namespace telvar5::qtcompat
