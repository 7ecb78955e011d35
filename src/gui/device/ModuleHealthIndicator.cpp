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
    const QString text = QString::fromStdString(health.indicatorText());
    if (text.isEmpty()) {
        hide();
        return;
    }
    // Red for an alarm in any colour scheme: the text is bold and the colour set whole, not from the palette.
    const bool alarm = health.state() == HealthState::NotAnswering;
    setStyleSheet(alarm ? QStringLiteral("QLabel { color: #ffffff; background: #c00000; font-weight: bold; }")
                        : QStringLiteral("QLabel { color: #000000; background: #ffd24d; }"));
    setText(text);
    setToolTip(QString::fromStdString(health.indicatorTip()));
    show();
}

} // namespace telvar5
