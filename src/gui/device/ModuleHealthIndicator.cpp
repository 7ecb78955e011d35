#include "gui/device/ModuleHealthIndicator.h"

#include "core/device/ModuleHealth.h"

namespace telvar5 {

ModuleHealthIndicator::ModuleHealthIndicator(QWidget* parent) : QLabel(parent)
{
    setObjectName(QStringLiteral("ModuleHealthIndicator"));
    setContentsMargins(8, 0, 8, 0);
    hide();
}

void ModuleHealthIndicator::showHealth(const ModuleHealth& health)
{
    // Called after every tick: the widget is touched only when what it shows changes.
    if (health.state() == HealthState::Healthy) {
        if (!isHidden())
            hide();
        return;
    }
    const QString tip = QString::fromStdString(health.indicatorTip());
    if (!isHidden() && health.state() == shownState_ && tip == toolTip())
        return;
    if (health.state() != shownState_) {
        // Red for an alarm in any colour scheme: the text is bold and the colours set whole, not from the palette.
        // The rules name this label only: the tooltip is a label too and takes
        // the sheet, and its own colours are set whole as well (dark on pale),
        // or it would show the alarm's white text on the style's pale ground.
        const bool alarm = health.state() == HealthState::NotAnswering;
        const QString tip = QStringLiteral(
            "QToolTip { color: #000000; background: #ffffe1; border: 1px solid #767676; font-weight: normal; }");
        setStyleSheet((alarm ? QStringLiteral("#ModuleHealthIndicator { color: #ffffff; background: #c00000; "
                                              "font-weight: bold; } ")
                             : QStringLiteral("#ModuleHealthIndicator { color: #000000; background: #ffd24d; } "))
                      + tip);
        setText(QString::fromStdString(health.indicatorText()));
        shownState_ = health.state();
    }
    setToolTip(tip);
    show();
}

} // namespace telvar5
