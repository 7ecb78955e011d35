#pragma once
// "Генератор параметров": the generator's rows in a table, their file, and its
// start and stop. The window edits rows only while the generator is stopped;
// while it runs, each refresh tick shows what every row sends: the value the
// word carries and the word itself, marked when the value had to be clamped.
#include <QWidget>

class QLabel;
class QPushButton;
class QTableView;

namespace telvar5 {

class GeneratorRowsModel;
class Monitor;

class TFrmParamGenerator : public QWidget {
    Q_OBJECT
public:
    explicit TFrmParamGenerator(Monitor& monitor, QWidget* parent = nullptr);

    // After every refresh tick.
    void afterTick();

    GeneratorRowsModel* model() const { return model_; }
    QTableView* grid() const { return grid_; }
    QPushButton* addButton() const { return add_; }
    QPushButton* removeButton() const { return remove_; }
    QPushButton* openButton() const { return open_; }
    QPushButton* saveButton() const { return save_; }
    QPushButton* startButton() const { return start_; }
    QPushButton* stopButton() const { return stop_; }

    void AddExecute();
    void RemoveExecute();
    void OpenExecute();
    void SaveExecute();
    void StartExecute();
    void StopExecute();

signals:
    // The generator started or stopped output channels: the main window shows them.
    void outputChanged();

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Buttons, editing and the status line from whether the generator runs.
    void showRunning();
    // The rows as the generator takes them, or nothing after telling the user which row is wrong.
    bool rowsReady();

    Monitor& monitor_;
    GeneratorRowsModel* model_ = nullptr;
    QTableView* grid_ = nullptr;
    QPushButton* add_ = nullptr;
    QPushButton* remove_ = nullptr;
    QPushButton* open_ = nullptr;
    QPushButton* save_ = nullptr;
    QPushButton* start_ = nullptr;
    QPushButton* stop_ = nullptr;
    QLabel* status_ = nullptr;
};

} // namespace telvar5
