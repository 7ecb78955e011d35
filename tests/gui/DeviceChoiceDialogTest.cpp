// The device choice dialog on the main window: the list the search fills, the
// reset warning, confirming, cancelling, and a window with no modules at all.
#include <QLabel>
#include <QFontInfo>
#include <QToolButton>

#include "MainWindowFixture.h"
#include "gui/PanelStatusBar.h"

namespace telvar5::widgets_test {
namespace {

using DeviceChoiceDialog = MainWindowTest;

TEST_F(DeviceChoiceDialog, ListsTheModulesFoundAtStartInFixedColumns)
{
    bus.modules[5] = {7, makeConfigWord(2, 2)};
    open();
    // The search ran once, while the window was built, before anything was chosen.
    EXPECT_EQ(bus.count(ReqSerialNumber), 3);
    TFrmDeviceChoice* dialog = window->FrmDeviceChoice();
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Выбор устройства"));
    ASSERT_EQ(dialog->DeviceList()->count(), 3);
    EXPECT_EQ(dialog->DeviceList()->itemText(0), QString::asprintf("%18d %25d", 1234, 0));
    // An interface that fails to open leaves a gap in the ordinal numbers.
    EXPECT_EQ(dialog->DeviceList()->itemText(1), QString::asprintf("%18d %25d", 4321, 2));
    EXPECT_EQ(dialog->DeviceList()->itemText(2), QString::asprintf("%18d %25d", 7, 5));
    EXPECT_TRUE(QFontInfo(dialog->DeviceList()->font()).fixedPitch());
    EXPECT_FALSE(dialog->DeviceList()->isEditable());
    EXPECT_TRUE(dialog->Button1()->isEnabled());
    EXPECT_EQ(dialog->Button1()->text(), QStringLiteral("Применить"));
    EXPECT_EQ(dialog->Button2()->text(), QStringLiteral("Отмена"));
    // Each heading ends over the last digit of its column, in the same fixed-pitch font.
    const QLabel* headings = child<QLabel>(dialog, "Label1");
    const QString heading = headings->text();
    const QString line = dialog->DeviceList()->itemText(0);
    EXPECT_EQ(heading.simplified(), QStringLiteral("Серийный № Порядковый №"));
    EXPECT_EQ(heading.indexOf(QStringLiteral("Серийный №")) + 10, line.indexOf(QStringLiteral("1234")) + 4);
    EXPECT_EQ(heading.size(), line.size());
    EXPECT_EQ(headings->font(), dialog->DeviceList()->font());
}

TEST_F(DeviceChoiceDialog, ConfirmingResetsTheChosenModuleAndShowsIt)
{
    open();
    bool bitRatesHiddenWhileOpen = false;
    whenModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<TFrmDeviceChoice*>(modal);
        ASSERT_NE(dialog, nullptr);
        bitRatesHiddenWhileOpen = find<QWidget>("Panel9")->isHidden();
        dialog->DeviceList()->setCurrentIndex(1);
        dialog->Button1()->click();
    });
    command(Command::ActionDeviceChoice)->trigger();

    EXPECT_TRUE(bitRatesHiddenWhileOpen);
    EXPECT_FALSE(window->FrmDeviceChoice()->isVisible());
    EXPECT_EQ(prompts.questions, 1);
    EXPECT_EQ(prompts.lastTitle, "ВНИМАНИЕ!");
    EXPECT_EQ(prompts.lastText, "При выборе устройства происходит его сброс. Продолжить?");
    ASSERT_EQ(bus.count(ReqDeviceChoice), 1);
    EXPECT_EQ(bus.last(ReqDeviceChoice)->handle, 102u);
    EXPECT_EQ(window->XPStatusBar1()->panelText(0), QStringLiteral("TELVAR-5: серийный № 4321; порядковый № 2"));
    EXPECT_FALSE(find<QWidget>("Panel2")->isHidden());
    EXPECT_FALSE(find<QWidget>("Panel9")->isHidden());
    EXPECT_TRUE(find<QWidget>("Panel5")->isHidden());
}

TEST_F(DeviceChoiceDialog, AnsweringNoKeepsTheDialogOpenAndSendsNothing)
{
    prompts.answerYes = false;
    open();
    bool stillOpen = false;
    whenModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<TFrmDeviceChoice*>(modal);
        ASSERT_NE(dialog, nullptr);
        dialog->Button1()->click();
        stillOpen = dialog->isVisible();
        dialog->Button2()->click();
    });
    command(Command::ActionDeviceChoice)->trigger();

    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(prompts.questions, 1);
    EXPECT_EQ(bus.countAfterSearch(), 0);
    EXPECT_FALSE(window->monitor().run().deviceChosen);
    EXPECT_TRUE(find<QWidget>("Panel2")->isHidden());
    EXPECT_FALSE(find<QToolButton>("tbDeviceIni")->isEnabled());
}

