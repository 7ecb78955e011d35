// The menu "Стимулы" and the wiring of its two windows to the main window:
// the generator and the replay started from their windows on the demo's
// virtual module, the output grid told of the words they change, and their
// stop. What the generator computes and the replay applies is the core's and
// is tested there.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include "../MainWindowFixture.h"
#include "../WorkingDirectory.h"
#include "core/analysis/CaptureFile.h"
#include "support/TestDeviceBus.h"
#include "gui/DataPanel.h"
#include "gui/analysis/AnalysisMenu.h"
#include "gui/formats/TFrmParamFormat.h"
#include "gui/input/InputBufferView.h"
#include "gui/PanelStatusBar.h"
#include "gui/output/OutputArrayModel.h"
#include "gui/output/OutputSide.h"
#include "gui/stimulus/GeneratorRowsModel.h"
#include "gui/stimulus/StimulusMenu.h"
#include "gui/stimulus/TFrmParamGenerator.h"
#include "gui/stimulus/TFrmReplay.h"
#include <QListWidget>
#include <QSpinBox>

#include "gui/analysis/TFrmTrend.h"

namespace telvar5::widgets_test {
namespace {

using Col = GeneratorRowsModel::Column;

TEST_F(MainWindowTest, StimulusMenuSitsBeforeHelpAndOpensEachWindowOnce)
{
    open();
    StimulusMenu& menu = *window->stimulusMenu();
    const QList<QAction*> bar = window->menuBar()->actions();
    const auto at = bar.indexOf(menu.menu()->menuAction());
    ASSERT_GE(at, 0);
    ASSERT_LT(at + 1, bar.size());
    // The captions without their mnemonics.
    const auto caption = [](const QString& text) { return QString(text).remove(QLatin1Char('&')); };
    EXPECT_EQ(caption(bar[at + 1]->text()), QStringLiteral("Справка"));
    EXPECT_EQ(caption(menu.menu()->title()), QStringLiteral("Стимулы"));
    EXPECT_EQ(caption(menu.generatorItem()->text()), QStringLiteral("Генератор параметров…"));
    EXPECT_EQ(caption(menu.replayItem()->text()), QStringLiteral("Воспроизведение…"));

    for (int twice = 0; twice < 2; ++twice) {
        menu.generatorItem()->trigger();
        menu.replayItem()->trigger();
    }
    EXPECT_EQ(window->findChildren<TFrmParamGenerator*>().size(), 1);
    EXPECT_EQ(window->findChildren<TFrmReplay*>().size(), 1);
    ASSERT_NE(menu.generatorWindow(), nullptr);
    ASSERT_NE(menu.replayWindow(), nullptr);
    EXPECT_TRUE(menu.generatorWindow()->isVisible());
    EXPECT_TRUE(menu.replayWindow()->isVisible());
    EXPECT_EQ(menu.generatorWindow()->windowTitle(), QStringLiteral("Генератор параметров"));
    EXPECT_EQ(menu.replayWindow()->windowTitle(), QStringLiteral("Воспроизведение"));
    EXPECT_EQ(menu.generatorWindow()->parentWidget(), window.get()); // owned: it stays above the main window
}

// Escape closes a tool window, as it closes a dialog; an Escape that ends the
// edit of a grid cell ends only the edit.
TEST_F(MainWindowTest, EscapeClosesAToolWindowButFirstEndsAnEdit)
{
    open();
    StimulusMenu& menu = *window->stimulusMenu();
    menu.generatorItem()->trigger();
    TFrmParamGenerator* gen = menu.generatorWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(gen));
    gen->addButton()->click();
    QTableView* grid = gen->grid();
    grid->setFocus();
    grid->edit(grid->model()->index(0, 1));
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr) << "no cell editor";
    QTest::keyClick(editor, Qt::Key_Escape);
    EXPECT_TRUE(gen->isVisible());
    QTest::keyClick(gen->addButton(), Qt::Key_Escape);
    EXPECT_FALSE(gen->isVisible());

