// The first column of both grids is fixed: it stays in place when the grid
// scrolls sideways, and no click or key makes it the current cell.
#include <QHeaderView>
#include <QScrollBar>
#include <QSplitter>

#include "MainWindowFixture.h"
#include "gui/DataPanel.h"
#include "gui/GridFixedColumn.h"
#include "gui/GridTitleHeader.h"
#include "gui/input/InputBufferView.h"
#include "gui/output/OutputArrayView.h"

using namespace telvar5;
using namespace telvar5::widgets_test;

namespace {

class FixedColumn : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        open();
        choose(0);
        initialise();
    }
};

} // namespace

TEST_F(FixedColumn, StaysInPlaceAndNeverBecomesCurrent)
{
    DataPanel* panel = window->Panel5();
    // The input side narrower than its grid, and a column of the output grid
    // widened past its side, so that both scroll sideways.
    panel->splitter()->setSizes({300, 300});
    panel->DrawGrid1()->setColumnWidth(2, 500);
    QTest::qWait(20);
    const std::pair<const char*, FixedColumnGrid*> grids[] = {{"DrawGrid2", panel->DrawGrid2()},
                                                             {"DrawGrid1", panel->DrawGrid1()}};
    for (const auto& [name, grid] : grids) {
        SCOPED_TRACE(name);
        GridFixedColumn* fixed = grid->fixedColumn();
        const QRect before = fixed->geometry();
        EXPECT_EQ(grid->cornerTitle()->geometry(), QRect(before.left(), grid->titles()->y(), before.width(), 18));
        grid->horizontalScrollBar()->setValue(grid->horizontalScrollBar()->maximum());
        QTest::qWait(10);
        EXPECT_LT(grid->columnViewportPosition(1), 0) << "the grid did not scroll";
        EXPECT_EQ(fixed->geometry(), before);
        EXPECT_TRUE(fixed->isVisible());
        EXPECT_EQ(grid->model()->index(3, 0).data().toString(), QStringLiteral("    3"));

        // A click on the fixed column selects nothing; keys stop at column 1.
        grid->setFocus();
        grid->setCurrentIndex(grid->model()->index(2, 1));
        QTest::mouseClick(fixed->viewport(), Qt::LeftButton, {}, QPoint(10, grid->rowViewportPosition(5) + 9));
        EXPECT_EQ(grid->currentIndex(), grid->model()->index(2, 1));
        for (Qt::Key key : {Qt::Key_Left, Qt::Key_Home}) {
            QTest::keyClick(grid, key);
            EXPECT_EQ(grid->currentIndex().column(), 1);
        }
        grid->horizontalScrollBar()->setValue(0);
    }
}
