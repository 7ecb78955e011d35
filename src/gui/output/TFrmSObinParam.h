#pragma once
// The word bit editor: 32 boxes, one per bit of a word of the displayed
// output array, over the core's copy of the word (WordBitEditor). Box N
// stands for bit 33 - N. "Применить" writes the copy back; "Отмена" and the
// close box leave the array as it was.
#include <QCheckBox>
#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <array>

#include "core/output/WordBitEditor.h"

namespace telvar5 {

class TFrmSObinParam : public QDialog {
    Q_OBJECT
public:
    explicit TFrmSObinParam(WordBitEditor& editor, QWidget* parent = nullptr);

    // Box 1..32.
    QCheckBox* CheckBox(int box) const;
    QFrame* Panel1() const { return Panel1_; }
    QPushButton* Button1() const { return Button1_; }
    QPushButton* Button2() const { return Button2_; }

    void FormShow();
    void Button1Click();
    void Button2Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* addLabel(QWidget* parent, const char* name, const QString& text, int left, int top, const QFont& font);

    WordBitEditor& editor_;
    std::array<QCheckBox*, WordBitEditor::kBoxes> boxes_{};
    QFrame* Panel1_ = nullptr;
    QPushButton* Button1_ = nullptr;
    QPushButton* Button2_ = nullptr;
};

} // namespace telvar5
