#pragma once
// The module's health at the right end of the menu bar (its corner, so
// nothing the window lays out moves): "модуль не отвечает" in red while
// requests fail, "ответы неполные" while replies come back short, nothing
// while all is well. The tooltip tells the failures and the last error.
#include <QLabel>

#include "core/device/ModuleHealth.h"

namespace telvar5 {

class ModuleHealthIndicator : public QLabel {
    Q_OBJECT
public:
    explicit ModuleHealthIndicator(QWidget* parent = nullptr);
    void showHealth(const ModuleHealth& health);

private:
    HealthState shownState_ = HealthState::Healthy; // what the text and colours say now
};

} // namespace telvar5
