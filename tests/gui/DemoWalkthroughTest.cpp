// The demo as the README tells a new user to try it, on the demo's own files
// and the virtual module of demo/telvar5-vdrv.conf: choose the module,
// initialise, start address reception on input 1, send adc.so cyclically on
// output 1 (wired back to input 1), restore demo.si; the altitude then reads
// +35000 ft. Run under wine, it tries the Windows build the same way, on the
// in-process virtual module or, with TELVAR5_TEST_BACKEND=platform, through the
// stand-in driver; with TELVAR5_SCREENSHOT_DIR set it leaves a picture of the
// window there.
#include <QDir>
#include <QFile>
#include <QTest>

#include "ModalDriver.h"
#include "WidgetFakes.h"
#include "WorkingDirectory.h"
#include "support/TestDeviceBus.h"
#include "gui/DataPanel.h"
#include "gui/TMainFrm.h"
#include "gui/device/TFrmDeviceChoice.h"
#include "gui/formats/TFrmParamFormat.h"
#include "gui/input/InputBufferView.h"

using namespace telvar5;
using namespace telvar5::widgets_test;

namespace {

constexpr int kDecimalColumn = 5;

TEST(DemoWalkthrough, AltitudeSentOnOutput1ReadsAsFeetOnInput1)
{
    WorkingDirectory cwd;
    const QDir demo(QStringLiteral(TELVAR5_DEMO_DIR));
    ASSERT_TRUE(cwd.copyFilesOf(demo));

    const std::unique_ptr<DeviceBus> bus =
        test::testDeviceBus(cwd.filePath(QStringLiteral("telvar5-vdrv.conf")).toStdString());
    FakePrompts prompts;
    TMainFrm window(*bus, prompts);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    whenModal([](QWidget* modal) {
        auto* choice = qobject_cast<TFrmDeviceChoice*>(modal);
        ASSERT_NE(choice, nullptr);
        choice->Button1()->click(); // the first module: 8 inputs, 8 outputs
    });
    window.command(Command::ActionDeviceChoice)->trigger();
    window.command(Command::DeviceInitialization)->trigger();
    window.command(Command::SIaddressPusk)->trigger();
    prompts.fileToOpen = cwd.filePath(QStringLiteral("adc.so")).toStdString();
    window.command(Command::FileOpen1)->trigger();
    window.command(Command::SOciclePusk)->trigger();

    prompts.fileToOpen = cwd.filePath(QStringLiteral("demo.si")).toStdString();
    whenModal([](QWidget* modal) {
        auto* editor = qobject_cast<TFrmParamFormat*>(modal);
        ASSERT_NE(editor, nullptr);
        editor->btReadFile()->click();
        editor->close();
    });
    window.command(Command::ParamFormat)->trigger();

    // The module repeats the 8-word array every few milliseconds on its own clock.
    const QAbstractItemModel* grid = window.Panel5()->DrawGrid2()->model();
    QString altitude;
    for (int tick = 0; tick < 20 && !altitude.contains(QStringLiteral("фут")); ++tick) {
        QTest::qWait(100);
        window.Timer1Timer();
        altitude = grid->index(0203, kDecimalColumn).data().toString();
    }
    EXPECT_EQ(altitude.simplified(), QStringLiteral("+35000.000000 фут"));

    if (const QByteArray shots = qgetenv("TELVAR5_SCREENSHOT_DIR"); !shots.isEmpty()) {
        window.Panel5()->DrawGrid2()->showRowAtTop(0200);
        QTest::qWait(200);
        EXPECT_TRUE(window.grab().save(QDir(QString::fromLocal8Bit(shots)).filePath(QStringLiteral("demo.png"))));
    }
}

} // namespace
