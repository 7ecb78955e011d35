#pragma once
// Panel5, the data panel shown while the module is initialised: a splitter
// between the input side Panel12 (tabs SI, title StaticText3, grid DrawGrid2
// with ComboBox1 over its corner) and the output side Panel13 (tabs SO, title
// StaticText4, bar Panel4 with Label10, cbSOArrayDim, the transmission time
// LabelSOTime and ComboBox2, grid DrawGrid1). The grids get their models from
// the input and output sides.
#include <QComboBox>
#include <QLabel>
#include <QSplitter>
#include <QTabBar>
#include <QWidget>

#include "core/ScreenState.h"

namespace telvar5 {

class InputBufferView;
class OutputArrayView;

class DataPanel : public QWidget {
    Q_OBJECT
public:
    static constexpr int kSplitterHandle = 10;
    static constexpr int kTallTitle = 48;

    explicit DataPanel(QWidget* parent = nullptr);

    QTabBar* SI() const { return SI_; }
    QLabel* StaticText3() const { return StaticText3_; }
    InputBufferView* DrawGrid2() const { return DrawGrid2_; }
    QComboBox* ComboBox1() const { return ComboBox1_; }
    QTabBar* SO() const { return SO_; }
    QLabel* StaticText4() const { return StaticText4_; }
    QComboBox* cbSOArrayDim() const { return cbSOArrayDim_; }
    QComboBox* ComboBox2() const { return ComboBox2_; }
    QLabel* LabelSOTime() const { return LabelSOTime_; }
    // The mark of an array changed since its last save or restore.
    QLabel* LabelSOChanged() const { return LabelSOChanged_; }
    OutputArrayView* DrawGrid1() const { return DrawGrid1_; }
    QWidget* Panel12() const { return Panel12_; }
    QSplitter* splitter() const { return splitter_; }

    // Titles, tabs shown and selected, and the array size of the displayed
    // output channel; no change signal is emitted.
    void showState(const ScreenState& screen, int inputIndex, int outputIndex, int arraySize);
    // The input side takes this width, the output side the rest, but never less
    // than its grid's columns and its bar's texts need.
    void setInputWidth(int panelWidth, int inputWidth);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildInputSide();
    QWidget* buildOutputSide();
    // Label10 and the transmission time as large as their texts in the font in use; the bar as wide as they need.
    void layOutArrayBar(QWidget& bar);
    // Both titles as tall as the taller needs on its side's width, and at least `titleHeight_`.
    void fitTitles();

    QSplitter* splitter_ = nullptr;
    QWidget* Panel12_ = nullptr;
    QTabBar* SI_ = nullptr;
    QLabel* StaticText3_ = nullptr;
    InputBufferView* DrawGrid2_ = nullptr;
    QComboBox* ComboBox1_ = nullptr;
    QTabBar* SO_ = nullptr;
    QLabel* StaticText4_ = nullptr;
    QComboBox* cbSOArrayDim_ = nullptr;
    QComboBox* ComboBox2_ = nullptr;
    QLabel* LabelSOTime_ = nullptr;
    QLabel* LabelSOChanged_ = nullptr;
    OutputArrayView* DrawGrid1_ = nullptr;
    QWidget* Panel13_ = nullptr;
    int titleHeight_ = 0;
};

} // namespace telvar5
