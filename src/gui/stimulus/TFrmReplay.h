#pragma once
// "Воспроизведение": a capture's words of one input channel sent again on an
// output channel at their recorded times. The window chooses the file, the
// channels, the speed and whether to loop, starts and stops the replay, and
// after every refresh tick shows how far it has got.
#include <QWidget>
#include <string>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace telvar5 {

class Monitor;

class TFrmReplay : public QWidget {
    Q_OBJECT
public:
    explicit TFrmReplay(Monitor& monitor, QWidget* parent = nullptr);

    // After every refresh tick.
    void afterTick();

    QLineEdit* captureEdit() const { return capture_; }
    QPushButton* chooseButton() const { return choose_; }
    QComboBox* fromChannelList() const { return fromChannel_; }
    QComboBox* toChannelList() const { return toChannel_; }
    QDoubleSpinBox* speedBox() const { return speed_; }
    QCheckBox* loopBox() const { return loop_; }
    QPushButton* startButton() const { return start_; }
    QPushButton* stopButton() const { return stop_; }
    QLabel* progressText() const { return progressText_; }
    QProgressBar* progressBar() const { return progressBar_; }

    void ChooseExecute();
    void StartExecute();
    void StopExecute();

signals:
    // The replay started or stopped an output channel: the main window shows it.
    void outputChanged();

protected:
    void showEvent(QShowEvent* event) override;

private:
    // The output channels of the chosen module, when their number changed.
    void listOutputs();
    // Controls and progress from whether the replay runs.
    void showRunning();
    void showProgress();

    Monitor& monitor_;
    QLineEdit* capture_ = nullptr;
    QPushButton* choose_ = nullptr;
    QComboBox* fromChannel_ = nullptr;
    QComboBox* toChannel_ = nullptr;
    QDoubleSpinBox* speed_ = nullptr;
    QCheckBox* loop_ = nullptr;
    QPushButton* start_ = nullptr;
    QPushButton* stop_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
    QLabel* progressText_ = nullptr;
    std::string capturePath_; // UTF-8, as the dialog gave it
    bool shownRunning_ = false;
};

} // namespace telvar5
