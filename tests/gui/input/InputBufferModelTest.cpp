#include <QSignalSpy>
#include <gtest/gtest.h>

#include "core/RunState.h"
#include "formats/LabelFormats.h"
#include "gui/input/InputBufferModel.h"

using namespace telvar5;

namespace {

class InputBufferModelTest : public ::testing::Test {
protected:
    std::unique_ptr<RunState> run = std::make_unique<RunState>();
    InputBufferModel model{*run};

    QString text(int row, int column) { return model.data(model.index(row, column)).toString(); }
};

} // namespace

TEST_F(InputBufferModelTest, ShapeAndTitles)
{
    EXPECT_EQ(model.rowCount(), 256);
    EXPECT_EQ(model.columnCount(), 8);
    const QStringList titles{"№ ячейки", " АП", "  HEX", "  OCTAL", " M", "  DECIMAL", "  BINARY", "  № цикла"};
    for (int c = 0; c < 8; ++c)
        EXPECT_EQ(model.headerData(c, Qt::Horizontal).toString(), titles[c]);
    EXPECT_FALSE(model.flags(model.index(3, 3)) & Qt::ItemIsEditable);
}

TEST_F(InputBufferModelTest, EmptyCellsShowZeroFields)
{
    EXPECT_EQ(text(0, 0), "    0");
    EXPECT_EQ(text(255, 0), "  255");
    EXPECT_EQ(text(0, 1), " 000");
    EXPECT_EQ(text(0, 2), " 000000");
    EXPECT_EQ(text(0, 3), "00000000");
    EXPECT_EQ(text(0, 4), " 00 ");
    EXPECT_EQ(text(0, 5), " ");
    EXPECT_EQ(text(0, 6), "0");
    EXPECT_EQ(text(0, 7), "         0");
}

TEST_F(InputBufferModelTest, ShowsTheDisplayedChannelWithItsFormats)
{
    run->inputBuffer[2][7] = {0x12345678, 42};
    run->curInputIndex = 2;
    EXPECT_EQ(text(7, 1), " 170");
    EXPECT_EQ(text(7, 2), " 123456");
    EXPECT_EQ(text(7, 3), "04432126");
    EXPECT_EQ(text(7, 6), "100100011010001010110");
    EXPECT_EQ(text(7, 7), "        42");
    EXPECT_EQ(text(7, 5), " ");

    // Units are Windows-1251 bytes in the record and Russian on the screen.
    FormatTables tables;
    tables.formatTable[0].setTag("ANGLE");
    tables.formatTable[0].setMsbBit(28);
    tables.formatTable[0].setLsbBit(11);
    tables.formatTable[0].setMsbWeight(90.0f);
    tables.formatTable[0].setUnits("\xE3\xF0\xE0\xE4"); // "град"
    tables.formatCount = 1;
    tables.paramFormatTable[0].setLabel(0170);
    tables.paramFormatTable[0].setChannel(3);
    tables.paramFormatTable[0].setFormatTag("ANGLE");
    tables.paramFormatCount = 1;
    buildLabelFormats(run->labelFormatTable, tables, 3);
    EXPECT_EQ(text(7, 5), " -155.200424 град    ");

    run->curInputIndex = 0;
    EXPECT_EQ(text(7, 1), " 000");
}

TEST_F(InputBufferModelTest, ATickRepaintsOnlyTheStoredRowsAndNeverResets)
{
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    std::bitset<kInputCells> cells;
    cells.set(3);
    cells.set(4);
    cells.set(5);
    cells.set(200);
    model.cellsStored(cells);
    ASSERT_EQ(changed.count(), 2);
    EXPECT_EQ(changed[0][0].toModelIndex().row(), 3);
    EXPECT_EQ(changed[0][1].toModelIndex().row(), 5);
    EXPECT_EQ(changed[0][1].toModelIndex().column(), 7);
    EXPECT_EQ(changed[1][0].toModelIndex().row(), 200);
    EXPECT_EQ(changed[1][1].toModelIndex().row(), 200);

    model.cellsStored({});
    EXPECT_EQ(changed.count(), 2);

    model.channelChanged();
    ASSERT_EQ(changed.count(), 3);
    EXPECT_EQ(changed[2][0].toModelIndex().row(), 0);
    EXPECT_EQ(changed[2][1].toModelIndex().row(), 255);
    EXPECT_EQ(reset.count(), 0);
}
