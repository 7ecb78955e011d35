// The input side of the main window: reception commands, tabs, the refresh
// tick filling DrawGrid2, and ComboBox1.
#include <QScrollBar>
#include <QSignalSpy>
#include <QTabBar>
#include <QToolButton>

#include "MainWindowFixture.h"
#include "gui/DataPanel.h"
#include "gui/PanelStatusBar.h"
#include "gui/input/InputBufferView.h"

using namespace telvar5;
using namespace telvar5::widgets_test;

namespace {

class InputSide : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        open();
        choose(0);
        initialise();
    }
    InputBufferView* grid() { return window->Panel5()->DrawGrid2(); }
    QString cell(int row, int column) { return grid()->model()->index(row, column).data().toString(); }
    void click(const char* button) { find<QToolButton>(button)->click(); }
};

} // namespace

TEST_F(InputSide, StartAndStopThroughTheToolButtons)
{
    click("tbSIaddressPusk");
    EXPECT_EQ(bus.count(ReqSIaddressPusk), 1);
    EXPECT_TRUE(find<QToolButton>("tbSIstop")->isEnabled());
    click("tbSIstop");
    EXPECT_EQ(bus.count(ReqSIstopChannel), 1);
    EXPECT_FALSE(find<QToolButton>("tbSIstop")->isEnabled());
    click("tbSIfilePusk");
    EXPECT_EQ(bus.count(ReqSIfilePusk), 1);
    EXPECT_EQ(window->monitor().run().receptionMode[0], kReceptionFile);
}

TEST_F(InputSide, TickFillsTheGridWithWordsAndCycleNumbers)
{
    bus.readWord = [](std::uint16_t channel, std::uint16_t cell) -> std::optional<std::uint32_t> {
        if (channel == 1 && cell == 0203)
            return 0x6001E083u;
        return 0u;
    };
    click("tbSIaddressPusk");
    bus.siRunning = true;
    window->Timer1Timer();
    window->Timer1Timer();
    EXPECT_EQ(cell(0203, 0), "  131");
    EXPECT_EQ(cell(0203, 1), " 203");
    EXPECT_EQ(cell(0203, 2), " 6001e0");
    EXPECT_EQ(cell(0203, 4), " 11 ");
    EXPECT_EQ(cell(0203, 7), "         2");
    EXPECT_EQ(cell(0204, 7), "         0");
    EXPECT_EQ(window->XPStatusBar2()->panelText(0), "Входной канал №1: прием адресный; частота 12..14,5КГц");
    EXPECT_EQ(window->XPStatusBar1()->panelText(1), "Обновление экрана:-период  500 мс;  -счетчик          2");
}

TEST_F(InputSide, TabSwitchShowsTheOtherChannelAndItsNumber)
{
    bus.readWord = [](std::uint16_t channel, std::uint16_t cell) -> std::optional<std::uint32_t> {
        return channel == 3 && cell == 5 ? std::optional<std::uint32_t>(0x12345678u) : 0u;
    };
    window->Panel5()->SI()->setCurrentIndex(2);
    EXPECT_EQ(window->Panel5()->StaticText3()->text(), "Буфер входного канала № 3");
    click("tbSIaddressPusk");
    EXPECT_EQ(bus.last(ReqSIaddressPusk)->in[0], 3);
    window->Timer1Timer();
    EXPECT_EQ(cell(5, 1), " 170");
    EXPECT_EQ(bus.last(ReqSIstate)->in[0], 3);

    // Channel 1 was never read: its grid is empty, and the tab stays where the user put it.
    window->Panel5()->SI()->setCurrentIndex(0);
    window->Timer1Timer();
    EXPECT_EQ(cell(5, 1), " 000");
    EXPECT_EQ(window->Panel5()->SI()->currentIndex(), 0);
    EXPECT_EQ(bus.last(ReqSIstate)->in[0], 1);
}

TEST_F(InputSide, GridShapeAndTopRowChooser)
{
    InputBufferView* view = grid();
    EXPECT_EQ(view->model()->rowCount(), 256);
    EXPECT_EQ(view->model()->columnCount(), 8);
    // Column 0, the cell number, is the fixed column. Each column has its own width,
    // or more where its title or a full-length value needs it in the font in use.
    const QFontMetrics metrics(view->font());
    for (int c = 0; c < 8; ++c) {
        const int width = c == 0 ? view->fixedColumnWidth() : view->columnWidth(c);
        const QString title = view->model()->headerData(c, Qt::Horizontal).toString();
        EXPECT_GE(width, InputBufferView::kColumnWidths[static_cast<std::size_t>(c)]) << c;
        EXPECT_GE(width, metrics.horizontalAdvance(title) + 2) << title.toStdString();
    }
    // The longest value of each column: a word with every bit set, as the grid writes it.
    window->monitor().run().inputBuffer[0][5] = {0xFFFFFFFFu, 4294967295u};
    for (int c = 1; c < 8; ++c) {
        const QString widest = view->model()->index(5, c).data().toString();
        EXPECT_GE(view->columnWidth(c), metrics.horizontalAdvance(widest) + 2) << widest.toStdString();
    }
    EXPECT_EQ(view->rowHeight(100), 18);
    EXPECT_EQ(view->focusPolicy(), Qt::ClickFocus);
    EXPECT_EQ(view->editTriggers(), QAbstractItemView::NoEditTriggers);

    QComboBox* top = find<QComboBox>("ComboBox1");
    top->setCurrentIndex(10);
    emit top->activated(10);
    EXPECT_EQ(view->rowAt(0), 10);
    top->setCurrentIndex(255);
    emit top->activated(255);
    // As far as the scrolling allows: the last row is in view.
    EXPECT_GT(view->rowAt(0), 200);
    EXPECT_EQ(view->rowAt(view->viewport()->height() - 2), 255);
}

TEST_F(InputSide, TheCurrentCellIsNeverDrawnHighlighted)
{
    InputBufferView* view = grid();
    view->setFocus();
    const QModelIndex index = view->model()->index(3, 2);
    view->setCurrentIndex(index);
    view->selectionModel()->select(index, QItemSelectionModel::Select);
    const QRect rect = view->visualRect(index);
    const QImage image = view->viewport()->grab().toImage();
    const QColor base = view->palette().color(QPalette::Base);
    const QColor highlight = view->palette().color(QPalette::Highlight);
    int highlighted = 0;
    for (int x = rect.left() + 1; x < rect.right(); ++x)
        for (int y = rect.top() + 1; y < rect.bottom(); ++y)
            highlighted += image.pixelColor(x, y) == highlight;
    EXPECT_EQ(highlighted, 0);
    EXPECT_EQ(image.pixelColor(rect.right() - 2, rect.top() + 2), base);
}
