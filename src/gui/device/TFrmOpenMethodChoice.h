#pragma once
// The open-method dialog: one radio group rg_OpenMethod. It selects the stored
// openMethod when shown and stores the selection when closed, however it is
// closed. Nothing in the program reads openMethod: modules are always opened
// by enumeration index.
#include <QButtonGroup>
#include <QDialog>
#include <QGroupBox>

namespace telvar5 {

class TFrmOpenMethodChoice : public QDialog {
    Q_OBJECT
public:
    TFrmOpenMethodChoice(int& openMethod, QWidget* parent = nullptr);

    QGroupBox* rg_OpenMethod() const { return rg_OpenMethod_; }
    // The selected item, 0 to 2.
    int itemIndex() const;
    void setItemIndex(int index);

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    int& openMethod_;
    QGroupBox* rg_OpenMethod_ = nullptr;
    QButtonGroup* items_ = nullptr;
};

} // namespace telvar5
