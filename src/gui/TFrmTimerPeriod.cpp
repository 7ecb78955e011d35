#include "gui/TFrmTimerPeriod.h"

#include <QApplication>
#include <QFontMetrics>
#include <QShowEvent>
#include <algorithm>

#include "core/RefreshPeriod.h"
#include "gui/UiFonts.h"

namespace telvar5 {

TFrmTimerPeriod::TFrmTimerPeriod(Monitor& monitor, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowCloseButtonHint),
      monitor_(monitor)
{
    setObjectName(QStringLiteral("FrmTimerPeriod"));
    setWindowTitle(QStringLiteral("Период обновления экрана, мс"));
    setModal(true);
    // Wide enough that the title bar shows the whole title (a bold caption of the
    // desktop's font, beside the window's icon and close box); 264 otherwise.
    QFont caption = QApplication::font();
    caption.setBold(true);
    const int titleWidth = QFontMetrics(caption).horizontalAdvance(windowTitle()) + kTitleBarRoom;
    setFixedSize(std::max(264, titleWidth), 117);
    // A narrow face, so "Применить" fits its 75-pixel button.
    setFont(ui::sansFont(12));

    Edit1_ = new QLineEdit(this);
    Edit1_->setObjectName(QStringLiteral("Edit1"));
    Edit1_->setGeometry(64, 16, 97, 21);

    Button1_ = new QPushButton(QStringLiteral("Применить"), this);
    Button1_->setObjectName(QStringLiteral("Button1"));
    Button1_->setGeometry(32, 48, 75, 25);
    Button1_->setDefault(true);

    Button2_ = new QPushButton(QStringLiteral("Отмена"), this);
    Button2_->setObjectName(QStringLiteral("Button2"));
    Button2_->setGeometry(160, 48, 75, 25);
    Button2_->setAutoDefault(false);

    connect(Button1_, &QPushButton::clicked, this, &TFrmTimerPeriod::Button1Click);
    connect(Button2_, &QPushButton::clicked, this, &TFrmTimerPeriod::Button2Click);
}

void TFrmTimerPeriod::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TFrmTimerPeriod::FormShow()
{
    Edit1_->setText(QString::fromStdString(periodText(monitor_.run().refreshPeriodMs)));
    Edit1_->selectAll();
    Edit1_->setFocus();
}

void TFrmTimerPeriod::Button1Click()
{
    monitor_.setRefreshPeriod(periodFromText(Edit1_->text().toStdString(), monitor_.run().refreshPeriodMs));
    accept();
}

void TFrmTimerPeriod::Button2Click() { reject(); }

} // namespace telvar5
