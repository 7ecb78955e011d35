// DrawGrid1 paints its own cells for speed: the picture must be the one the
// table view draws through the grid's CellEditDelegate.
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

#include "core/RunState.h"
#include "gui/CellEditDelegate.h"
#include "gui/output/OutputArrayModel.h"
#include "gui/output/OutputArrayView.h"

using namespace telvar5;

namespace {

// The view and the table view drawing through the grid's delegate, shown alike, `rows` rows high.
void showBeside(OutputArrayView& view, FixedColumnGrid& reference, OutputArrayModel& model, int rows = 20,
                bool enabled = true)
{
    view.setModel(&model);
    reference.setItemDelegate(new CellEditDelegate(nullptr, 1, &reference));
    reference.setModel(&model);
    reference.setColumnWidths({view.fixedColumnWidth(), view.columnWidth(1), view.columnWidth(2)});
    reference.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (FixedColumnGrid* grid : {static_cast<FixedColumnGrid*>(&view), &reference}) {
        grid->resize(215, rows * FixedColumnGrid::kRowHeight); // room right of the columns
        grid->setEnabled(enabled);
        grid->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(grid));
    }
}

} // namespace

TEST(OutputArrayView, DrawsItsCellsAsTheTableViewWithTheDelegateDoes)
{
    struct Case {
        const char* what;
        int arraySize;
        int firstRow; // scrolled to
        bool enabled;
    };
    const Case cases[] = {
        {"a full array scrolled", 256, 5, true},
        {"a short array, room below it", 10, 0, true},
        {"disabled", 256, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto run = std::make_unique<RunState>();
        run->curOutputIndex = 3;
        run->arraySize[3] = static_cast<std::uint16_t>(c.arraySize);
        for (std::uint32_t k = 0; k < kOutputWords; ++k)
            run->outputRecord[3].words[k] = k * 0x9E3779B9u;
        OutputArrayModel model(*run);

        OutputArrayView view;
        FixedColumnGrid reference;
        showBeside(view, reference, model, 44, c.enabled);
        for (FixedColumnGrid* grid : {static_cast<FixedColumnGrid*>(&view), &reference}) {
            // A current cell changes nothing either.
            grid->setCurrentIndex(model.index(c.firstRow + 3, 2));
            grid->verticalScrollBar()->setValue(c.firstRow);
        }
        const QImage drawn = view.viewport()->grab().toImage();
        EXPECT_EQ(drawn, reference.viewport()->grab().toImage());
        int textPixels = 0;
        const QRgb text = view.palette().color(c.enabled ? QPalette::Active : QPalette::Disabled,
                                               QPalette::WindowText).rgb();
        for (int y = 0; y < drawn.height(); ++y)
            for (int x = 0; x < drawn.width(); ++x)
                textPixels += drawn.pixel(x, y) == text;
        EXPECT_GT(textPixels, 50) << "no texts drawn";
    }
}


TEST(OutputArrayView, RepaintsAChangedWordWithItsNewValue)
{
    auto run = std::make_unique<RunState>();
    run->arraySize[0] = 256;
    for (std::uint32_t k = 0; k < kOutputWords; ++k)
        run->outputRecord[0].words[k] = k * 0x01010101u;
    OutputArrayModel model(*run);
    OutputArrayView view;
    FixedColumnGrid reference;
    showBeside(view, reference, model);
    const QImage before = view.viewport()->grab().toImage();

    // Texts of the same lengths: the cells keep their sizes and only the values tell them apart.
    run->outputRecord[0].words[2] = 0x12345677u;
    model.wordChanged(2);
    const QImage after = view.viewport()->grab().toImage();
    EXPECT_NE(after, before);
    EXPECT_EQ(after, reference.viewport()->grab().toImage());
}

TEST(OutputArrayView, LeavesAGradientBackgroundToQtOnceThePaletteHasIt)
{
    auto run = std::make_unique<RunState>();
    run->arraySize[0] = 256;
    OutputArrayModel model(*run);
    OutputArrayView view;
    FixedColumnGrid reference;
    showBeside(view, reference, model);
    // The next repaint is the first with the new palette. Qt lays a gradient out
    // from the scrolled contents' corner, here 5 rows up.
    for (FixedColumnGrid* grid : {static_cast<FixedColumnGrid*>(&view), &reference}) {
        grid->verticalScrollBar()->setValue(5);
        QLinearGradient gradient(0, 0, 0, 400);
        gradient.setColorAt(0, Qt::darkGreen);
        gradient.setColorAt(1, Qt::white);
        QPalette palette = grid->palette();
        palette.setBrush(QPalette::Base, gradient);
        grid->setPalette(palette);
    }
    EXPECT_EQ(view.viewport()->grab().toImage(), reference.viewport()->grab().toImage());
}