    menu.replayItem()->trigger();
    ASSERT_TRUE(menu.replayWindow()->isVisible());
    QTest::keyClick(menu.replayWindow(), Qt::Key_Escape);
    EXPECT_FALSE(menu.replayWindow()->isVisible());
}

// The main window on the demo's files and virtual module (output 1 wired to
// input 1), the module chosen and initialised; through the stand-in driver with
// TELVAR5_TEST_BACKEND=platform.
class StimulusOnDemo : public ::testing::Test {
protected:
    WorkingDirectory cwd;
    std::unique_ptr<DeviceBus> bus;
    FakePrompts prompts;
    std::unique_ptr<TMainFrm> window;

    void SetUp() override
    {
        const QDir demo(QStringLiteral(TELVAR5_DEMO_DIR));
        ASSERT_TRUE(cwd.copyFilesOf(demo));
        bus = test::testDeviceBus(cwd.filePath(QStringLiteral("telvar5-vdrv.conf")).toStdString());
        window = std::make_unique<TMainFrm>(*bus, prompts);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        whenModal([](QWidget* modal) {
            auto* choice = qobject_cast<TFrmDeviceChoice*>(modal);
            ASSERT_NE(choice, nullptr);
            choice->Button1()->click(); // the first module: 8 inputs, 8 outputs
        });
        window->command(Command::ActionDeviceChoice)->trigger();
        window->command(Command::DeviceInitialization)->trigger();
    }

    void TearDown() override { window.reset(); }

    TFrmParamGenerator& generatorWindow()
    {
        window->stimulusMenu()->generatorItem()->trigger();
        return *window->stimulusMenu()->generatorWindow();
    }

    TFrmReplay& replayWindow()
    {
        window->stimulusMenu()->replayItem()->trigger();
        return *window->stimulusMenu()->replayWindow();
    }

    // The output grid's cell as drawn: column 1 the label, 2 the code.
    QString outputCell(int row, int column) const
    {
        return window->outputSide()->model()->cellText(row, column);
    }

    QString soStatus() const { return window->XPStatusBar2()->panelText(1); }
};

void setCell(GeneratorRowsModel& model, int row, int column, const QString& text)
{
    EXPECT_TRUE(model.setData(model.index(row, column), text)) << column << " " << text.toStdString();
}

TEST_F(StimulusOnDemo, GeneratorStartShowsItsWordsInTheOutputGridEachTickAndStopEndsTheOutput)
{
    TFrmParamGenerator& gen = generatorWindow();
    GeneratorRowsModel& rows = *gen.model();
    gen.addButton()->click();
    ASSERT_EQ(rows.rowCount(), 1);
    EXPECT_EQ(rows.index(0, Col::ColTag).data().toString(), QStringLiteral("ALT")) << "the demo's first format";
    // Altitude on label 203: 1000 ft, then 2000 ft from 50 ms on.
    setCell(rows, 0, Col::ColLabel, QStringLiteral("203"));
    setCell(rows, 0, Col::ColKind, QStringLiteral("ступенька"));
    setCell(rows, 0, Col::ColArguments, QStringLiteral("1000 2000 0.05"));

    // An array filled by hand and not saved is replaced only when the user says so.
    window->SOdataTestExecute();
    prompts.answerYes = false;
    const int asked = prompts.questions;
    gen.startButton()->click();
    EXPECT_EQ(prompts.questions, asked + 1);
    EXPECT_EQ(prompts.lastText, "Массив выходного канала 1 изменен и не сохранен в файле. Заменить его?");
    EXPECT_FALSE(window->monitor().stimuli().generator().running());
    prompts.answerYes = true;
    gen.startButton()->click();
    ASSERT_TRUE(prompts.errors.empty()) << prompts.errors.front();
    EXPECT_FALSE(gen.addButton()->isEnabled());
    EXPECT_TRUE(gen.stopButton()->isEnabled());
    EXPECT_FALSE(rows.flags(rows.index(0, Col::ColArguments)).testFlag(Qt::ItemIsEditable)) << "no edits while it runs";
    // The main window shows the start at once: the grid has the one word laid out.
    EXPECT_EQ(window->outputSide()->model()->rowCount(), 1);
    // The ALT field is bits 12..28 in feet, SSM 3: 1000 ft is 0x601F4083.
    EXPECT_EQ(outputCell(0, 1), QStringLiteral("203"));
    EXPECT_EQ(outputCell(0, 2), QStringLiteral("601f40"));

    QSignalSpy told(window->outputSide()->model(), &QAbstractItemModel::dataChanged);
    QTest::qWait(80);
    window->Timer1Timer();
    EXPECT_EQ(outputCell(0, 2), QStringLiteral("603e80"));
    EXPECT_GE(told.count(), 1) << "the grid is told of the changed word";
    EXPECT_EQ(rows.index(0, Col::ColValue).data().toString(), QStringLiteral("+2000.000000 фут"));
    EXPECT_EQ(rows.index(0, Col::ColWord).data().toString(), QStringLiteral("603e8083"));
    EXPECT_EQ(soStatus().section(QLatin1Char(';'), 0, 0), QStringLiteral("Выходной канал №1: выдача циклическая"));

    gen.stopButton()->click();
    window->Timer1Timer();
    EXPECT_FALSE(window->monitor().stimuli().generator().running());
    EXPECT_EQ(soStatus().section(QLatin1Char(';'), 0, 0), QStringLiteral("Выходной канал №1: выдача остановлена"));
    EXPECT_TRUE(gen.addButton()->isEnabled());
    EXPECT_TRUE(rows.flags(rows.index(0, Col::ColArguments)).testFlag(Qt::ItemIsEditable));
}

