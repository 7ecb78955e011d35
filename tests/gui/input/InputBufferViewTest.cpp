// DrawGrid2 paints its own cells for speed: the picture must be the one the
// table view draws through DrawGrid2Delegate.
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

#include "core/RunState.h"
#include "formats/LabelFormats.h"
#include "gui/input/DrawGrid2Delegate.h"
#include "gui/input/InputBufferModel.h"
#include "gui/input/InputBufferView.h"

using namespace telvar5;

namespace {

// Label 170 in degrees with Russian units; label 171 so large that its text runs into the next column.
void addFormats(RunState& run)
{
    FormatTables tables;
    const char* units[] = {"\xE3\xF0\xE0\xE4", "ft"}; // "град"
    const float weights[] = {90.0f, 3.0e38f};
    for (std::size_t f = 0; f < 2; ++f) {
        const std::string tag = "F" + std::to_string(f);
        tables.formatTable[f].setTag(tag);
        tables.formatTable[f].setMsbBit(28);
        tables.formatTable[f].setLsbBit(11);
        tables.formatTable[f].setMsbWeight(weights[f]);
        tables.formatTable[f].setUnits(units[f]);
        tables.paramFormatTable[f].setLabel(static_cast<std::uint8_t>(0170 + f));
        tables.paramFormatTable[f].setChannel(1);
        tables.paramFormatTable[f].setFormatTag(tag);
    }
    tables.formatCount = 2;
    tables.paramFormatCount = 2;
    buildLabelFormats(run.labelFormatTable, tables, 1);
}

void showAlike(FixedColumnGrid& grid)
{
    grid.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    grid.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    grid.resize(700, 400);
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
}

} // namespace

TEST(InputBufferView, DrawsItsCellsAsTheTableViewWithTheDelegateDoes)
{
    auto run = std::make_unique<RunState>();
    addFormats(*run);
    for (std::uint32_t cell = 0; cell < 40; ++cell)
        run->inputBuffer[0][cell] = {(cell * 0x9E3779B9u) << 8 | (0170 + cell % 3), cell * 977};
    InputBufferModel model(*run);

    InputBufferView view;
    view.setBufferModel(&model);
    FixedColumnGrid reference;
    reference.setItemDelegate(new DrawGrid2Delegate(&reference));
    reference.setModel(&model);
    reference.setColumnWidths({view.fixedColumnWidth(), view.columnWidth(1), view.columnWidth(2), view.columnWidth(3),
                               view.columnWidth(4), view.columnWidth(5), view.columnWidth(6), view.columnWidth(7)});
    showAlike(view);
    showAlike(reference);
    // A current cell, and the columns scrolled sideways, change nothing either.
    for (FixedColumnGrid* grid : {static_cast<FixedColumnGrid*>(&view), &reference}) {
        grid->setCurrentIndex(model.index(3, 2));
        grid->horizontalScrollBar()->setValue(1);
    }
    const QImage drawn = view.viewport()->grab().toImage();
    EXPECT_EQ(drawn, reference.viewport()->grab().toImage());
    int textPixels = 0;
    const QRgb text = view.palette().color(QPalette::WindowText).rgb();
    for (int y = 0; y < drawn.height(); ++y)
        for (int x = 0; x < drawn.width(); ++x)
            textPixels += drawn.pixel(x, y) == text;
    EXPECT_GT(textPixels, 100) << "no texts drawn";
}
