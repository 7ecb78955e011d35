#include "gui/device/TFrmDeviceChoice.h"

#include <QHBoxLayout>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QVBoxLayout>

#include "gui/UiFonts.h"

namespace telvar5 {

TFrmDeviceChoice::TFrmDeviceChoice(DeviceChoice& choice, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowCloseButtonHint),
      choice_(choice)
{
    setObjectName(QStringLiteral("FrmDeviceChoice"));
    setWindowTitle(QStringLiteral("Выбор устройства"));
    setModal(true);

    const QFont fixed = ui::fixedFont(ui::kGridFontPx);
    // The headings stand right-aligned over the columns of the lines below ("%18d %25d").
    Label1_ = new QLabel(QStringLiteral("%1 %2").arg(QStringLiteral("Серийный №"), kSerialColumn)
                             .arg(QStringLiteral("Порядковый №"), kOrdinalColumn), this);
    Label1_->setObjectName(QStringLiteral("Label1"));
    Label1_->setFont(fixed);

    DeviceList_ = new QComboBox(this);
    DeviceList_->setObjectName(QStringLiteral("DeviceList"));
    DeviceList_->setEditable(false);
    // The lines are "%18d %25d": a fixed-pitch font keeps the columns in line.
    DeviceList_->setFont(fixed);
    // Room for a whole line whatever the list holds, so the dialog keeps one size.
    DeviceList_->setMinimumContentsLength(44);
    DeviceList_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);

    Button1_ = new QPushButton(QStringLiteral("Применить"), this);
    Button1_->setObjectName(QStringLiteral("Button1"));
    Button1_->setDefault(true);
    Button2_ = new QPushButton(QStringLiteral("Отмена"), this);
    Button2_->setObjectName(QStringLiteral("Button2"));
    Button2_->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Button1_);
    buttons->addSpacing(24);
    buttons->addWidget(Button2_);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 12);
    layout->setSpacing(8);
    layout->addWidget(Label1_);
    layout->addWidget(DeviceList_);
    layout->addSpacing(6);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    // The list's text starts inside its frame; the headings start where it does.
    QStyleOptionComboBox field;
    field.initFrom(DeviceList_);
    field.rect = QRect(0, 0, 300, DeviceList_->sizeHint().height());
    const int textLeft =
        DeviceList_->style()->subControlRect(QStyle::CC_ComboBox, &field, QStyle::SC_ComboBoxEditField, DeviceList_)
            .left();
    Label1_->setContentsMargins(textLeft, 0, 0, 0);

    connect(Button1_, &QPushButton::clicked, this, &TFrmDeviceChoice::Button1Click);
    connect(Button2_, &QPushButton::clicked, this, &TFrmDeviceChoice::Button2Click);
    connect(DeviceList_, qOverload<int>(&QComboBox::currentIndexChanged), this, [this](int line) { choice_.selectLine(line); });

    // The search at start: every module is opened and asked for its serial number.
    choice_.search();
    fillList();
}

void TFrmDeviceChoice::fillList()
{
    {
        const QSignalBlocker block(DeviceList_);
        DeviceList_->clear();
        for (const std::string& line : choice_.listLines())
            DeviceList_->addItem(QString::fromStdString(line));
    }
    Button1_->setEnabled(choice_.applyEnabled());
    listedSearch_ = choice_.searchCount();
    showSelection();
}

void TFrmDeviceChoice::followSearch()
{
    if (choice_.searchCount() != listedSearch_)
        fillList();
}

void TFrmDeviceChoice::showSelection()
{
    const QSignalBlocker block(DeviceList_);
    DeviceList_->setCurrentIndex(choice_.selectedLine());
}

void TFrmDeviceChoice::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TFrmDeviceChoice::FormShow()
{
    // The modules may have been searched again since the list was filled.
    followSearch();
    showSelection();
    choice_.FormShow();
}

void TFrmDeviceChoice::Button1Click()
{
    if (choice_.Button1Click())
        accept();
    else
        followSearch(); // a failed choice searched again
}

void TFrmDeviceChoice::Button2Click() { reject(); }

void TFrmDeviceChoice::FormClose()
{
    choice_.FormClose();
    showSelection();
}

void TFrmDeviceChoice::done(int result)
{
    FormClose();
    QDialog::done(result);
}

} // namespace telvar5