TEST_F(StimulusOnDemo, TheIntervalTypedInARowReachesTheStartAndItsAchievedIntervalIsShown)
{
    TFrmParamGenerator& gen = generatorWindow();
    GeneratorRowsModel& rows = *gen.model();
    gen.addButton()->click();
    gen.addButton()->click();
    EXPECT_FALSE(rows.setData(rows.index(0, Col::ColInterval), QStringLiteral("0")));
    EXPECT_TRUE(rows.flags(rows.index(0, Col::ColInterval)).testFlag(Qt::ItemIsEditable));
    EXPECT_FALSE(rows.flags(rows.index(0, Col::ColAchieved)).testFlag(Qt::ItemIsEditable));
    setCell(rows, 0, Col::ColInterval, QStringLiteral("0.001")); // far below one word time
    prompts.answerYes = true;
    gen.startButton()->click();
    ASSERT_EQ(prompts.errors.size(), 1u);
    EXPECT_EQ(prompts.errors.front().rfind("Строка 1: интервал 0.001 мс", 0), 0u) << prompts.errors.front();
    EXPECT_FALSE(window->monitor().stimuli().generator().running());

    setCell(rows, 0, Col::ColInterval, QStringLiteral("50"));
    gen.startButton()->click();
    ASSERT_EQ(prompts.errors.size(), 1u) << prompts.errors.back();
    EXPECT_EQ(rows.index(0, Col::ColInterval).data().toString(), QStringLiteral("50"));
    const double achieved = rows.index(0, Col::ColAchieved).data().toString().toDouble();
    EXPECT_NEAR(achieved, 50.0, 5.0);
    EXPECT_FALSE(rows.index(1, Col::ColAchieved).data().toString().isEmpty()) << "a row without an interval shows its pass";
    gen.stopButton()->click();
}