TEST_F(DeviceChoiceDialog, WithoutModulesOnlyCancelLeaves)
{
    bus.modules.clear();
    open();
    bool applyEnabled = true;
    QStringList lines;
    whenModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<TFrmDeviceChoice*>(modal);
        ASSERT_NE(dialog, nullptr);
        applyEnabled = dialog->Button1()->isEnabled();
        for (int i = 0; i < dialog->DeviceList()->count(); ++i)
            lines << dialog->DeviceList()->itemText(i);
        dialog->Button1()->click(); // disabled: nothing happens
        EXPECT_TRUE(dialog->isVisible());
        dialog->close();            // the close box
    });
    command(Command::ActionDeviceChoice)->trigger();

    EXPECT_FALSE(applyEnabled);
    EXPECT_EQ(lines, QStringList{QStringLiteral("модули не обнаружены")});
    EXPECT_EQ(prompts.questions, 0);
    EXPECT_TRUE(bus.sent.empty());
    EXPECT_TRUE(find<QWidget>("Panel2")->isHidden());
    EXPECT_EQ(window->XPStatusBar1()->panelText(0), QStringLiteral("Устройство"));
}

TEST_F(DeviceChoiceDialog, CancelAfterAnEarlierChoiceShowsThatModuleAgainWithItsBitRates)
{
    open();
    choose(0);
    initialise();
    stop();
    find<QComboBox>("cbFreqSO3")->setCurrentIndex(1);
    const int choicesBefore = bus.count(ReqDeviceChoice);

    int shownLine = -1;
    whenModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<TFrmDeviceChoice*>(modal);
        ASSERT_NE(dialog, nullptr);
        dialog->DeviceList()->setCurrentIndex(1); // picked, never confirmed
        dialog->Button2()->click();
    });
    command(Command::ActionDeviceChoice)->trigger();

    EXPECT_EQ(bus.count(ReqDeviceChoice), choicesBefore);
    EXPECT_EQ(window->XPStatusBar1()->panelText(0), QStringLiteral("TELVAR-5: серийный № 1234; порядковый № 0"));
    EXPECT_FALSE(find<QWidget>("Panel9")->isHidden());
    EXPECT_TRUE(find<QToolButton>("tbDeviceIni")->isEnabled());
    // The codes are kept, and the lists show what the next initialisation sends.
    EXPECT_EQ(window->monitor().run().freqCodes[10], 1);
    EXPECT_EQ(find<QComboBox>("cbFreqSO3")->currentIndex(), 1);

    // The unconfirmed pick is forgotten: the next opening shows the chosen line.
    whenModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<TFrmDeviceChoice*>(modal);
        ASSERT_NE(dialog, nullptr);
        shownLine = dialog->DeviceList()->currentIndex();
        dialog->Button2()->click();
    });
    command(Command::ActionDeviceChoice)->trigger();
    EXPECT_EQ(shownLine, 0);
}

// The list follows the modules found again: at an opening after a failure,
// and after a choice that failed, which leaves the dialog open.
TEST_F(DeviceChoiceDialog, TheListFollowsTheSearchesAfterAFailure)
{
    open();
    choose(0);
    bus.failAll = true;
    initialise(); // not answered
    bus.failAll = false;
    bus.modules[7] = {777, makeConfigWord(8, 8)}; // installed since the search at start
    QStringList lastLines;
    bool stillOpen = false;
    whenModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<TFrmDeviceChoice*>(modal);
        ASSERT_NE(dialog, nullptr);
        lastLines << dialog->DeviceList()->itemText(2);
        bus.failAll = true; // the choice fails, and the search after it reads serial numbers 0
        dialog->Button1()->click();
        stillOpen = dialog->isVisible();
        lastLines << dialog->DeviceList()->itemText(2);
        dialog->Button2()->click();
    });
    command(Command::ActionDeviceChoice)->trigger();
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(lastLines, QStringList({QString::asprintf("%18d %25d", 777, 7), QString::asprintf("%18d %25d", 0, 7)}));
}

TEST_F(DeviceChoiceDialog, ChoosingAgainResetsTheBitRates)
{
    open();
    choose(0);
    find<QComboBox>("cbFreqSI2")->setCurrentIndex(2);
    find<QComboBox>("cbFreqSO8")->setCurrentIndex(1);
    choose(0);
    EXPECT_EQ(bus.count(ReqDeviceChoice), 2);
    EXPECT_EQ(find<QComboBox>("cbFreqSI2")->currentIndex(), 0);
    EXPECT_EQ(find<QComboBox>("cbFreqSO8")->currentIndex(), 0);
    for (std::uint8_t code : window->monitor().run().freqCodes)
        EXPECT_EQ(code, 0);
}

} // namespace
} // namespace telvar5::widgets_test
