#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>

#include "core/input/InputFixture.h"
#include "gui/analysis/LabelStatsModel.h"
#include "gui/analysis/TFrmLabelStats.h"

namespace telvar5 {
namespace {

constexpr std::uint32_t kAltitude = 0x08000083; // label 203, bit 28 set

class LabelStatsWindowTest : public ::testing::Test {
protected:
    test::FakeClock clock;
    test::FakeBus bus;
    test::FakePrompts prompts;
    std::unique_ptr<Monitor> monitor = std::make_unique<Monitor>(bus, prompts, clock);
    std::unique_ptr<TFrmLabelStats> window = std::make_unique<TFrmLabelStats>(*monitor);
    QTableView* grid = window->findChild<QTableView*>(QStringLiteral("LabelGrid"));
    QAbstractItemModel* rows = grid->model();
    QAbstractItemModel* source = qobject_cast<QSortFilterProxyModel*>(rows)->sourceModel();

    void SetUp() override
    {
        DecimalFormat& format = monitor->run().labelFormatTable[0203];
        format.setTag("ALT");
        format.setUnits("\xF4\xF2"); // "фт" in Windows-1251
        format.setMsbBit(28);
        format.setLsbBit(28);
        format.setMsbWeight(1024.0f);
        monitor->analysis().receptionStarted(0, 0);
        window->show();
    }
    // One tick at `ms`: the words stored on channel ch, then the window brought up to date.
    void tick(std::int64_t ms, std::size_t ch, const std::vector<std::uint32_t>& words)
    {
        clock.us = ms * 1000;
        for (std::uint32_t word : words)
            monitor->analysis().wordStored(ch, word & 0xFF, word, 0, clock.us);
        window->afterTick();
    }
    // The texts of row r joined by '|', or of column 0 of every row joined by ' ' when r < 0.
    std::string texts(int r = -1) const
    {
        QStringList out;
        for (int i = 0; i < (r < 0 ? rows->rowCount() : rows->columnCount()); ++i)
            out << (r < 0 ? rows->index(i, 0) : rows->index(r, i)).data().toString();
        return out.join(r < 0 ? ' ' : '|').toStdString();
    }
};

TEST_F(LabelStatsWindowTest, RowsShowTheFiguresAndLaterTicksChangeThemWithoutReset)
{
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Метки входного канала № 1"));
    tick(500, 0, {kAltitude, 0x60000001});
    tick(1000, 0, {kAltitude});
    // SDI, the last word's parity as received (ARINC's is odd) and the words with even parity.
    EXPECT_EQ(texts(0), "001|1|1.0|||60000001|0|нечёт|0|");
    EXPECT_EQ(texts(1), "203|2|2.0|500.0|500.0|08000083|0|чёт|2|+1024.000000 фт");

    grid->selectRow(1);
    QSignalSpy resets(source, &QAbstractItemModel::modelReset);
    QSignalSpy inserted(source, &QAbstractItemModel::rowsInserted);
    QSignalSpy changed(source, &QAbstractItemModel::dataChanged);
    tick(1200, 0, {0x005});
    EXPECT_EQ(inserted.count(), 1);
    changed.clear();
    tick(1500, 0, {});
    ASSERT_EQ(changed.count(), 1) << "an idle tick moves the rates on";
    EXPECT_EQ(changed[0][0].toModelIndex().column(), 2);
    EXPECT_EQ(changed[0][1].toModelIndex().row(), 2) << "of every row";
    tick(1600, 0, {kAltitude});
    ASSERT_EQ(changed.count(), 3);
    EXPECT_EQ(changed[1][0].toModelIndex().row(), 0) << "the row of 203 (seen first) alone";
    EXPECT_EQ(changed[1][1].toModelIndex().row(), 0);
    EXPECT_EQ(resets.count(), 0);
    EXPECT_EQ(texts(), "001 005 203");
    EXPECT_EQ(grid->selectionModel()->selectedRows().value(0).data().toString(), "203");
    EXPECT_EQ(texts(2), "203|3|1.9|500.0|600.0|08000083|0|чёт|3|+1024.000000 фт");

    window->hide();
    tick(2000, 0, {0x006});
    EXPECT_EQ(inserted.count(), 1) << "a hidden window does no work";
    window->show();
    EXPECT_EQ(rows->rowCount(), 4) << "and catches up when shown";
}

TEST_F(LabelStatsWindowTest, SortsByHeaderClickNumericallyAndFiltersByOctalLabel)
{
    // Counts 203: 10, 310: 3, 317: 2, 031: 1, so "10" sorted as text would come first.
    tick(100, 0, {kAltitude, 0xC8, 0xCF, 0x19});
    tick(200, 0, {kAltitude, 0xC8, 0xCF});
    tick(300, 0, {kAltitude, 0xC8});
    for (int t = 4; t <= 10; ++t)
        tick(t * 100, 0, {kAltitude});
    struct Case {
        const char* filter;
        int clicks; // on the "Слов" header: 1 ascending, 2 descending
        const char* labels;
    };
    const std::vector<Case> cases = {
        {"", 1, "031 317 310 203"},
        {"", 2, "203 310 317 031"},
        {"31", 0, "310 317"},
        {"317, 03;2", 0, "031 203 317"},
        {"(*[", 0, ""},
        {"", 0, "031 203 310 317"},
    };
    QHeaderView* header = grid->horizontalHeader();
    auto* filter = window->findChild<QLineEdit*>(QStringLiteral("edLabelFilter"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.filter);
        grid->sortByColumn(0, Qt::AscendingOrder);
        for (int i = 0; i < c.clicks; ++i)
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(header->sectionViewportPosition(1) + 10, header->height() / 2));
        filter->setText(QString::fromUtf8(c.filter));
        tick(1100, 0, {});
        EXPECT_EQ(texts(), c.labels);
    }
}

TEST_F(LabelStatsWindowTest, FollowsTheShownChannelAndItsRestarts)
{
    monitor->analysis().receptionStarted(3, 0);
    tick(500, 0, {kAltitude, 0x001});
    tick(600, 3, {0x0FF});
    QSignalSpy removed(source, &QAbstractItemModel::rowsRemoved);
    QSignalSpy inserted(source, &QAbstractItemModel::rowsInserted);

    monitor->reception().SIChange(3);
    window->afterTick();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Метки входного канала № 4"));
    EXPECT_EQ(texts(), "377");
    ASSERT_EQ(removed.count(), 1);
    EXPECT_EQ(removed[0][2].toInt(), 1) << "both rows of channel 1 go at once";
    EXPECT_EQ(inserted.count(), 1);

    monitor->analysis().receptionStarted(3, 700'000);
    tick(700, 3, {});
    EXPECT_EQ(rows->rowCount(), 0) << "a restart forgets the channel's labels";
    tick(800, 3, {0x0FF});
    EXPECT_EQ(texts(0), "377|1|10.0|||000000FF|0|чёт|1|") << "counted from the restart";
}

TEST_F(LabelStatsWindowTest, ALabelWithoutFreshWordsShowsGreyUntilItsNextWord)
{
    tick(500, 0, {0x001, kAltitude});
    const auto grey = [this](int row) { return rows->index(row, 0).data(Qt::ForegroundRole).isValid(); };
    EXPECT_FALSE(grey(0));
    QSignalSpy changed(source, &QAbstractItemModel::dataChanged);
    tick(5600, 0, {kAltitude}); // 001 has had no word for 5.1 s
    EXPECT_TRUE(grey(0));
    EXPECT_FALSE(rows->index(0, 5).data(Qt::ToolTipRole).toString().isEmpty()) << "the tip says why";
    EXPECT_FALSE(grey(1));
    const bool wholeRowTold = std::any_of(changed.begin(), changed.end(), [](const QList<QVariant>& signal) {
        return signal[0].toModelIndex().row() == 0 && signal[0].toModelIndex().column() == 0
            && signal[1].toModelIndex().column() == LabelStatsModel::kColumns - 1;
    });
    EXPECT_TRUE(wholeRowTold) << "the view repaints the row that turned grey";
    tick(5700, 0, {0x001});
    EXPECT_FALSE(grey(0)) << "a fresh word";
}

TEST_F(LabelStatsWindowTest, ADoubleClickOnARowAsksForThatLabelOfTheShownChannel)
{
    monitor->reception().SIChange(2);
    monitor->analysis().receptionStarted(2, 0);
    tick(500, 2, {0x001, kAltitude});
    QSignalSpy chosen(window.get(), &TFrmLabelStats::labelChosen);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    const QRect row = grid->visualRect(rows->index(1, 3));
    ASSERT_TRUE(row.isValid());
    // The first press of a double click, then the second, as a mouse sends them.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, row.center());
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, row.center());
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen[0][0].toInt(), 2);
    EXPECT_EQ(chosen[0][1].toInt(), 0203);
}

} // namespace
} // namespace telvar5
