// The wiring of "Поток слов": ticks append rows without a reset and follow the
// end, scrolling up pauses, the filter's toggles, the search and a recording
// opened through the dialog.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

#include "core/analysis/CaptureFile.h"
#include "core/input/InputFixture.h"
#include "formats/FormatTestSupport.h"
#include "formats/ReplaceFile.h"
#include "gui/analysis/TFrmWordLog.h"
#include "gui/analysis/WordLogModel.h"

namespace telvar5 {
namespace {

class WordLogWindowTest : public ::testing::Test {
protected:
    test::FakeClock clock;
    test::FakeBus bus;
    test::FakePrompts prompts;
    std::unique_ptr<Monitor> monitor = std::make_unique<Monitor>(bus, prompts, clock);
    std::unique_ptr<TFrmWordLog> window;
    QAbstractItemModel* rows = nullptr;

    void SetUp() override
    {
        FormatTables& formats = monitor->run().formats; // label 203 on channel 1: bit 28 weighs 1024
        formats.formatTable[0] = test::makeFormat("ALT", 0, 28, 28, 1024.0f, "ft");
        formats.formatCount = 1;
        formats.paramFormatTable[0] = test::makeParam(0203, 1, "ALT");
        formats.paramFormatCount = 1;
        monitor->analysis().receptionStarted(0, 0);
        window = std::make_unique<TFrmWordLog>(*monitor);
        window->resize(900, 300);
        window->show();
        rows = window->grid()->model();
    }
    // One tick at `ms`: `count` words of label 203 on channel 1 and one of label 001 on channel 2.
    void tick(std::int64_t ms, int count)
    {
        clock.us = ms * 1000;
        for (int i = 0; i < count; ++i)
            monitor->analysis().wordStored(0, 0, 0x08000083, static_cast<std::uint32_t>(ms), clock.us);
        monitor->analysis().wordStored(1, 0, 0x00000001, static_cast<std::uint32_t>(ms), clock.us);
        monitor->analysis().tickDone();
        window->afterTick();
    }
    QString cell(int row, int column) const { return rows->index(row, column).data().toString(); }
    template <typename T>
    T* child(const char* name) const
    {
        return window->findChild<T*>(QString::fromUtf8(name));
    }
};

TEST_F(WordLogWindowTest, TicksAppendAndFollowUntilScrolledAwayAndTheFilterNarrows)
{
    QSignalSpy resets(rows, &QAbstractItemModel::modelReset);
    tick(500, 1);
    tick(1000, 60);
    ASSERT_EQ(rows->rowCount(), 63);
    EXPECT_EQ(resets.count(), 0);
    EXPECT_EQ(cell(0, WordLogModel::ColValue), QStringLiteral("+1024.000000"));
    EXPECT_EQ(cell(2, WordLogModel::ColSinceSameLabel), QStringLiteral("500.000"));
    EXPECT_TRUE(rows->index(2, WordLogModel::ColSinceStart).data(Qt::TextAlignmentRole).toInt() & Qt::AlignRight)
        << "numbers stand to the right, on Qt 5 too";
    QScrollBar* bar = window->grid()->verticalScrollBar();
    EXPECT_EQ(bar->value(), bar->maximum()) << "follows the end";

    bar->setValue(0); // the user scrolls up: the rows stand still
    EXPECT_TRUE(child<QPushButton>("btPause")->isChecked());
    tick(1500, 1);
    EXPECT_EQ(rows->rowCount(), 63);
    bar->setValue(bar->maximum()); // back at the end: what came meanwhile, and on
    EXPECT_FALSE(child<QPushButton>("btPause")->isChecked());
    EXPECT_EQ(rows->rowCount(), 65);

    window->grid()->setCurrentIndex(rows->index(1, 0)); // a row chosen: the log stands still
    EXPECT_TRUE(child<QPushButton>("btPause")->isChecked());
    child<QPushButton>("btPause")->click();

    child<QToolButton>("tbChannel1")->click(); // channel 1 hidden: channel 2's words stay
    EXPECT_EQ(rows->rowCount(), 3);
    EXPECT_EQ(cell(2, WordLogModel::ColLabel), QStringLiteral("001"));
}

TEST_F(WordLogWindowTest, FindsALabelAndOpensARecording)
{
    tick(500, 3);
    window->grid()->setCurrentIndex(rows->index(0, 0));
    child<QLineEdit>("edFind")->setText(QStringLiteral("1"));
    QTest::keyClick(child<QLineEdit>("edFind"), Qt::Key_Return);
    EXPECT_EQ(window->grid()->currentIndex().row(), 3);
    child<QLineEdit>("edFind")->setText(QStringLiteral("9")); // no octal label: refused
    QTest::keyClick(child<QLineEdit>("edFind"), Qt::Key_Return);
    EXPECT_EQ(prompts.refusals.size(), 1u);

    test::ScratchDir dir;
    const CaptureHeaderBytes header = encodeCaptureHeader(CaptureHeader{});
    std::vector<std::uint8_t> bytes(header.begin(), header.end());
    const CaptureEntryBytes entry = encodeCaptureEntry({7, 1, 0x00000005, 3, 0});
    bytes.insert(bytes.end(), entry.begin(), entry.end());
    bytes.resize(bytes.size() + 5); // a cut last entry
    test::writeBytes(dir / "rec.tlvcap", bytes);
    prompts.fileToOpen = utf8FromPath(dir / "rec.tlvcap");
    child<QPushButton>("btOpenRecording")->click();
    ASSERT_EQ(rows->rowCount(), 1);
    EXPECT_EQ(cell(0, WordLogModel::ColLabel), QStringLiteral("005"));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Поток слов — rec.tlvcap"));
    EXPECT_FALSE(child<QPushButton>("btPause")->isEnabled());
    EXPECT_TRUE(child<QLabel>("lbReport")->isVisible()) << "the damage is said";
    tick(1000, 1); // the live log goes on behind the recording
    EXPECT_EQ(rows->rowCount(), 1);
    child<QPushButton>("btLive")->click();
    EXPECT_EQ(rows->rowCount(), 6);
}

} // namespace
} // namespace telvar5
