// Where a tool window opens and comes back on the screen. (That each tool
// window is owned by the main window, opens there and is remembered is tested
// with the windows themselves, on a 1024 x 768 screen, in TextsFitTest.)
#include <gtest/gtest.h>

#include "gui/ToolWindowPlacement.h"

namespace telvar5 {
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
        {"a step past the right edge: moved back in", {1000, 400}, {200, 100}, kCovered, 5, {24, 195, 1000, 400}},
        {"taller than the room below the menus: shrunk to it", {600, 700}, {200, 300}, kCovered, 0, {4, 75, 600, 653}},
        {"its smallest height does not fit below the menus: moved up, whole",
         {600, 700}, {200, 690}, kCovered, 0, {4, 38, 600, 690}},
        {"wider than the screen: as wide as the work area", {1100, 300}, {200, 100}, kCovered, 0, {0, 75, 1024, 300}},
        {"room right of the main window: beside it", {400, 300}, {200, 100},
         {kWork, {0, 0, 600, 728}, {4, 75, 592, 620}}, 3, {600, 75, 400, 300}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ToolWindowPlacement::firstPlace(c.frame, c.minimum, c.scene, c.opened), c.expected);
    }
}

TEST(ToolWindowPlacement, ARememberedPlaceIsMadeWholeOnTheWorkArea)
{
    // Left on a larger screen: moved in; larger than the work area: shrunk to it; whole: kept.
    EXPECT_EQ(ToolWindowPlacement::keptOnScreen({800, 500, 500, 400}, {200, 100}, kWork), QRect(524, 328, 500, 400));
    EXPECT_EQ(ToolWindowPlacement::keptOnScreen({100, 100, 1200, 900}, {200, 100}, kWork), kWork);
    EXPECT_EQ(ToolWindowPlacement::keptOnScreen({300, 20, 500, 400}, {200, 100}, kWork), QRect(300, 20, 500, 400));
}

} // namespace
} // namespace telvar5
