// Tool windows: where each opens on the screen, that the window system is told
// to keep it above the main window, and that it comes back where it was left.
#include <QMainWindow>
#include <QWindow>
#include <functional>

#include "MainWindowFixture.h"
#include "gui/HelpWindow.h"
#include "gui/ToolWindowPlacement.h"
#include "gui/ToolWindows.h"
#include "gui/analysis/AnalysisMenu.h"
#include "gui/analysis/TFrmLabelStats.h"
#include "gui/analysis/TFrmModuleLog.h"
#include "gui/analysis/TFrmModuleOverview.h"
#include "gui/analysis/TFrmTrend.h"
#include "gui/stimulus/StimulusMenu.h"
#include "gui/stimulus/TFrmParamGenerator.h"
#include "gui/stimulus/TFrmReplay.h"

namespace telvar5::widgets_test {
namespace {

// A 1024 x 768 screen with a 40-pixel task bar, the main window over its work
// area, the menu bar and the tool bar taking its top 75 pixels.
const QRect kWork(0, 0, 1024, 728);
const ToolWindowPlacement::Scene kCovered{kWork, kWork, QRect(4, 75, 1016, 620)};

TEST(ToolWindowPlacement, OpensBesideTheMainWindowOrOverItsDataAreaWholeOnTheWorkArea)
{
    struct Case {
        const char* what;
        QSize frame, minimum;
        ToolWindowPlacement::Scene scene;
        int opened;
        QRect expected;
    };
    const Case cases[] = {
        {"over the data area, below the menus", {600, 400}, {200, 100}, kCovered, 0, {4, 75, 600, 400}},
        {"each next window a step further", {600, 400}, {200, 100}, kCovered, 2, {52, 123, 600, 400}},
        {"the steps start over", {600, 400}, {200, 100}, kCovered, ToolWindowPlacement::kCascadeSteps, {4, 75, 600, 400}},
        {"a step past the right edge: moved back in", {1000, 400}, {200, 100}, kCovered, 5, {24, 195, 1000, 400}},
        {"taller than the room below the menus: shrunk to it", {600, 700}, {200, 300}, kCovered, 0, {4, 75, 600, 653}},
        {"its smallest height does not fit below the menus: moved up, whole",
         {600, 700}, {200, 690}, kCovered, 0, {4, 38, 600, 690}},
        {"wider than the screen: as wide as the work area", {1100, 300}, {200, 100}, kCovered, 0, {0, 75, 1024, 300}},
        {"room right of the main window: beside it", {400, 300}, {200, 100},
         {kWork, {0, 0, 600, 728}, {4, 75, 592, 620}}, 3, {600, 75, 400, 300}},
        {"room left of the main window: beside it", {400, 300}, {200, 100},
         {kWork, {424, 0, 600, 728}, {428, 75, 592, 620}}, 0, {24, 75, 400, 300}},
        {"a work area that does not start at the origin (a second screen)", {600, 400}, {200, 100},
         {{1024, 0, 1280, 984}, {1024, 0, 1280, 984}, {1028, 75, 1272, 876}}, 0, {1028, 75, 600, 400}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ToolWindowPlacement::firstPlace(c.frame, c.minimum, c.scene, c.opened), c.expected);
    }
}

TEST(ToolWindowPlacement, ARememberedPlaceIsMadeWholeOnTheWorkArea)
{
    struct Case {
        const char* what;
        QRect left;
        QSize minimum;
        QRect expected;
    };
    const Case cases[] = {
        {"whole already: kept", {300, 20, 500, 400}, {200, 100}, {300, 20, 500, 400}},
        {"left on a larger screen: moved in", {800, 500, 500, 400}, {200, 100}, {524, 328, 500, 400}},
        {"above and left of the work area: moved in", {-50, -30, 500, 400}, {200, 100}, {0, 0, 500, 400}},
        {"larger than the work area: shrunk to it", {100, 100, 1200, 900}, {200, 100}, {0, 0, 1024, 728}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ToolWindowPlacement::keptOnScreen(c.left, c.minimum, kWork), c.expected);
    }
}

using ToolWindowsTest = MainWindowTest;

TEST_F(ToolWindowsTest, EachStaysAboveTheMainWindowOpensBelowItsMenusAndComesBackWhereLeft)
{
    open();
    // The main window over the work area of a 1024 x 768 screen.
    ToolWindows::of(*window).setWorkArea([](const QWidget&) { return kWork; });
    window->setGeometry(kWork);
    choose();
    initialise();
    AnalysisMenu& analysis = *window->analysisMenu();
    StimulusMenu& stimulus = *window->stimulusMenu();
    struct Tool {
        QAction* item;
        std::function<QWidget*()> window;
    };
    const Tool tools[] = {
        {analysis.labelStatsItem(), [&] { return analysis.labelStatsWindow(); }},
        {analysis.trendItem(), [&] { return analysis.trendWindow(); }},
        {analysis.overviewItem(), [&] { return analysis.overviewWindow(); }},
        {analysis.moduleLogItem(), [&] { return analysis.moduleLogWindow(); }},
        {stimulus.generatorItem(), [&] { return stimulus.generatorWindow(); }},
        {stimulus.replayItem(), [&] { return stimulus.replayWindow(); }},
        {command(Command::HelpContents1), [&] { return window->helpWindow(); }},
    };
    const int dataTop = window->centralWidget()->mapToGlobal(QPoint(0, 0)).y();
    for (const Tool& tool : tools) {
        tool.item->trigger();
        QWidget* shown = tool.window();
        ASSERT_NE(shown, nullptr) << tool.item->text().toStdString();
        SCOPED_TRACE(shown->objectName().toStdString());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(shown));
        // Owned by the main window in the window system's terms, not only in Qt's.
        EXPECT_EQ(shown->windowType(), Qt::Tool);
        ASSERT_NE(shown->windowHandle(), nullptr);
        EXPECT_EQ(shown->windowHandle()->transientParent(), window->windowHandle());
        const QRect frame = shown->frameGeometry();
        EXPECT_TRUE(kWork.contains(frame)) << frame.x() << "," << frame.y() << " " << frame.width() << "x"
                                              << frame.height();
        EXPECT_GE(frame.top(), dataTop);

        // Moved and resized by the user, closed, opened again: where it was left.
        const QRect left(frame.topLeft() + QPoint(7, -5),
                         (shown->size() - QSize(11, 13)).expandedTo(shown->minimumSizeHint()));
        shown->setGeometry(left);
        shown->close();
        tool.item->trigger();
        EXPECT_TRUE(shown->isVisible());
        EXPECT_EQ(shown->geometry(), left);
        shown->close();
    }
}

} // namespace
} // namespace telvar5::widgets_test
