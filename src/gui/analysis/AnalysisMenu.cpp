#include "gui/analysis/AnalysisMenu.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

#include "core/Monitor.h"
#include "gui/ToolMenu.h"
#include "gui/analysis/RecordingIndicator.h"
#include "gui/analysis/TFrmRecordTrigger.h"
#include "gui/analysis/TFrmLabelStats.h"
#include "gui/analysis/TFrmModuleLog.h"
#include "gui/analysis/TFrmModuleOverview.h"
#include "gui/analysis/TFrmTrend.h"
#include "gui/analysis/TFrmWordLog.h"

namespace telvar5 {

AnalysisMenu::AnalysisMenu(QMainWindow& window, Monitor& monitor)
    : QObject(&window), window_(window), monitor_(monitor)
{
    menu_ = addMenuBeforeHelp(window, "Анализ", "mmAnalysis");
    menu_->setToolTipsVisible(false);
    labelStatsItem_ = addMenuItem(menu_, "mmLabelStats", "Метки канала",
                                 "Метки отображаемого входного канала: число слов, частота, интервалы, последнее значение");
    trendItem_ = addMenuItem(menu_, "mmTrend", "Тренды", "Графики физических значений параметров во времени");
    overviewItem_ = addMenuItem(menu_, "mmModuleOverview", "Обзор модуля",
                                "Все входные и выходные каналы модуля в одном окне: режимы, частоты, слова, массивы");
    wordLogItem_ = addMenuItem(menu_, "mmWordLog", "Поток слов",
                               "Все принятые слова по порядку прихода, со временем, живьем или из файла записи");
    menu_->addSeparator();
    recordItem_ = addMenuItem(menu_, "mmRecord", "Запись", "Запись принятых слов в файл: пуск и останов");
    recordItem_->setCheckable(true);
    recordOnConditionItem_ = addMenuItem(menu_, "mmRecordOnCondition", "Запись по условию…",
                                         "Запись, которая ждет условия (метка, значение, SSM, пропуск метки), "
                                         "начинается со слов перед ним и кончается по условию");
    exportCsvItem_ = addMenuItem(menu_, "mmExportCsv", "Экспорт CSV", "Перевод файла записи в таблицу CSV");
    exportCsvExcelItem_ = addMenuItem(menu_, "mmExportCsvExcel", "Экспорт CSV для Excel",
                                      "Таблица CSV, которую Excel с русскими настройками открывает по столбцам: "
                                      "\";\" между полями, \",\" в числах");
    menu_->addSeparator();
    moduleLogItem_ = addMenuItem(menu_, "mmModuleLog", "Журнал модуля",
                                 "Что происходило с модулем: выбор, инициализация, останов, отказы и их конец");

    recordingIndicator_ = new RecordingIndicator(window.menuBar());

    connect(labelStatsItem_, &QAction::triggered, this, &AnalysisMenu::LabelStatsExecute);
    connect(trendItem_, &QAction::triggered, this, &AnalysisMenu::TrendExecute);
    connect(recordItem_, &QAction::triggered, this, &AnalysisMenu::RecordExecute);
    connect(recordOnConditionItem_, &QAction::triggered, this, &AnalysisMenu::RecordOnConditionExecute);
    connect(exportCsvItem_, &QAction::triggered, this, &AnalysisMenu::ExportCsvExecute);
    connect(exportCsvExcelItem_, &QAction::triggered, this, &AnalysisMenu::ExportCsvExcelExecute);
    connect(moduleLogItem_, &QAction::triggered, this, &AnalysisMenu::ModuleLogExecute);
    connect(overviewItem_, &QAction::triggered, this, &AnalysisMenu::ModuleOverviewExecute);
    connect(wordLogItem_, &QAction::triggered, this, &AnalysisMenu::WordLogExecute);
}

AnalysisMenu::~AnalysisMenu()
{
    delete labelStats_;
    delete moduleLog_;
    delete overview_;
    delete trend_;
    delete wordLog_;
}

void AnalysisMenu::LabelStatsExecute()
{
    if (!labelStats_) {
        labelStats_ = new TFrmLabelStats(monitor_, &window_);
        connect(labelStats_, &TFrmLabelStats::labelChosen, this, &AnalysisMenu::inputLabelChosen);
    }
    showToolWindow(window_, labelStats_);
}

void AnalysisMenu::TrendExecute()
{
    if (!trend_)
        trend_ = new TFrmTrend(monitor_, &window_);
    showToolWindow(window_, trend_);
}

void AnalysisMenu::RecordExecute()
{
    monitor_.capture().RecordExecute();
    showRecording();
}

void AnalysisMenu::RecordOnConditionExecute()
{
    CaptureCommands& capture = monitor_.capture();
    if (capture.recording() || capture.waiting()) {
        RecordExecute();
        return;
    }
    TFrmRecordTrigger dialog(&window_);
    if (dialog.exec() == QDialog::Accepted)
        capture.RecordOnConditionExecute(dialog.triggers());
    showRecording();
}

void AnalysisMenu::ExportCsvExecute()
{
    monitor_.capture().ExportCsvExecute();
    showRecording();
}

void AnalysisMenu::ExportCsvExcelExecute()
{
    monitor_.capture().ExportCsvExecute(CsvDialect::Excel);
    showRecording();
}

void AnalysisMenu::ModuleLogExecute()
{
    if (!moduleLog_)
        moduleLog_ = new TFrmModuleLog(monitor_, &window_);
    showToolWindow(window_, moduleLog_);
}

void AnalysisMenu::ModuleOverviewExecute()
{
    if (!overview_) {
        overview_ = new TFrmModuleOverview(monitor_, &window_);
        connect(overview_, &TFrmModuleOverview::inputChosen, this, &AnalysisMenu::inputChannelChosen);
        connect(overview_, &TFrmModuleOverview::outputChosen, this, &AnalysisMenu::outputChannelChosen);
    }
    showToolWindow(window_, overview_);
}

void AnalysisMenu::WordLogExecute()
{
    if (!wordLog_)
        wordLog_ = new TFrmWordLog(monitor_, &window_);
    showToolWindow(window_, wordLog_);
}

bool AnalysisMenu::openRecording(const std::filesystem::path& file)
{
    WordLogExecute();
    return wordLog_->openRecording(file);
}

void AnalysisMenu::afterCommand()
{
    // Every row follows each tick and command: the overview reads only what they left.
    if (overview_ && overview_->isVisible())
        overview_->refresh();
    if (moduleLog_ && moduleLog_->isVisible())
        moduleLog_->refresh();
}

void AnalysisMenu::afterTick()
{
    monitor_.capture().afterTick();
    showRecording();
    if (labelStats_)
        labelStats_->afterTick();
    if (trend_)
        trend_->afterTick();
    if (wordLog_)
        wordLog_->afterTick();
}

void AnalysisMenu::showRecording()
{
    // The check mark says whether a recording runs, whatever the dialogs answered.
    recordItem_->setChecked(monitor_.capture().recording() || monitor_.capture().waiting());
    recordingIndicator_->showCapture(monitor_.capture());
}

} // namespace telvar5
