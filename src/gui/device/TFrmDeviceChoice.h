#pragma once
// The device choice dialog. Creating it runs the search for modules; its
// buttons and events go to the DeviceChoice core, which asks the reset
// warning, confirms the module and searches again when its list went stale.
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
    void fillList();
    void followSearch(); // refills the list when the core has searched since


    DeviceChoice& choice_;
    QLabel* Label1_ = nullptr;
    QComboBox* DeviceList_ = nullptr;
    QPushButton* Button1_ = nullptr;
    QPushButton* Button2_ = nullptr;
    std::uint64_t listedSearch_ = 0; // the search the list shows
};

} // namespace telvar5
