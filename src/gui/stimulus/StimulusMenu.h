#pragma once
// The menu "Стимулы", just before "Справка": the parameter generator and the
// replay of a capture, each a window of its own made on first use. After a
// start or a stop in either window the main window is told, so that it shows
// the output channels' state and the shown array.
#include <QObject>

class QAction;
class QMainWindow;
class QMenu;

namespace telvar5 {

class Monitor;
class TFrmParamGenerator;
class TFrmReplay;

class StimulusMenu : public QObject {
    Q_OBJECT
public:
    StimulusMenu(QMainWindow& window, Monitor& monitor);
    // Its windows hold references into the Monitor, so they go with the menu.
    ~StimulusMenu() override;

    // After each refresh tick: progress and present values in the open windows.
    void afterTick();

    QMenu* menu() const { return menu_; }
    QAction* generatorItem() const { return generatorItem_; }
    QAction* replayItem() const { return replayItem_; }
    TFrmParamGenerator* generatorWindow() const { return generator_; }
    TFrmReplay* replayWindow() const { return replay_; }

    void GeneratorExecute();
    void ReplayExecute();

signals:
    // A window started or stopped output channels.
    void outputChanged();

private:
    QMainWindow& window_;
    Monitor& monitor_;
    QMenu* menu_ = nullptr;
    QAction* generatorItem_ = nullptr;
    QAction* replayItem_ = nullptr;
    TFrmParamGenerator* generator_ = nullptr;
    TFrmReplay* replay_ = nullptr;
};

} // namespace telvar5
