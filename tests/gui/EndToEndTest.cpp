// The main window against the real virtual driver, loaded from its own
// configuration file, with the request log read back through the bench socket.
#include <QApplication>
#include <QTemporaryDir>
#include <QToolTip>
#include <QTest>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QToolButton>
#include <algorithm>
#include <fstream>
#include <map>
#include <gtest/gtest.h>

#include "ModalDriver.h"
#include "WidgetFakes.h"
#include "support/BenchLine.h"
#include "gui/MainCommands.h"
#include "gui/analysis/AnalysisMenu.h"
#include "gui/analysis/TFrmModuleLog.h"
#include "gui/device/ModuleHealthIndicator.h"
#include "gui/DataPanel.h"
#include "gui/PanelStatusBar.h"
#include "gui/ReadableColour.h"
#include "gui/input/InputBufferView.h"
#include "gui/TMainFrm.h"
#include "gui/device/TFrmDeviceChoice.h"
#include "device/virtual/VirtualDeviceBus.h"

using namespace telvar5;
using namespace telvar5::widgets_test;

namespace {

// How far the text of a picture stands out: the contrast between its
// commonest colour (the ground) and the colour farthest from it.
double textContrast(const QImage& picture)
{
    std::map<QRgb, int> counts;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            ++counts[picture.pixel(x, y)];
    if (counts.empty())
        return 0.0;
    const auto ground =
        std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) { return a.second < b.second; });
    double contrast = 0.0;
    for (const auto& [rgb, count] : counts)
        contrast = std::max(contrast, contrastRatio(QColor(ground->first), QColor(rgb)));
    return contrast;
}

class EndToEnd : public ::testing::Test {
protected:
    QTemporaryDir dir;
    std::string socket;
    std::unique_ptr<VirtualDeviceBus> bus;
    FakePrompts prompts;
    std::unique_ptr<TMainFrm> window;

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        const std::string config = dir.filePath("telvar5-vdrv.conf").toStdString();
        socket = dir.filePath("bench.sock").toStdString();
        std::ofstream(config) << "bench-socket bench.sock\n"
                                 "interface 0 serial 501 inputs 8 outputs 8\n"
                                 "interface 1 fails\n"
                                 "interface 2 serial 502 inputs 2 outputs 4\n";
        bus = std::make_unique<VirtualDeviceBus>(config);
        window = std::make_unique<TMainFrm>(*bus, prompts);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    std::vector<std::string> log(const std::string& command = "log")
    {
        const vdrv::BenchReply reply = test::benchLine(bus->driver(), socket, command);
        EXPECT_TRUE(reply.connected && reply.ok) << reply.error;
        return reply.lines;
    }

    // Lines of the log naming the request, in order.
    static std::vector<std::string> named(const std::vector<std::string>& lines, const std::string& name)
    {
        std::vector<std::string> found;
        for (const auto& l : lines)
            if (l.find(" " + name + " ") != std::string::npos)
                found.push_back(l);
        return found;
    }

    void choose(int line)
    {
        whenModal([line](QWidget* modal) {
            auto* dialog = qobject_cast<TFrmDeviceChoice*>(modal);
            ASSERT_NE(dialog, nullptr);
            dialog->DeviceList()->setCurrentIndex(line);
            dialog->Button1()->click();
        });
        window->command(Command::ActionDeviceChoice)->trigger();
    }
};

} // namespace

