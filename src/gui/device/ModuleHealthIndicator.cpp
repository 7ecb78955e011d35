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
        const bool alarm = health.state() == HealthState::NotAnswering;
        setStyleSheet(alarm ? QStringLiteral("QLabel { color: #ffffff; background: #c00000; font-weight: bold; }")
                            : QStringLiteral("QLabel { color: #000000; background: #ffd24d; }"));
        setText(QString::fromStdString(health.indicatorText()));
        shownState_ = health.state();
    }
    setToolTip(tip);
    show();
}

} // namespace telvar5
