#pragma once
// "Метки канала": a tool window beside the main window with the labels of the
// shown input channel since its reception started, their counts, rates,
// intervals and last words. It follows the channel the main window shows and
// is brought up to date after every refresh tick while it is visible.
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