// A format whose bit 29 is data puts the sign in bit 30, one of the SSM bits:
// the row shows the SSM its word went out with.
TEST_F(StimulusOnDemo, ARowWhoseFormatTakesBit29AsDataShowsTheSsmItsWordHas)
{
    window->monitor().run().formats.formatTable[0].setBit29IsData(1); // ALT, bits 12..28
    TFrmParamGenerator& gen = generatorWindow();
    GeneratorRowsModel& rows = *gen.model();
    gen.addButton()->click();
    setCell(rows, 0, Col::ColArguments, QStringLiteral("1000"));
    gen.startButton()->click();
    ASSERT_TRUE(prompts.errors.empty()) << prompts.errors.front();
    window->Timer1Timer();
    const std::uint32_t word = rows.index(0, Col::ColWord).data().toString().toUInt(nullptr, 16);
    EXPECT_EQ(word >> 29 & 3u, 2u) << "the plus sign clears bit 30 of SSM 3";
    EXPECT_EQ(rows.index(0, Col::ColValue).data().toString(), QStringLiteral("+1000.000000 фут  SSM 2"));
    EXPECT_TRUE(rows.index(0, Col::ColValue).data(Qt::ToolTipRole).toString().contains(QStringLiteral("SSM слова 2, а не 3")));
    gen.stopButton()->click();
}

TEST_F(StimulusOnDemo, BadArgumentsStayRedAndStartNothingAndGoodRowsRoundTripThroughTheFileDialogs)
{
    TFrmParamGenerator& gen = generatorWindow();
    GeneratorRowsModel& rows = *gen.model();
    gen.addButton()->click();
    // The kind is picked from the cell's list, and the pick alone is the edit.
    gen.grid()->edit(rows.index(0, Col::ColKind));
    auto* kinds = gen.grid()->viewport()->findChild<QComboBox*>();
    ASSERT_NE(kinds, nullptr);
    const int ramp = kinds->findText(QStringLiteral("линейное"));
    kinds->setCurrentIndex(ramp);
    emit kinds->activated(ramp);
    EXPECT_EQ(rows.index(0, Col::ColKind).data().toString(), QStringLiteral("линейное"));
    setCell(rows, 0, Col::ColArguments, QStringLiteral("0 40000"));
    const QModelIndex arguments = rows.index(0, Col::ColArguments);
    EXPECT_EQ(arguments.data(Qt::ForegroundRole).value<QBrush>().color(), QColor(200, 0, 0));
    EXPECT_TRUE(arguments.data(Qt::ToolTipRole).toString().contains(QStringLiteral("ОТ ДО ПЕРИОД repeat|hold")));

    gen.startButton()->click();
    ASSERT_EQ(prompts.errors.size(), 1u);
    EXPECT_NE(prompts.errors[0].find("Строка 1"), std::string::npos) << prompts.errors[0];
    EXPECT_FALSE(window->monitor().stimuli().generator().running());
    gen.saveButton()->click();
    EXPECT_EQ(prompts.errors.size(), 2u) << "a bad row is not saved either";
    EXPECT_TRUE(prompts.dialogs.empty());

    setCell(rows, 0, Col::ColArguments, QStringLiteral("0 40000 60 hold"));
    EXPECT_FALSE(arguments.data(Qt::ForegroundRole).isValid());
    gen.addButton()->click(); // the next label, same waveform
    EXPECT_FALSE(rows.setData(rows.index(1, Col::ColChannel), QStringLiteral("9")));
    ASSERT_EQ(prompts.refusals.size(), 1u) << "a refused cell says why";
    EXPECT_EQ(prompts.refusals[0], "канал: от 1 до 8");
    setCell(rows, 1, Col::ColChannel, QStringLiteral("2"));
    const std::vector<GeneratorRow> written = rows.rows();
    ASSERT_EQ(written.size(), 2u);
    EXPECT_EQ(written[1].label, written[0].label + 1);

    const std::string file = cwd.filePath(QStringLiteral("rows.gen")).toStdString();
    prompts.fileToSave = file;
    gen.saveButton()->click();
    ASSERT_EQ(prompts.dialogs.size(), 1u);
    EXPECT_EQ(prompts.dialogs[0].filter, "Файлы генератора (*.gen)|*.gen|*.*|*.*");
    EXPECT_EQ(prompts.dialogs[0].defaultExt, "gen");

    gen.grid()->selectAll();
    gen.removeButton()->click();
    EXPECT_EQ(rows.rowCount(), 0);
    prompts.fileToOpen = file;
    gen.openButton()->click();
    EXPECT_EQ(rows.rows(), written);
    EXPECT_EQ(rows.index(0, Col::ColArguments).data().toString(), QStringLiteral("0 40000 60 hold"));

    // A file that is no generator file leaves the rows as they were and says why.
    std::ofstream(cwd.filePath(QStringLiteral("other.gen")).toStdString()) << "not a generator file\n";
    prompts.fileToOpen = cwd.filePath(QStringLiteral("other.gen")).toStdString();
    gen.openButton()->click();
    EXPECT_EQ(prompts.errors.size(), 3u);
    EXPECT_EQ(rows.rows(), written);
}

