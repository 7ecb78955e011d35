#pragma once
// The device choice dialog. Creating it runs the one search for modules of the
// run; its buttons and events go to the DeviceChoice core, which asks the
// reset warning and confirms the module.
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QPushButton>

#include "core/device/DeviceChoice.h"

namespace telvar5 {

class TFrmDeviceChoice : public QDialog {
    Q_OBJECT
public:
    // The widths of the list's columns ("%18d %25d"), which the headings share.
    static constexpr int kSerialColumn = 18;
    static constexpr int kOrdinalColumn = 25;

    explicit TFrmDeviceChoice(DeviceChoice& choice, QWidget* parent = nullptr);

    QComboBox* DeviceList() const { return DeviceList_; }
    QPushButton* Button1() const { return Button1_; }
    QPushButton* Button2() const { return Button2_; }

    void FormShow();
    void Button1Click();
    void Button2Click();
    void FormClose();

    // Every way of closing (Применить, Отмена, the close box, Esc) ends here.
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void showSelection();

    DeviceChoice& choice_;
    QLabel* Label1_ = nullptr;
    QComboBox* DeviceList_ = nullptr;
    QPushButton* Button1_ = nullptr;
    QPushButton* Button2_ = nullptr;
};

} // namespace telvar5
