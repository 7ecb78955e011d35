#pragma once
// The main window. It owns the Monitor (the run state and every rule) and the
// dialogs; its handlers turn events into calls on the Monitor, and after each
// handler and each tick applyScreen() copies what the Monitor says onto the
// widgets.
#include <QMainWindow>
#include <memory>
#include <QTimer>
#include <array>

#include "gui/IconSet.h"
#include "gui/MainCommands.h"
#include "core/Monitor.h"
#include "core/input/TickWorker.h"
#include "core/UserPrompts.h"
#include "core/device/BitRates.h"

class QComboBox;

namespace telvar5 {

class AnalysisMenu;
class BitRatePanel;
class DataPanel;
class HelpWindow;
class InputBufferModel;
class OutputSide;
class PanelStatusBar;
class StimulusMenu;
class ModuleHealthIndicator;
class TFrmDeviceChoice;
class TFrmFormatList;
class TFrmOpenMethodChoice;
class TFrmParamFormat;
class TFrmSObinParam;
class TFrmTimerPeriod;

class TMainFrm : public QMainWindow {
    Q_OBJECT
public:
    TMainFrm(DeviceBus& bus, UserPrompts& prompts, QWidget* parent = nullptr);
    ~TMainFrm() override;

    Monitor& monitor() { return monitor_; }
    QAction* command(Command c) const { return commands_[c]; }
    QTimer* Timer1() const { return Timer1_; }
    TFrmDeviceChoice* FrmDeviceChoice() const { return FrmDeviceChoice_; }
    TFrmOpenMethodChoice* FrmOpenMethodChoice() const { return FrmOpenMethodChoice_; }
    TFrmSObinParam* FrmSObinParam() const { return FrmSObinParam_; }
    TFrmFormatList* FrmFormatList() const { return FrmFormatList_; }
    TFrmParamFormat* FrmParamFormat() const { return FrmParamFormat_; }
    TFrmTimerPeriod* FrmTimerPeriod() const { return FrmTimerPeriod_; }
    HelpWindow* helpWindow() const { return help_; }
    DataPanel* Panel5() const { return Panel5_; }
    PanelStatusBar* XPStatusBar1() const { return XPStatusBar1_; }
    PanelStatusBar* XPStatusBar2() const { return XPStatusBar2_; }
    OutputSide* outputSide() const { return output_; }
    AnalysisMenu* analysisMenu() const { return analysis_; }
    StimulusMenu* stimulusMenu() const { return stimulus_; }
    ModuleHealthIndicator* healthIndicator() const { return healthIndicator_; }

    // Copies the Monitor's screen state onto the widgets without running any change handler.
    void applyScreen();

    // Handlers.
    void FileExit1Execute();
    void ActionDeviceChoiceExecute();
    void DeviceInitializationExecute();
    void DeviceResetExecute();
    void OpenMethodChoiceExecute();
    void FormatListExecute();
    void ParamFormatExecute();
    void TimerPeriodExecute();
    void HelpContents1Execute();
    void FormClose();
    // The refresh timer's tick. With the device thread in use its reads may go
    // on there; the window is brought up to date when they are done.
    void Timer1Timer();
    // The program's ticks hand slow reads to a device thread of their own (tests
    // that drive ticks by hand leave it off, and each tick is whole when Timer1Timer returns).
    void useDeviceThread();
    void SIaddressPuskExecute();
    void SIfilePuskExecute();
    void SIstopChannelExecute();
    void SIChange(int tabIndex);
    void ComboBox1Change();
    // "Метки канала" asked to show a label: its cell in the input grid, current, in address reception.
    void showInputLabel(int channel, int label);
    void SOsinglePuskExecute();
    void SOciclePuskExecute();
    void SOstopChannelExecute();
    void SOdataClearExecute();
    void SOdataTestExecute();
    void cbSOArrayDimChange(int itemIndex);
    void SOChange(int tabIndex);
    void ComboBox2Change();
    // A mouse press over DrawGrid1, in grid cells (row 0 the title row, -1 outside the cells).
    void DrawGrid1MouseDown(Qt::MouseButton button, int column, int row);
    void FileOpen1Execute();
    // The save dialog gets its default extension "so" with the core's dialog options.
    void FileSaveAs1Execute();