// A capture with input 1 carrying altitude (203) and airspeed (206), the
// altitude changing 20 ms in, and input 3 one word.
void writeCapture(const std::string& path)
{
    std::ofstream out(path, std::ios::binary);
    CaptureHeader header;
    header.serialNo = 1021;
    header.refreshPeriodMs = 100;
    const CaptureHeaderBytes head = encodeCaptureHeader(header);
    out.write(reinterpret_cast<const char*>(head.data()), static_cast<std::streamsize>(head.size()));
    const CaptureEntry entries[] = {
        {0, 1, 0x601F4083u, 1, 0203},
        {5'000, 1, 0x60123486u, 1, 0206},
        {8'000, 1, 0x60000083u, 3, 0203},
        {20'000, 2, 0x603E8083u, 1, 0203},
    };
    for (const CaptureEntry& entry : entries) {
        const CaptureEntryBytes bytes = encodeCaptureEntry(entry);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
}

TEST_F(StimulusOnDemo, ReplayLaysTheCapturedLabelsOnTheOutputAndReportsItsEnd)
{
    TFrmReplay& replay = replayWindow();
    const std::string file = cwd.filePath(QStringLiteral("flight.tlvcap")).toStdString();
    writeCapture(file);
    prompts.fileToOpen = file;
    replay.chooseButton()->click();
    ASSERT_TRUE(prompts.errors.empty()) << prompts.errors.front();
    EXPECT_EQ(prompts.dialogs.at(0).filter, "Файлы записи (*.tlvcap)|*.tlvcap|*.*|*.*");
    EXPECT_EQ(replay.captureEdit()->text(), QStringLiteral("flight.tlvcap"));
    ASSERT_EQ(replay.fromChannelList()->count(), 2) << "inputs 1 and 3";
    EXPECT_EQ(replay.fromChannelList()->itemText(1), QStringLiteral("3"));
    EXPECT_EQ(replay.toChannelList()->count(), 8) << "the module's outputs";
    EXPECT_DOUBLE_EQ(replay.speedBox()->value(), 1.0);

    replay.fromChannelList()->setCurrentIndex(0);
    replay.toChannelList()->setCurrentIndex(0);
    replay.startButton()->click();
    ASSERT_TRUE(prompts.errors.empty()) << prompts.errors.front();
    EXPECT_FALSE(replay.chooseButton()->isEnabled());
    EXPECT_EQ(outputCell(0, 1), QStringLiteral("203"));
    EXPECT_EQ(outputCell(1, 1), QStringLiteral("206"));
    EXPECT_EQ(outputCell(0, 2), QStringLiteral("601f40"));

    QTest::qWait(60);
    window->Timer1Timer();
    EXPECT_EQ(outputCell(0, 2), QStringLiteral("603e80"));
    EXPECT_TRUE(replay.progressText()->text().endsWith(QStringLiteral("завершено"))) << replay.progressText()->text().toStdString();

    replay.stopButton()->click();
    window->Timer1Timer();
    EXPECT_FALSE(window->monitor().stimuli().replay().running());
    EXPECT_TRUE(replay.startButton()->isEnabled());
    EXPECT_EQ(soStatus().section(QLatin1Char(';'), 0, 0), QStringLiteral("Выходной канал №1: выдача остановлена"));
}

// The demo's climb opened in the window and started on output 1 comes back on
// input 1 through the demo's parameter formats, rising. With
// TELVAR5_SCREENSHOT_DIR set it runs on for the README's pictures: the
// generator, the trend of what came back, and a replay of it recorded meanwhile.
TEST_F(StimulusOnDemo, DemoClimbComesBackOnInput1)
{
    window->command(Command::SIaddressPusk)->trigger();
    prompts.fileToOpen = cwd.filePath(QStringLiteral("demo.si")).toStdString();
    whenModal([](QWidget* modal) {
        auto* editor = qobject_cast<TFrmParamFormat*>(modal);
        ASSERT_NE(editor, nullptr);
        editor->btReadFile()->click();
        editor->close();
    });
    window->command(Command::ParamFormat)->trigger();

    TFrmParamGenerator& gen = generatorWindow();
    prompts.fileToOpen = cwd.filePath(QStringLiteral("climb.gen")).toStdString();
    gen.openButton()->click();
    ASSERT_TRUE(prompts.errors.empty()) << prompts.errors.front();
    EXPECT_EQ(gen.model()->rowCount(), 7);
    gen.startButton()->click();
    ASSERT_TRUE(prompts.errors.empty()) << prompts.errors.front();

    constexpr int kDecimalColumn = 5;
    const QAbstractItemModel* input = window->Panel5()->DrawGrid2()->model();
    auto altitude = [&] {
        const QString text = input->index(0203, kDecimalColumn).data().toString().simplified();
        return text.endsWith(QStringLiteral("фут")) ? text.section(QLatin1Char(' '), 0, 0).toDouble() : -1.0;
    };
    double first = -1.0;
    for (int tick = 0; tick < 30 && first < 0; ++tick) {
        QTest::qWait(100);
        window->Timer1Timer();
        first = altitude();
    }
    ASSERT_GE(first, 500.0) << "the climb starts at 500 ft";
    QTest::qWait(600); // 287 ft a second
    window->Timer1Timer();
    EXPECT_GT(altitude(), first);
    EXPECT_LT(altitude(), 35000.0);

    const QByteArray shots = qgetenv("TELVAR5_SCREENSHOT_DIR");
    if (shots.isEmpty())
        return;
    const QDir out(QString::fromLocal8Bit(shots));
    const std::string capture = cwd.filePath(QStringLiteral("climb.tlvcap")).toStdString();
    prompts.fileToSave = capture;
    window->analysisMenu()->recordItem()->trigger();
    QTest::qWait(40000); // the refresh timer ticks on its own meanwhile
    window->analysisMenu()->recordItem()->trigger();
    gen.resize(gen.width(), 290); // the seven rows and little below them
    QTest::qWait(100);
    EXPECT_TRUE(gen.grab().save(out.filePath(QStringLiteral("generator.png"))));
    window->analysisMenu()->trendItem()->trigger();
    TFrmTrend& trend = *window->analysisMenu()->trendWindow();
    trend.resize(900, 480);
    trend.minutesBox()->setValue(1);
    for (int row = 0; row < trend.candidateList()->count(); ++row) {
        QListWidgetItem* item = trend.candidateList()->item(row);
        const QString pair = item->text().simplified();
        if (pair.startsWith(QStringLiteral("Вх. 1 203")) || pair.startsWith(QStringLiteral("Вх. 1 206")))
            item->setCheckState(Qt::Checked);
    }
    QTest::qWait(1000);
    EXPECT_TRUE(trend.grab().save(out.filePath(QStringLiteral("generator-trend.png"))));
    gen.stopButton()->click();

    TFrmReplay& replay = replayWindow();
    prompts.fileToOpen = capture;
    replay.chooseButton()->click();
    replay.startButton()->click();
    EXPECT_TRUE(prompts.errors.empty());
    QTest::qWait(12000);
    EXPECT_TRUE(replay.grab().save(out.filePath(QStringLiteral("replay.png"))));
    replay.stopButton()->click();
}

} // namespace
} // namespace telvar5::widgets_test
