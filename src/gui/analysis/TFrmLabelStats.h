#pragma once
// "Метки канала": a tool window beside the main window with the labels of the
// shown input channel since its reception started, their counts, rates,
// intervals, last words with their SDI and parity, and the words that came
// with even parity; labels without a fresh word for a while show grey. A
// double click on a label asks the main window to show it. It follows the
// channel the main window shows and is brought up to date after every refresh
// tick while it is visible.
#include <QWidget>

class QSortFilterProxyModel;

namespace telvar5 {

class Monitor;
class LabelStatsModel;

class TFrmLabelStats : public QWidget {
    Q_OBJECT
public:
    explicit TFrmLabelStats(Monitor& monitor, QWidget* parent = nullptr);

    // The main window calls this after every refresh tick.
    void afterTick();

signals:
    // A row was double-clicked: channel index (0..7) and label.
    void labelChosen(int channel, int label);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void refresh();
    void filterChanged(const QString& text);

    Monitor& monitor_;
    LabelStatsModel* model_ = nullptr;
    QSortFilterProxyModel* proxy_ = nullptr;
};

} // namespace telvar5
