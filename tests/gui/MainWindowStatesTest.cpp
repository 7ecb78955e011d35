// The main window's controls in the four device states, as the user sees them:
// which menu items and tool buttons can be used, which panels are shown, which
// channel tabs a module has, and when the refresh timer runs.
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QTabBar>
#include <QToolButton>
#include <algorithm>
#include <array>

#include "MainWindowFixture.h"
#include "support/QtTestCompat.h"
#include "gui/DataPanel.h"
#include "gui/PanelStatusBar.h"

namespace telvar5::widgets_test {
namespace {

enum State { NoModule, Chosen, Initialised, Stopped };
const char* const kStateNames[] = {"no module", "chosen", "initialised", "stopped"};

struct Expected {
    const char* name;
    std::array<bool, 4> usable; // no module, chosen, initialised, stopped
};

constexpr Expected kToolButtons[] = {
    {"tbExit", {1, 1, 1, 1}},          {"tbDeviceChoice", {1, 1, 0, 1}}, {"tbDeviceIni", {0, 1, 0, 1}},
    {"tbDeviceReset", {0, 0, 1, 0}},   {"tbSIaddressPusk", {0, 0, 1, 0}}, {"tbSIfilePusk", {0, 0, 1, 0}},
    {"tbSIstop", {0, 0, 0, 0}},        {"tbSOsinglePusk", {0, 0, 1, 0}}, {"tbSOciclePusk", {0, 0, 1, 0}},
    {"tbSOstop", {0, 0, 0, 0}},        {"tbSOdataClear", {0, 0, 1, 0}},  {"tbSOdataTest", {0, 0, 1, 0}},
    {"tbSOdataOpen", {0, 0, 1, 0}},    {"tbSOdataSave", {0, 0, 1, 0}},   {"tbFormat", {1, 1, 1, 1}},
    {"tbParamFormat", {1, 1, 1, 1}},   {"tbTimer", {1, 1, 1, 1}},        {"tbHelp", {1, 1, 1, 1}},
};

// A menu item can be used when it and every menu above it are enabled.
constexpr Expected kMenuItems[] = {
    {"mmFileExit1", {1, 1, 1, 1}},     {"devicechoice", {1, 1, 0, 1}},   {"DeviceInitialization1", {0, 1, 0, 1}},
    {"DeviceReset1", {0, 0, 1, 0}},    {"mmSIaddressPusk", {0, 0, 1, 0}}, {"mmSIfilePusk", {0, 0, 1, 0}},
    {"mmSIstop", {0, 0, 0, 0}},        {"mmSOsinglePusk", {0, 0, 1, 0}}, {"mmSOciclePusk", {0, 0, 1, 0}},
    {"mmSOstop", {0, 0, 0, 0}},        {"mmSOdataClear", {0, 0, 1, 0}},  {"mmSOdataTest", {0, 0, 1, 0}},
    {"mmFileOpen1", {0, 0, 1, 0}},     {"mmFileSaveAs1", {0, 0, 1, 0}},  {"mmFormatList", {1, 1, 1, 1}},
    {"mmParamFormat", {1, 1, 1, 1}},   {"mmTimerPeriod", {1, 1, 1, 1}},  {"mmHelpContents1", {1, 1, 1, 1}},
};

constexpr Expected kShown[] = {
    {"Panel2", {0, 1, 1, 1}},
    {"Panel9", {0, 1, 0, 1}},
    {"Panel5", {0, 0, 1, 0}},
    {"cbSOArrayDim", {0, 0, 1, 0}},
};

bool reachable(const QAction* item)
{
    if (!item->isEnabled())
        return false;
    for (QObject* owner : qtcompat::actionOwners(*item))
        if (auto* menu = qobject_cast<QMenu*>(owner); menu && !reachable(menu->menuAction()))
            return false;
    return true;
}

class MainWindowStates : public MainWindowTest {
protected:
    void expectState(State state)
    {
        SCOPED_TRACE(kStateNames[state]);
        for (const Expected& e : kToolButtons)
            EXPECT_EQ(find<QToolButton>(e.name)->isEnabled(), e.usable[state]) << e.name;
        for (const Expected& e : kMenuItems)
            EXPECT_EQ(reachable(find<QAction>(e.name)), e.usable[state]) << e.name;
        for (const Expected& e : kShown)
            EXPECT_EQ(find<QWidget>(e.name)->isVisibleTo(window.get()), e.usable[state]) << e.name;
        // The menus themselves.
        EXPECT_EQ(find<QMenu>("mmChannels")->menuAction()->isEnabled(), state == Initialised);
        EXPECT_EQ(find<QMenu>("mmSOdata")->menuAction()->isEnabled(), state == Initialised);
        // The commands stay enabled: an enabled control always runs its command.
        for (std::size_t i = 0; i < kCommandCount; ++i)
            EXPECT_TRUE(command(static_cast<Command>(i))->isEnabled()) << command(static_cast<Command>(i))->objectName().toStdString();
        EXPECT_EQ(window->Timer1()->isActive(), state == Initialised);
    }
};

TEST_F(MainWindowStates, FollowTheDeviceThroughItsLife)
{
    open();
    expectState(NoModule);
    choose();
    expectState(Chosen);
    initialise();
    expectState(Initialised);
    stop();
    expectState(Stopped);
    initialise();
    expectState(Initialised);
    stop();
    choose(1);
    expectState(Chosen);
}

TEST_F(MainWindowStates, AtStartOnlyExitChoiceSettingsAndHelpCanBeUsed)
{
    open();
    QStringList usable;
    for (QToolButton* button : window->findChildren<QToolButton*>())
        if (button->objectName().startsWith(QLatin1String("tb")) && button->isEnabled())
            usable << button->objectName();
    usable.sort();
    EXPECT_EQ(usable, QStringList({"tbDeviceChoice", "tbExit", "tbFormat", "tbHelp", "tbParamFormat", "tbTimer"}));

    QStringList items;
    for (QMenu* menu : window->menuBar()->findChildren<QMenu*>())
        for (QAction* item : menu->actions())
            if (!item->menu() && !item->isSeparator() && reachable(item))
                items << item->text().remove(QLatin1Char('&')); // the captions without their mnemonics
    items.sort();
    // The analysis works on what was already read, so its items are always there; the
    // stimulus windows open at any time and their start says when there is no module.
    QStringList expected{"Выход", "выбор", "десятичные форматы", "форматы параметров", "период обновления экрана",
                         "Справка", "Метки канала", "Обзор модуля", "Поток слов", "Запись", "Запись по условию…", "Экспорт CSV", "Экспорт CSV для Excel",
                         "Генератор параметров…",
                         "Воспроизведение…", "Журнал модуля", "Тренды"};
    expected.sort();
    EXPECT_EQ(items, expected);
    EXPECT_TRUE(find<QWidget>("Panel2")->isHidden());
}

TEST_F(MainWindowStates, CancelledChoiceWithoutModuleLeavesTheWindowEmpty)
{
    open();
    cancelChoice();
    expectState(NoModule);
    EXPECT_EQ(bus.countAfterSearch(), 0);
}

TEST_F(MainWindowStates, StopControlsKeepTheirStateUnderTheDisabledChannelMenu)
{
    open();
    choose();
    initialise();
    // The module reports reception running on the displayed channel.
    window->monitor().screen().commands.inputStateReported(true);
    window->applyScreen();
    EXPECT_TRUE(find<QAction>("mmSIstop")->isEnabled());
    EXPECT_TRUE(find<QToolButton>("tbSIstop")->isEnabled());
    stop();
    EXPECT_TRUE(find<QAction>("mmSIstop")->isEnabled());
    EXPECT_FALSE(reachable(find<QAction>("mmSIstop")));
    EXPECT_FALSE(find<QToolButton>("tbSIstop")->isEnabled());
}

TEST_F(MainWindowStates, ChannelTabsAndBitRateListsFollowTheModulesChannelCounts)
{
    struct Case {
        std::uint32_t inputs, outputs;
    };
    for (const Case c : {Case{2, 8}, Case{4, 4}, Case{8, 2}}) {
        SCOPED_TRACE(testing::Message() << c.inputs << " inputs, " << c.outputs << " outputs");
        bus.modules.clear();
        bus.modules[0] = {77, makeConfigWord(c.inputs, c.outputs)};
        open();
        choose();
        auto* si = find<QTabBar>("SI");
        auto* so = find<QTabBar>("SO");
        for (int k = 0; k < 8; ++k) {
            const QString n = QString::number(k + 1);
            EXPECT_EQ(si->isTabVisible(k), k < static_cast<int>(c.inputs)) << "SI tab " << k;
            EXPECT_EQ(so->isTabVisible(k), k < static_cast<int>(c.outputs)) << "SO tab " << k;
            EXPECT_EQ(child<QComboBox>(window.get(), ("cbFreqSI" + n.toStdString()).c_str())->isVisibleTo(window.get()),
                      k < static_cast<int>(c.inputs));
            EXPECT_EQ(child<QComboBox>(window.get(), ("cbFreqSO" + n.toStdString()).c_str())->isVisibleTo(window.get()),
                      k < static_cast<int>(c.outputs));
            // The row labels follow the input side only.
            EXPECT_EQ(child<QLabel>(window.get(), ("Label" + QString::number(k + 2).toStdString()).c_str())
                          ->isVisibleTo(window.get()),
                      k < static_cast<int>(c.inputs));
        }
        window.reset();
        bus.sent.clear();
    }
}

TEST_F(MainWindowStates, RefreshTimerRunsOnlyWhileInitialisedWithThePeriod)
{
    open();
    QTimer* timer = window->Timer1();
    EXPECT_EQ(timer->interval(), 500);
    EXPECT_FALSE(timer->isActive());
    choose();
    EXPECT_FALSE(timer->isActive());
    window->monitor().setRefreshPeriod(100);
    initialise();
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 100);
    EXPECT_EQ(window->XPStatusBar1()->panelText(1), QStringLiteral("Обновление экрана:-период  100 мс;   -счетчик 0"));
    // Ticks arrive and show the counter.
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->monitor().run().refreshCounter >= 2; }, 3000));
    EXPECT_TRUE(window->XPStatusBar1()->panelText(1).startsWith(QStringLiteral("Обновление экрана:-период  100 мс;  -счетчик")));
    stop();
    EXPECT_FALSE(timer->isActive());
    const std::uint32_t counter = window->monitor().run().refreshCounter;
    QTest::qWait(250);
    EXPECT_EQ(window->monitor().run().refreshCounter, counter);
    EXPECT_EQ(window->XPStatusBar1()->panelText(1), QString());
}

