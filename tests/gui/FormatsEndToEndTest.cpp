// The demo's formats at work against the real virtual driver: the program
// starts in a directory holding the demo's formats settings file, the demo's
// parameter formats are restored in their editor, and a word injected on the
// bench shows its physical value in the input grid's DECIMAL column as soon
// as the editor closes.
#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <fstream>

#include "ModalDriver.h"
#include "WidgetFakes.h"
#include "support/BenchLine.h"
#include "WorkingDirectory.h"
#include "device/virtual/VirtualDeviceBus.h"
#include "gui/DataPanel.h"
#include "gui/TMainFrm.h"
#include "gui/device/TFrmDeviceChoice.h"
#include "gui/formats/TFrmFormatList.h"
#include "gui/formats/FormatEditorGrid.h"
#include "gui/formats/FormatListModel.h"
#include "gui/formats/TFrmParamFormat.h"
#include "gui/input/InputBufferView.h"

using namespace telvar5;
using namespace telvar5::widgets_test;

namespace {

constexpr int kDecimalColumn = 5;

class FormatsEndToEnd : public ::testing::Test {
protected:
    WorkingDirectory cwd;
    std::unique_ptr<VirtualDeviceBus> bus;
    FakePrompts prompts;
    std::unique_ptr<TMainFrm> window;

    void SetUp() override
    {
        for (const char* name : {"TLV5frmt.stt", "demo.si"})
            ASSERT_TRUE(QFile::copy(QStringLiteral(TELVAR5_DEMO_DIR "/") + QLatin1String(name),
                                    cwd.filePath(QLatin1String(name))));
        const std::string config = cwd.filePath(QStringLiteral("telvar5-vdrv.conf")).toStdString();
        std::ofstream(config) << "bench-socket bench.sock\ninterface 0 serial 501 inputs 8 outputs 8\n";
        bus = std::make_unique<VirtualDeviceBus>(config);
        window = std::make_unique<TMainFrm>(*bus, prompts);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    void TearDown() override { window.reset(); }

    void inject(const std::string& words)
    {
        const vdrv::BenchReply reply =
            test::benchLine(bus->driver(), cwd.filePath(QStringLiteral("bench.sock")).toStdString(),
                            "inject 0 1 " + words);
        ASSERT_TRUE(reply.connected && reply.ok) << reply.error;
    }

    // Input 1 receives, with altitude 60 ft (bits 17..14 of the field from bit
    // 28 worth 65536 ft) under label 203 and -60 ft under 204.
    void startWithAltitudes()
    {
        whenModal([](QWidget* modal) { qobject_cast<TFrmDeviceChoice*>(modal)->Button1()->click(); });
        window->command(Command::ActionDeviceChoice)->trigger();
        window->command(Command::DeviceInitialization)->trigger();
        window->command(Command::SIaddressPusk)->trigger();
        inject("6001E083 7FFE2084");
        window->Timer1Timer();
    }
    const QAbstractItemModel* grid() const { return window->Panel5()->DrawGrid2()->model(); }
    QString decimal(int cell) const { return grid()->index(cell, kDecimalColumn).data().toString(); }
    // The grid was told at once, not at the next tick.
    static void expectToldAtOnce(const QSignalSpy& repainted)
    {
        ASSERT_FALSE(repainted.isEmpty());
        const QModelIndex first = repainted.back()[0].toModelIndex();
        const QModelIndex last = repainted.back()[1].toModelIndex();
        EXPECT_LE(first.row(), 0203);
        EXPECT_GE(last.row(), 0204);
        EXPECT_LE(first.column(), kDecimalColumn);
        EXPECT_GE(last.column(), kDecimalColumn);
    }
};

} // namespace

TEST_F(FormatsEndToEnd, DemoParameterFormatsShowPhysicalValuesOnceTheirEditorCloses)
{
    startWithAltitudes();
    EXPECT_EQ(decimal(0203), QStringLiteral(" "));

    QSignalSpy repainted(grid(), &QAbstractItemModel::dataChanged);
    prompts.fileToOpen = cwd.filePath(QStringLiteral("demo.si")).toStdString();
    whenModal([](QWidget* modal) {
        auto* dialog = qobject_cast<TFrmParamFormat*>(modal);
        ASSERT_NE(dialog, nullptr);
        dialog->btReadFile()->click();
        dialog->close();
    });
    window->command(Command::ParamFormat)->trigger();

    EXPECT_EQ(decimal(0203), QStringLiteral(" +60.000000  фут    "));
    EXPECT_EQ(decimal(0204), QStringLiteral(" -60.000000  фут    "));
    expectToldAtOnce(repainted);
}

TEST_F(FormatsEndToEnd, DecimalFormatEditsShowOnceTheirEditorCloses)
{
    startWithAltitudes();
    prompts.fileToOpen = cwd.filePath(QStringLiteral("demo.si")).toStdString();
    whenModal([](QWidget* modal) {
        qobject_cast<TFrmParamFormat*>(modal)->btReadFile()->click();
        modal->close();
    });
    window->command(Command::ParamFormat)->trigger();
    ASSERT_EQ(decimal(0203), QStringLiteral(" +60.000000  фут    "));

    // The altitudes' format is deleted in the decimal formats editor.
    const QString tag = QString::fromStdString(std::string(window->monitor().run().labelFormatTable[0203].tag()));
    QSignalSpy repainted(grid(), &QAbstractItemModel::dataChanged);
    whenModal([&tag](QWidget* modal) {
        auto* dialog = qobject_cast<TFrmFormatList*>(modal);
        ASSERT_NE(dialog, nullptr);
        int record = 0;
        while (record < dialog->model()->rowCount() && dialog->model()->cellText(record, 0) != tag)
            ++record;
        ASSERT_LT(record, dialog->model()->rowCount());
        dialog->DrawGrid1()->setCurrentIndex(dialog->model()->index(record, 1));
        dialog->btDelete()->click();
        dialog->close();
    });
    window->command(Command::FormatList)->trigger();

    EXPECT_EQ(decimal(0203), QStringLiteral(" "));
    EXPECT_EQ(decimal(0204), QStringLiteral(" "));
    expectToldAtOnce(repainted);
}
