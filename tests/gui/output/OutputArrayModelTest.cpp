#include <QSignalSpy>
#include <gtest/gtest.h>
#include <memory>

#include "core/RunState.h"
#include "gui/output/OutputArrayModel.h"

using namespace telvar5;

namespace {

class OutputArrayModelTest : public ::testing::Test {
protected:
    std::unique_ptr<RunState> run = std::make_unique<RunState>();
    OutputArrayModel model{*run};

    QString text(int row, int column) { return model.data(model.index(row, column)).toString(); }
};

} // namespace

TEST_F(OutputArrayModelTest, TitlesTextsAndEditableColumns)
{
    EXPECT_EQ(model.rowCount(), 256); // as the grid is made, before a module is chosen
    EXPECT_EQ(model.columnCount(), 3);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral(" индекс"));
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral(" АП"));
    EXPECT_EQ(model.headerData(2, Qt::Horizontal).toString(), QStringLiteral(" код(HEX) "));

    run->curOutputIndex = 4;
    run->outputRecord[4].words[200] = 0xABCDEF12u;
    run->outputRecord[4].words[7] = 0x000001FFu;
    const std::tuple<int, int, const char*> cells[] = {
        {200, 0, "  200"}, {200, 1, "022"}, {200, 2, "abcdef"}, {7, 1, "377"}, {7, 2, "000001"}, {0, 0, "    0"}};
    for (const auto& [row, column, shown] : cells)
        EXPECT_EQ(text(row, column), QString::fromLatin1(shown)) << row << "," << column;
    // The cell editor opens empty.
    EXPECT_FALSE(model.data(model.index(200, 1), Qt::EditRole).isValid());
    EXPECT_FALSE(model.flags(model.index(3, 0)) & Qt::ItemIsEditable);
    EXPECT_TRUE(model.flags(model.index(3, 1)) & Qt::ItemIsEditable);
    EXPECT_TRUE(model.flags(model.index(3, 2)) & Qt::ItemIsEditable);
}

TEST_F(OutputArrayModelTest, SizeChangesInsertAndRemoveRowsWithoutReset)
{
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);

    run->arraySize.fill(256);
    run->arraySize[1] = 3;
    model.sizeChanged();
    EXPECT_EQ(model.rowCount(), 256);
    run->curOutputIndex = 1;
    model.sizeChanged();
    EXPECT_EQ(model.rowCount(), 3);
    ASSERT_EQ(removed.count(), 1);
    EXPECT_EQ(removed[0][1].toInt(), 3);
    EXPECT_EQ(removed[0][2].toInt(), 255);
    run->arraySize[1] = 10;
    model.sizeChanged();
    ASSERT_EQ(inserted.count(), 1);
    EXPECT_EQ(inserted[0][1].toInt(), 3);
    EXPECT_EQ(inserted[0][2].toInt(), 9);

    model.wordChanged(4);
    model.wordChanged(10); // beyond the rows shown: nothing to repaint
    model.wordsChanged();
    ASSERT_EQ(changed.count(), 2);
    EXPECT_EQ(changed[0][0].toModelIndex(), model.index(4, 0));
    EXPECT_EQ(changed[0][1].toModelIndex(), model.index(4, 2));
    EXPECT_EQ(changed[1][1].toModelIndex(), model.index(9, 2));
    EXPECT_EQ(reset.count(), 0);
}
