#pragma once
// The refresh period dialog: shows refreshPeriodMs, and "Применить" stores the
// period read from the typed text; "Отмена" and the close box change nothing.
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

#include "core/Monitor.h"

namespace telvar5 {

class TFrmTimerPeriod : public QDialog {
    Q_OBJECT
public:
    explicit TFrmTimerPeriod(Monitor& monitor, QWidget* parent = nullptr);
    // The title bar's own parts beside the title: the window's icon, the close box, margins.
    static constexpr int kTitleBarRoom = 96;

    QLineEdit* Edit1() const { return Edit1_; }

    void FormShow();
    void Button1Click();
    void Button2Click();

    // The typed text as the period rule reads it: one byte per character, so
    // the length limit counts characters. A character outside ASCII is neither
    // a digit, a sign nor a blank to that rule, and becomes '?'.

protected:
    void showEvent(QShowEvent* event) override;

private:
    Monitor& monitor_;
    QLineEdit* Edit1_ = nullptr;
    QPushButton* Button1_ = nullptr;
    QPushButton* Button2_ = nullptr;
};

} // namespace telvar5