TEST_F(MainWindowStates, InitialisationShowsChannelOneAndSplitsTheDataPanel)
{
    open();
    choose();
    initialise();
    // Another channel displayed, then stop and initialise again.
    window->monitor().run().curInputIndex = 3;
    window->monitor().run().curOutputIndex = 5;
    window->applyScreen();
    EXPECT_EQ(find<QTabBar>("SI")->currentIndex(), 3);
    EXPECT_EQ(find<QTabBar>("SO")->currentIndex(), 5);
    stop();
    initialise();
    EXPECT_EQ(find<QTabBar>("SI")->currentIndex(), 0);
    EXPECT_EQ(find<QTabBar>("SO")->currentIndex(), 0);
    EXPECT_EQ(find<QLabel>("StaticText3")->text(), QStringLiteral("Буфер входного канала № 1"));
    EXPECT_EQ(find<QLabel>("StaticText4")->text(), QStringLiteral("Массив выходных параметров канала № 1"));
    // The two titles stand in one band, 48 high or as tall as a title's lines need on its side.
    EXPECT_GE(find<QLabel>("StaticText3")->height(), 48);
    EXPECT_EQ(find<QLabel>("StaticText4")->height(), find<QLabel>("StaticText3")->height());
    EXPECT_EQ(find<QComboBox>("cbSOArrayDim")->currentText(), QStringLiteral("256"));

    QTest::qWait(20);
    // Four fifths for the input side, less where the output side would lack the room its columns and texts need.
    const int panelWidth = find<QWidget>("Panel5")->width();
    const int outputMinimum = find<QWidget>("Panel13")->minimumSizeHint().width();
    EXPECT_NEAR(find<QWidget>("Panel12")->width(), std::min(panelWidth * 4 / 5, panelWidth - 10 - outputMinimum), 1);
    EXPECT_EQ(find<QSplitter>("Splitter1")->handleWidth(), 10);
}

TEST_F(MainWindowStates, StatusTextsFollowChoiceAndStop)
{
    open();
    auto* bar1 = window->XPStatusBar1();
    auto* bar2 = window->XPStatusBar2();
    EXPECT_EQ(bar1->panelText(0), QStringLiteral("Устройство"));
    EXPECT_EQ(bar1->panelText(1), QStringLiteral("   "));
    EXPECT_EQ(bar2->panelText(0), QStringLiteral("  "));
    EXPECT_EQ(bar2->panelText(1), QStringLiteral("  "));
    choose(1);
    EXPECT_EQ(bar1->panelText(0), QStringLiteral("TELVAR-5: серийный № 4321; порядковый № 2"));
    initialise();
    stop();
    EXPECT_EQ(bar1->panelText(0), QStringLiteral("TELVAR-5: серийный № 4321; порядковый № 2"));
    EXPECT_EQ(bar2->panelText(0), QString());
    EXPECT_EQ(bar2->panelText(1), QString());
}

} // namespace
} // namespace telvar5::widgets_test
