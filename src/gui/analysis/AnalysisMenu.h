#pragma once
// The menu "Анализ", just before "Справка": the label statistics and trend
// windows, the capture's recording and CSV export, and the module's journal. Its windows are made on
// first use and follow every refresh tick while shown; they send no request of
// their own.
#include <QObject>
#include <filesystem>

class QAction;
class QMainWindow;
class QMenu;

namespace telvar5 {

class Monitor;
class TFrmLabelStats;
class RecordingIndicator;
class TFrmModuleLog;
class TFrmModuleOverview;
class TFrmTrend;
class TFrmWordLog;

class AnalysisMenu : public QObject {
    Q_OBJECT
public:
    AnalysisMenu(QMainWindow& window, Monitor& monitor);
    // Its windows hold references into the Monitor, so they go with the menu.
    ~AnalysisMenu() override;

    // After each refresh tick.
    void afterTick();

    QMenu* menu() const { return menu_; }
    QAction* labelStatsItem() const { return labelStatsItem_; }
    QAction* trendItem() const { return trendItem_; }
    QAction* recordItem() const { return recordItem_; }
    QAction* recordOnConditionItem() const { return recordOnConditionItem_; }
    QAction* exportCsvItem() const { return exportCsvItem_; }
    QAction* exportCsvExcelItem() const { return exportCsvExcelItem_; }
    QAction* moduleLogItem() const { return moduleLogItem_; }
    TFrmModuleLog* moduleLogWindow() const { return moduleLog_; }
    QAction* overviewItem() const { return overviewItem_; }
    QAction* wordLogItem() const { return wordLogItem_; }
    TFrmWordLog* wordLogWindow() const { return wordLog_; }
    TFrmModuleOverview* overviewWindow() const { return overview_; }
    // The recording's line, for the window to place in its menu bar's corner.
    RecordingIndicator* recordingIndicator() const { return recordingIndicator_; }
    TFrmLabelStats* labelStatsWindow() const { return labelStats_; }
    TFrmTrend* trendWindow() const { return trend_; }

    void LabelStatsExecute();
    void TrendExecute();
    void RecordExecute();
    // While nothing is recorded or waited for, asks the conditions and waits; otherwise as "Запись".
    void RecordOnConditionExecute();
    void ExportCsvExecute();
    void ExportCsvExcelExecute();
    void ModuleLogExecute();
    void ModuleOverviewExecute();
    void WordLogExecute();
    // A recording named on the command line: shown in "Поток слов"; false when it cannot be read.
    bool openRecording(const std::filesystem::path& file);
    // After every command and tick (the main window's applyScreen): the module's journal may have grown.
    void afterCommand();

signals:
    // A label of "Метки канала" was double-clicked: channel index (0..7) and label.
    void inputLabelChosen(int channel, int label);
    // A channel of "Обзор модуля" was double-clicked: channel index (0..7).
    void inputChannelChosen(int channel);
    void outputChannelChosen(int channel);

private:
    void showRecording();

    QMainWindow& window_;
    Monitor& monitor_;
    QMenu* menu_ = nullptr;
    QAction* labelStatsItem_ = nullptr;
    QAction* trendItem_ = nullptr;
    QAction* recordOnConditionItem_ = nullptr;
    QAction* recordItem_ = nullptr;
    QAction* exportCsvItem_ = nullptr;
    QAction* exportCsvExcelItem_ = nullptr;
    QAction* moduleLogItem_ = nullptr;
    QAction* overviewItem_ = nullptr;
    QAction* wordLogItem_ = nullptr;
    TFrmLabelStats* labelStats_ = nullptr;
    TFrmTrend* trend_ = nullptr;
    TFrmModuleLog* moduleLog_ = nullptr;
    TFrmModuleOverview* overview_ = nullptr;
    TFrmWordLog* wordLog_ = nullptr;
    RecordingIndicator* recordingIndicator_ = nullptr;
};

} // namespace telvar5
