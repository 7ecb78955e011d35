#pragma once
// "Обзор модуля": a tool window with the whole module on one screen: the
// eight inputs (mode, bit rate, fresh words a second, labels, the newest
// word's age, grey when older than 5 s), the eight outputs (mode, bit rate,
// array, transmission time, who holds the channel) and the module's line.
// It reads what the refresh cycle already read and sends no request. A double
// click on a row asks the main window to show that channel's tab.
#include <QWidget>
#include <span>

class QLabel;
class QTableView;

namespace telvar5 {

class Monitor;
class ModuleOverviewModel;

class TFrmModuleOverview : public QWidget {
    Q_OBJECT
public:
    explicit TFrmModuleOverview(Monitor& monitor, QWidget* parent = nullptr);

    // After every refresh tick and command, while shown.
    void refresh();
    QTableView* inputs() const { return inputGrid_; }
    QTableView* outputs() const { return outputGrid_; }
    QLabel* moduleLine() const { return module_; }

signals:
    void inputChosen(int channel);
    void outputChosen(int channel);

protected:
    void showEvent(QShowEvent* event) override;

private:
    // A grid of eight rows, each column as wide as its title or the widest of its texts.
    QTableView* makeGrid(ModuleOverviewModel* model, const QString& name, std::span<const char* const> widestTexts);

    Monitor& monitor_;
    ModuleOverviewModel* inputModel_ = nullptr;
    ModuleOverviewModel* outputModel_ = nullptr;
    QTableView* inputGrid_ = nullptr;
    QTableView* outputGrid_ = nullptr;
    QLabel* module_ = nullptr;
};

} // namespace telvar5
