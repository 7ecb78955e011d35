// The menu "Анализ" of the main window: where it sits, what it opens, and the
// capture commands behind it, through the fake prompts.
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTabBar>
#include <QTableView>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include "../MainWindowFixture.h"
#include "../ModalDriver.h"
#include "gui/DataPanel.h"
#include "gui/MainCommands.h"
#include "gui/analysis/AnalysisMenu.h"
#include "gui/input/InputBufferView.h"
#include "gui/analysis/RecordingIndicator.h"
#include "gui/analysis/TFrmRecordTrigger.h"
#include "gui/analysis/TFrmModuleOverview.h"
#include "gui/analysis/TFrmLabelStats.h"
#include "gui/analysis/TFrmTrend.h"

namespace telvar5::widgets_test {
namespace {

class AnalysisMenuTest : public MainWindowTest {
protected:
    std::filesystem::path temp(const char* name) const { return std::filesystem::temp_directory_path() / name; }
};

TEST_F(AnalysisMenuTest, HoldsItsItems)
{
    open();
    QStringList items;
    for (QAction* action : window->analysisMenu()->menu()->actions())
        items << (action->isSeparator() ? QStringLiteral("-") : action->text().remove(QLatin1Char('&')));
    EXPECT_EQ(items, (QStringList{"Метки канала", "Тренды", "Обзор модуля", "Поток слов", "-", "Запись", "Запись по условию…", "Экспорт CSV",
                            "Экспорт CSV для Excel", "-", "Журнал модуля"}));
}

TEST_F(AnalysisMenuTest, OpensEachWindowOnceAndRecordsUntilAskedAgain)
{
    open();
    AnalysisMenu& menu = *window->analysisMenu();
    menu.labelStatsItem()->trigger();
    menu.labelStatsItem()->trigger();
    EXPECT_EQ(window->findChildren<TFrmLabelStats*>().size(), 1);
    EXPECT_TRUE(menu.labelStatsWindow()->isVisible());
    menu.trendItem()->trigger();
    ASSERT_NE(menu.trendWindow(), nullptr);
    EXPECT_TRUE(menu.trendWindow()->isVisible());

    const auto file = temp("analysis-menu-test.tlvcap");
    std::filesystem::remove(file);
    prompts.fileToSave = file.string();
    menu.recordItem()->trigger();
    EXPECT_TRUE(menu.recordItem()->isChecked());
    EXPECT_TRUE(std::filesystem::exists(file));
    // The menu bar's corner tells the recording while it runs, and how it ended after.
    const RecordingIndicator* line = menu.recordingIndicator();
    EXPECT_EQ(line->parentWidget(), window->menuBar()->cornerWidget(Qt::TopRightCorner));
    EXPECT_TRUE(line->isVisible());
    EXPECT_TRUE(line->line().startsWith(QStringLiteral("Запись: analysis-menu-test.tlvcap · 0 слов"))) << line->line().toStdString();
    menu.recordItem()->trigger();
    EXPECT_FALSE(menu.recordItem()->isChecked());
    EXPECT_TRUE(prompts.errors.empty());
    EXPECT_TRUE(line->isVisible());
    EXPECT_EQ(line->line(), QStringLiteral("Запись закончена: 0 слов в файле analysis-menu-test.tlvcap (64 Б)"));

    // A cancelled dialog starts nothing, and the check mark says so.
    prompts.fileToSave.reset();
    menu.recordItem()->trigger();
    EXPECT_FALSE(menu.recordItem()->isChecked());
    std::filesystem::remove(file);
}

// "Запись по условию…" takes what reads, says what does not, and arms the
// recording; the corner says it waits, and "Запись" gives up waiting.
TEST_F(AnalysisMenuTest, ARecordingOnAConditionWaitsUntilGivenUp)
{
    open();
    AnalysisMenu& menu = *window->analysisMenu();
    const auto file = temp("analysis-menu-trigger-test.tlvcap");
    std::filesystem::remove(file);
    prompts.fileToSave = file.string();
    QString refused;
    whenModal([&refused](QWidget* modal) {
        auto* dialog = qobject_cast<TFrmRecordTrigger*>(modal);
        ASSERT_NE(dialog, nullptr);
        dialog->startEdit()->setText(QStringLiteral("arrive:1:208"));
        dialog->accept();
        refused = dialog->problemLine()->isVisible() ? dialog->problemLine()->text() : QString();
        dialog->startEdit()->setText(QStringLiteral("cross:2:203:1,5"));
        dialog->preEdit()->setText(QStringLiteral("2"));
        dialog->stopEdit()->setText(QStringLiteral("ssm:2:203"));
        dialog->accept();
    });
    menu.recordOnConditionItem()->trigger();
    EXPECT_EQ(refused, QStringLiteral("Условие начала не читается: arrive:1:208"));
    ASSERT_TRUE(window->monitor().capture().waiting());
    EXPECT_TRUE(menu.recordItem()->isChecked());
    EXPECT_TRUE(menu.recordingIndicator()->isVisible());
    EXPECT_EQ(menu.recordingIndicator()->line(),
              QStringLiteral("Запись: analysis-menu-trigger-test.tlvcap · ждёт условия: метка 203 канала 2 пересекла 1.5"));
    // At 1024 pixels the long line is shortened: every menu title stays on the bar, left of it.
    window->resize(1024, window->height());
    QApplication::processEvents();
    QMenuBar* bar = window->menuBar();
    const QRect lastTitle = bar->actionGeometry(bar->actions().constLast());
    EXPECT_TRUE(lastTitle.isValid() && lastTitle.right() < bar->cornerWidget(Qt::TopRightCorner)->x());
    EXPECT_TRUE(menu.recordingIndicator()->text().contains(QStringLiteral("…")));
    EXPECT_FALSE(std::filesystem::exists(file));

    menu.recordItem()->trigger();
    EXPECT_FALSE(window->monitor().capture().waiting());
    EXPECT_FALSE(menu.recordItem()->isChecked());
    EXPECT_EQ(menu.recordingIndicator()->line(), QStringLiteral("Запись не начата: условие не наступило"));
}

// A label chosen in "Метки канала" shows its cell in the input grid, current, in
// address reception, where a word's cell is its label; in file reception nothing moves.
TEST_F(AnalysisMenuTest, AChosenLabelShowsItsCellInAddressReceptionOnly)
{
    open();
    choose(0);
    initialise();
    InputBufferView* grid = window->Panel5()->DrawGrid2();
    command(Command::SIfilePusk)->trigger();
    emit window->analysisMenu()->inputLabelChosen(0, 0203);
    EXPECT_NE(grid->currentIndex().row(), 0203);
    command(Command::SIaddressPusk)->trigger();
    emit window->analysisMenu()->inputLabelChosen(1, 0203);
    EXPECT_NE(grid->currentIndex().row(), 0203) << "another channel than the one shown";
    emit window->analysisMenu()->inputLabelChosen(0, 0203);
    EXPECT_EQ(grid->currentIndex().row(), 0203);
    const int first = grid->rowAt(0);
    EXPECT_TRUE(first <= 0203 && 0203 <= grid->rowAt(grid->viewport()->height() - 1)) << "scrolled into view";
}

// "Обзор модуля" shows every channel after a tick, tells its view of changed rows
// only, and a double click on a row shows that channel's tab in the main window.
TEST_F(AnalysisMenuTest, TheModuleOverviewFollowsTheTicksAndShowsAChosenChannel)
{
    open();
    choose(0);
    initialise();
    command(Command::SIaddressPusk)->trigger();
    window->analysisMenu()->overviewItem()->trigger();
    TFrmModuleOverview* overview = window->analysisMenu()->overviewWindow();
    ASSERT_NE(overview, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(overview));
    QAbstractItemModel* inputs = overview->inputs()->model();
    EXPECT_EQ(inputs->rowCount(), 8);
    EXPECT_EQ(inputs->index(0, 0).data().toString(), QStringLiteral("прием адресный"));
    EXPECT_EQ(inputs->index(1, 0).data().toString(), QStringLiteral("прием остановлен"));
    EXPECT_EQ(overview->outputs()->model()->index(0, 4).data().toString(), QStringLiteral("пользователь"));
    EXPECT_TRUE(overview->moduleLine()->text().startsWith(QStringLiteral("серийный № ")));

    QSignalSpy changed(inputs, &QAbstractItemModel::dataChanged);
    QSignalSpy reset(inputs, &QAbstractItemModel::modelReset);
    command(Command::SIstopChannel)->trigger();
    ASSERT_EQ(changed.count(), 1) << "the stopped input's row alone";
    EXPECT_EQ(changed[0][0].toModelIndex().row(), 0);
    EXPECT_EQ(inputs->index(0, 0).data().toString(), QStringLiteral("прием остановлен"));
    EXPECT_EQ(reset.count(), 0);

    for (auto [grid, tabs] : {std::pair{overview->inputs(), window->Panel5()->SI()},
                              std::pair{overview->outputs(), window->Panel5()->SO()}}) {
        const QRect row = grid->visualRect(grid->model()->index(3, 1));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, row.center());
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, row.center());
        EXPECT_EQ(tabs->currentIndex(), 3);
    }
}

TEST_F(AnalysisMenuTest, ExportOfAFileThatIsNoCaptureSaysSoAndWritesNoTable)
{
    open();
    const auto notCapture = temp("analysis-menu-test.txt");
    const auto csv = temp("analysis-menu-test.csv");
    std::ofstream(notCapture) << "not a capture";
    std::filesystem::remove(csv);
    prompts.fileToOpen = notCapture.string();
    prompts.fileToSave = csv.string();
    window->analysisMenu()->exportCsvItem()->trigger();
    ASSERT_EQ(prompts.errors.size(), 1u);
    EXPECT_NE(prompts.errors[0].find("Таблица не записана"), std::string::npos) << prompts.errors[0];
    EXPECT_FALSE(std::filesystem::exists(csv));
    std::filesystem::remove(notCapture);
}

} // namespace
} // namespace telvar5::widgets_test
