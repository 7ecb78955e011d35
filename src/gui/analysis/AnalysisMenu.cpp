#include "gui/analysis/AnalysisMenu.h"

#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

#include "core/Monitor.h"
#include "gui/analysis/TFrmLabelStats.h"
#ifdef TELVAR5_HAVE_CHARTS
#include "gui/analysis/TFrmTrend.h"
#endif

namespace telvar5 {

namespace {

QAction* addItem(QMenu* menu, const char* name, const char* caption, const char* hint)
{
    QAction* item = menu->addAction(QString::fromUtf8(caption));
    item->setObjectName(QString::fromLatin1(name));
    item->setStatusTip(QString::fromUtf8(hint));
    return item;
}

// A window of its own beside the main one, raised when asked for again.
void showTool(QWidget* window)
{
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace

AnalysisMenu::AnalysisMenu(QMainWindow& window, Monitor& monitor)
    : QObject(&window), window_(window), monitor_(monitor)
{
    QMenuBar* bar = window.menuBar();
    menu_ = new QMenu(QStringLiteral("Анализ"), bar);
    menu_->setObjectName(QStringLiteral("mmAnalysis"));
    menu_->menuAction()->setObjectName(QStringLiteral("mmAnalysisAction"));
    menu_->setToolTipsVisible(false);
    labelStatsItem_ = addItem(menu_, "mmLabelStats", "Метки канала",
                              "Метки отображаемого входного канала: число слов, частота, интервалы, последнее значение");
    trendItem_ = addItem(menu_, "mmTrend", "Тренды", "Графики физических значений параметров во времени");
#ifndef TELVAR5_HAVE_CHARTS
    // A build without Qt Charts (a toolkit built where its sources were not to be had) has no plots.
    trendItem_->setEnabled(false);
    trendItem_->setStatusTip(QStringLiteral("Графики недоступны: программа собрана без Qt Charts"));
#endif
    menu_->addSeparator();
    recordItem_ = addItem(menu_, "mmRecord", "Запись", "Запись принятых слов в файл: пуск и останов");
    recordItem_->setCheckable(true);
    exportCsvItem_ = addItem(menu_, "mmExportCsv", "Экспорт CSV", "Перевод файла записи в таблицу CSV");

    const auto* help = bar->findChild<QMenu*>(QStringLiteral("mmHelp"));
    bar->insertMenu(help ? help->menuAction() : nullptr, menu_);

    connect(labelStatsItem_, &QAction::triggered, this, &AnalysisMenu::LabelStatsExecute);
    connect(trendItem_, &QAction::triggered, this, &AnalysisMenu::TrendExecute);
    connect(recordItem_, &QAction::triggered, this, &AnalysisMenu::RecordExecute);
    connect(exportCsvItem_, &QAction::triggered, this, &AnalysisMenu::ExportCsvExecute);
}

AnalysisMenu::~AnalysisMenu()
{
    delete labelStats_;
#ifdef TELVAR5_HAVE_CHARTS
    delete trend_;
#endif
}

void AnalysisMenu::LabelStatsExecute()
{
    if (!labelStats_)
        labelStats_ = new TFrmLabelStats(monitor_, &window_);
    showTool(labelStats_);
}

void AnalysisMenu::TrendExecute()
{
#ifdef TELVAR5_HAVE_CHARTS
    if (!trend_)
        trend_ = new TFrmTrend(monitor_, &window_);
    showTool(trend_);
#endif
}

void AnalysisMenu::RecordExecute()
{
    monitor_.capture().RecordExecute();
    showRecording();
}

void AnalysisMenu::ExportCsvExecute() { monitor_.capture().ExportCsvExecute(); }

void AnalysisMenu::afterTick()
{
    monitor_.capture().afterTick();
    showRecording();
    if (labelStats_)
        labelStats_->afterTick();
#ifdef TELVAR5_HAVE_CHARTS
    if (trend_)
        trend_->afterTick();
#endif
}

void AnalysisMenu::showRecording()
{
    // The check mark says whether a recording runs, whatever the dialogs answered.
    recordItem_->setChecked(monitor_.capture().recording());
}

} // namespace telvar5