    void cbFreqSI1Change() { freqChange(inputCodeByte(0), inputList(0)); }
    void cbFreqSI2Change() { freqChange(inputCodeByte(1), inputList(1)); }
    void cbFreqSI3Change() { freqChange(inputCodeByte(2), inputList(2)); }
    void cbFreqSI4Change() { freqChange(inputCodeByte(3), inputList(3)); }
    void cbFreqSI5Change() { freqChange(inputCodeByte(4), inputList(4)); }
    void cbFreqSI6Change() { freqChange(inputCodeByte(5), inputList(5)); }
    void cbFreqSI7Change() { freqChange(inputCodeByte(6), inputList(6)); }
    void cbFreqSI8Change() { freqChange(inputCodeByte(7), inputList(7)); }
    void cbFreqSO1Change() { freqChange(outputCodeByte(0), outputList(0)); }
    void cbFreqSO2Change() { freqChange(outputCodeByte(1), outputList(1)); }
    void cbFreqSO3Change() { freqChange(outputCodeByte(2), outputList(2)); }
    void cbFreqSO4Change() { freqChange(outputCodeByte(3), outputList(3)); }
    void cbFreqSO5Change() { freqChange(outputCodeByte(4), outputList(4)); }
    void cbFreqSO6Change() { freqChange(outputCodeByte(5), outputList(5)); }
    void cbFreqSO7Change() { freqChange(outputCodeByte(6), outputList(6)); }
    void cbFreqSO8Change() { freqChange(outputCodeByte(7), outputList(7)); }

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildWorkArea();
    void findControls();
    void connectHandlers();
    void placeOverWorkArea();
    // Sets the frame, once the platform tells it, over the work area; false while it is not known.
    bool fitFrameToWorkArea();
    QComboBox* inputList(int channelIndex) const;
    QComboBox* outputList(int channelIndex) const;
    void freqChange(int codeByte, const QComboBox* list);
    // After an output command: the screen state, and the rows when the words changed.
    void outputShown(bool wordsChanged);
    // A tick done: the screen, the grids and the tool windows follow it.
    void tickFinished(const TickResult& tick);
    void tickReadsDone();

    Monitor monitor_;
    IconSet icons_;
    MainCommands commands_;
    QWidget* Panel2_ = nullptr;
    QWidget* dataArea_ = nullptr; // the part of Panel2 above the status bars, filled by Panel5
    DataPanel* Panel5_ = nullptr;
    BitRatePanel* Panel9_ = nullptr;
    PanelStatusBar* XPStatusBar1_ = nullptr;
    PanelStatusBar* XPStatusBar2_ = nullptr;
    QTimer* Timer1_ = nullptr;
    InputBufferModel* inputModel_ = nullptr;
    OutputSide* output_ = nullptr;
    HelpWindow* help_ = nullptr;
    AnalysisMenu* analysis_ = nullptr;
    StimulusMenu* stimulus_ = nullptr;
    ModuleHealthIndicator* healthIndicator_ = nullptr;
    std::array<QObject*, kControlCount> controls_{};
    TFrmDeviceChoice* FrmDeviceChoice_ = nullptr;
    TFrmOpenMethodChoice* FrmOpenMethodChoice_ = nullptr;
    TFrmSObinParam* FrmSObinParam_ = nullptr;
    TFrmFormatList* FrmFormatList_ = nullptr;
    TFrmParamFormat* FrmParamFormat_ = nullptr;
    TFrmTimerPeriod* FrmTimerPeriod_ = nullptr;
    bool placed_ = false;
    // Last: it goes first, after the tick whose reads it may hold is done.
    std::unique_ptr<TickWorker> deviceThread_;
};

} // namespace telvar5
