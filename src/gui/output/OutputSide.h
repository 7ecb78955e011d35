#pragma once
// The wiring of the output side of the main window: the model of the output
// grid over the run state, the grid's keys and edited texts passed to the
// core's rules, and the output side's part of applyScreen (grid options, row
// count, transmission time, the mark of an unsaved array). The commands
// themselves are the main window's.
#include <QObject>

#include "core/Monitor.h"

namespace telvar5 {

class DataPanel;
class OutputArrayModel;
class OutputArrayView;

class OutputSide : public QObject {
    Q_OBJECT
public:
    OutputSide(Monitor& monitor, DataPanel& panel, QObject* parent = nullptr);

    OutputArrayModel* model() const { return model_; }
    OutputArrayView* DrawGrid1() const;

    // Copies the output side of the screen state onto the widgets; cheap when nothing changed.
    void applyScreen();
    // Repaints one word's row / every row.
    void wordChanged(int wordIndex);
    void wordsChanged();

private:
    void DrawGrid1SetEditText(int column, int row, const QString& text);
    void showSizeHints(std::int32_t wordTimeUs);
    void showChangeMark();

    Monitor& monitor_;
    DataPanel& panel_;
    OutputArrayModel* model_ = nullptr;
    std::int32_t hintsWordTimeUs_ = -1;
};

} // namespace telvar5
