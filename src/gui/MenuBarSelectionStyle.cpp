#include "gui/MenuBarSelectionStyle.h"

#include <QImage>
#include <QMenuBar>
#include <QPainter>
#include <QStyleOptionMenuItem>

namespace telvar5 {

namespace {

// A menu title as the bar's style draws it with the keyboard in the bar, selected or not.
QImage titlePicture(const QMenuBar& bar, bool selected)
{
    QStyleOptionMenuItem option;
    option.initFrom(&bar);
    option.state = QStyle::State_Enabled | QStyle::State_HasFocus;
    if (selected)
        option.state |= QStyle::State_Selected;
    option.menuItemType = QStyleOptionMenuItem::Normal;
    option.text = QStringLiteral("Меню");
    option.rect = QRect(QPoint(0, 0), bar.fontMetrics().size(Qt::TextShowMnemonic, option.text) + QSize(16, 8));
    option.menuRect = option.rect;
    QImage picture(option.rect.size(), QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    bar.style()->drawControl(QStyle::CE_MenuBarItem, &option, &painter, &bar);
    return picture;
}

} // namespace

MenuBarSelectionStyle::MenuBarSelectionStyle(QObject* owner) { setParent(owner); }

void MenuBarSelectionStyle::installWhereNeeded(QMenuBar& bar)
{
    if (titlePicture(bar, true) == titlePicture(bar, false))
        bar.setStyle(new MenuBarSelectionStyle(&bar));
}

void MenuBarSelectionStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                                        const QWidget* widget) const
{
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    // The bar has the keyboard focus only while the keyboard moves through it.
    const bool keyboardSelected = element == CE_MenuBarItem && item && widget && widget->hasFocus()
        && (item->state & State_Selected) && !(item->state & State_Sunken);
    if (!keyboardSelected) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    // Drawn as the title of an open menu is.
    QStyleOptionMenuItem selected = *item;
    selected.state |= State_Sunken;
    QProxyStyle::drawControl(element, &selected, painter, widget);
}

} // namespace telvar5