TEST_F(EndToEnd, ChoiceInitialisationStopAndCloseReachTheDriver)
{
    const auto* list = window->FrmDeviceChoice()->DeviceList();
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->itemText(0).toStdString(), "               501                         0");
    EXPECT_EQ(list->itemText(1).toStdString(), "               502                         2");

    choose(1);
    EXPECT_EQ(window->monitor().run().siChannelCount, 2u);
    EXPECT_EQ(window->monitor().run().soChannelCount, 4u);
    EXPECT_EQ(window->XPStatusBar1()->panelText(0).toStdString(), "TELVAR-5: серийный № 502; порядковый № 2");

    window->findChild<QComboBox*>("cbFreqSO2")->setCurrentIndex(2);
    window->command(Command::DeviceInitialization)->trigger();
    EXPECT_TRUE(window->Timer1()->isActive());
    window->Timer1Timer();
    window->command(Command::DeviceReset)->trigger();
    EXPECT_FALSE(window->Timer1()->isActive());
    window->close();

    const auto lines = log();
    const auto serials = named(lines, "ReqSerialNumber");
    ASSERT_EQ(serials.size(), 2u);
    EXPECT_NE(serials[0].find("if=0"), std::string::npos);
    EXPECT_NE(serials[0].find("out=2/2: f5 01 ok"), std::string::npos) << serials[0];
    EXPECT_NE(serials[1].find("if=2"), std::string::npos);

    const auto choice = named(lines, "ReqDeviceChoice");
    ASSERT_EQ(choice.size(), 1u);
    EXPECT_NE(choice[0].find("if=2"), std::string::npos);
    EXPECT_NE(choice[0].find("in=0 out=2/2: 40 02 ok"), std::string::npos) << choice[0];

    const auto init = named(lines, "ReqDeviceInitialization");
    ASSERT_EQ(init.size(), 1u);
    EXPECT_NE(init[0].find("in=16: 00 00 00 00 00 00 00 00 00 02 00 00 00 00 00 00"), std::string::npos) << init[0];

    const auto soState = named(lines, "ReqSOstate");
    const auto siState = named(lines, "ReqSIstate");
    ASSERT_EQ(soState.size(), 1u);
    ASSERT_EQ(siState.size(), 1u);
    EXPECT_NE(soState[0].find("in=2: 01 00"), std::string::npos);

    // One reset from "останов", one more when the window closed.
    const auto resets = named(lines, "ReqDeviceReset");
    ASSERT_EQ(resets.size(), 2u);
    EXPECT_NE(resets[0].find("in=0 out=0/0 ok"), std::string::npos) << resets[0];
    for (const auto& l : lines)
        EXPECT_EQ(l.find("FAILED"), std::string::npos) << l;
}

TEST_F(EndToEnd, ClosingWithoutAChoiceSendsNothingButTheSearch)
{
    window->close();
    const auto lines = log();
    EXPECT_EQ(named(lines, "ReqSerialNumber").size(), 2u);
    EXPECT_EQ(lines.size(), 2u);
}

TEST_F(EndToEnd, WordsInjectedOnTheBenchReachTheInputGridWithTheirTicks)
{
    choose(0);
    window->command(Command::DeviceInitialization)->trigger();
    window->command(Command::SIaddressPusk)->trigger();
    window->Timer1Timer(); // tick 1: nothing has arrived
    log("inject 0 1 6001E083 E00310C8");
    window->Timer1Timer(); // tick 2
    window->Timer1Timer(); // tick 3: the cells were read already, nothing new
    log("inject 0 1 6001F083");
    window->Timer1Timer(); // tick 4

    const QAbstractItemModel* grid = window->Panel5()->DrawGrid2()->model();
    auto text = [grid](int row, int column) { return grid->index(row, column).data().toString().toStdString(); };
    EXPECT_EQ(text(0203, 2), " 6001f0");
    EXPECT_EQ(text(0203, 7), "         4");
    EXPECT_EQ(text(0310, 2), " e00310");
    EXPECT_EQ(text(0310, 7), "         2");
    EXPECT_EQ(text(0, 7), "         0");
    EXPECT_EQ(window->XPStatusBar2()->panelText(0).toStdString(),
              "Входной канал №1: прием адресный; частота 12..14,5КГц");

    // File reception on channel 2 keeps the words in their order of arrival.
    window->Panel5()->SI()->setCurrentIndex(1);
    window->command(Command::SIfilePusk)->trigger();
    log("inject 0 2 11110001 22220002 33330003");
    window->Timer1Timer(); // tick 5
    EXPECT_EQ(text(0, 2), " 111100");
    EXPECT_EQ(text(1, 2), " 222200");
    EXPECT_EQ(text(2, 2), " 333300");
    EXPECT_EQ(text(2, 7), "         5");
    EXPECT_EQ(text(3, 7), "         0");
    EXPECT_EQ(window->XPStatusBar2()->panelText(0).toStdString(),
              "Входной канал №2: прием файловый; частота 12..14,5КГц");
}

