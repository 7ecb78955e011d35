#include "gui/device/TFrmOpenMethodChoice.h"

#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace telvar5 {

TFrmOpenMethodChoice::TFrmOpenMethodChoice(int& openMethod, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowCloseButtonHint),
      openMethod_(openMethod)
{
    setObjectName(QStringLiteral("FrmOpenMethodChoice"));
    setWindowTitle(QStringLiteral("Способ открытия устройства"));
    setToolTip(QStringLiteral("для формирования исходного кода"));
    setModal(true);

    rg_OpenMethod_ = new QGroupBox(this);
    rg_OpenMethod_->setObjectName(QStringLiteral("rg_OpenMethod"));
    items_ = new QButtonGroup(this);
    auto* groupLayout = new QVBoxLayout(rg_OpenMethod_);
    const QString captions[] = {QStringLiteral("по серийному номеру"), QStringLiteral("по порядковому номеру"),
                                QStringLiteral("по символьному имени")};
    for (int i = 0; i < 3; ++i) {
        auto* item = new QRadioButton(captions[i], rg_OpenMethod_);
        item->setObjectName(QStringLiteral("rg_OpenMethodItem") + QString::number(i));
        items_->addButton(item, i);
        groupLayout->addWidget(item);
    }
    setItemIndex(0);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->addWidget(rg_OpenMethod_);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

int TFrmOpenMethodChoice::itemIndex() const { return items_->checkedId(); }

void TFrmOpenMethodChoice::setItemIndex(int index)
{
    if (QAbstractButton* item = items_->button(index))
        item->setChecked(true);
}

void TFrmOpenMethodChoice::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        setItemIndex(openMethod_);
}

void TFrmOpenMethodChoice::done(int result)
{
    if (itemIndex() >= 0)
        openMethod_ = itemIndex();
    QDialog::done(result);
}

} // namespace telvar5