TEST_F(EndToEnd, ADriverThatVanishesLeavesTheDataAndTheProgramRunning)
{
    choose(0);
    window->command(Command::DeviceInitialization)->trigger();
    window->command(Command::SIaddressPusk)->trigger();
    log("inject 0 1 6001E083");
    window->Timer1Timer();
    log("fault 0 vanish");
    window->Timer1Timer();
    window->Timer1Timer();

    const QAbstractItemModel* grid = window->Panel5()->DrawGrid2()->model();
    EXPECT_EQ(grid->index(0203, 2).data().toString().toStdString(), " 6001e0");
    EXPECT_EQ(grid->index(0203, 7).data().toString().toStdString(), "         1");
    // Failed state requests read as "not running".
    EXPECT_EQ(window->XPStatusBar2()->panelText(0).toStdString(),
              "Входной канал №1: прием остановлен; частота 12..14,5КГц");
    EXPECT_EQ(window->XPStatusBar1()->panelText(1).toStdString(),
              "Обновление экрана:-период  500 мс;  -счетчик          3");
    EXPECT_FALSE(window->findChild<QToolButton*>("tbSIstop")->isEnabled());
    // Beside those texts, the menu bar's corner says the module is not answering, and why.
    const ModuleHealthIndicator* health = window->healthIndicator();
    EXPECT_EQ(health->parentWidget(), window->menuBar()->cornerWidget(Qt::TopRightCorner));
    EXPECT_TRUE(health->isVisible());
    EXPECT_EQ(health->text().toStdString(), "модуль не отвечает");
    EXPECT_NE(health->toolTip().toStdString().find("не удалось прочитать слово из буфера приема (ReqSIreadWord)"),
              std::string::npos)
        << health->toolTip().toStdString();
    // The tooltip as it shows under a theme whose tooltips are pale grey on white, as a bench PC's were.
    const QPalette themeTips = QToolTip::palette();
    QPalette paleTips = themeTips;
    paleTips.setColor(QPalette::ToolTipText, QColor(0xC8, 0xC8, 0xC8));
    paleTips.setColor(QPalette::ToolTipBase, Qt::white);
    QToolTip::setPalette(paleTips);
    auto* indicator = const_cast<ModuleHealthIndicator*>(health);
    QToolTip::showText(indicator->mapToGlobal(QPoint(2, 2)), indicator->toolTip(), indicator);
    QWidget* tip = nullptr;
    for (QWidget* shown : QApplication::topLevelWidgets())
        tip = shown->inherits("QTipLabel") && shown->isVisible() ? shown : tip;
    ASSERT_NE(tip, nullptr);
    EXPECT_GE(textContrast(tip->grab().toImage()), 4.5) << "a tooltip hard to read";
    QToolTip::hideText();
    QToolTip::setPalette(themeTips);

    // Back at the first tick whose requests all succeed; the journal tells the story.
    log("fault 0 restore");
    window->Timer1Timer();
    EXPECT_FALSE(health->isVisible());
    window->analysisMenu()->moduleLogItem()->trigger();
    const QString journal = window->analysisMenu()->moduleLogWindow()->lines()->toPlainText();
    for (const char* event : {"выбор модуля (сброс)", "инициализация",
                              "модуль не отвечает: не удалось узнать состояние выходного канала (ReqSOstate)",
                              "модуль снова отвечает после 516 отказов"})
        EXPECT_TRUE(journal.contains(QString::fromUtf8(event))) << event << "\n" << journal.toStdString();

    window->command(Command::DeviceReset)->trigger();
    EXPECT_FALSE(window->Timer1()->isActive());
    EXPECT_TRUE(window->analysisMenu()->moduleLogWindow()->lines()->toPlainText().endsWith(QStringLiteral("останов")));
}
