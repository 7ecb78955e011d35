// The output side of the main window, through its widgets: typing into
// DrawGrid1, the grid's options around cyclic output, the right click and
// the bit editor, the array files through the tool buttons, the size list
// with its transmission times, and ComboBox2.
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTabBar>
#include <QTemporaryDir>
#include <QToolButton>
#include <QWindow>

#include "MainWindowFixture.h"
#include "support/QtTestCompat.h"
#include "core/output/OutputArrays.h"
#include "gui/DataPanel.h"
#include "gui/GridFixedColumn.h"
#include "gui/GridTitleHeader.h"
#include "gui/RefusalSign.h"
#include "gui/output/OutputArrayModel.h"
#include "gui/output/OutputArrayView.h"
#include "gui/output/OutputSide.h"
#include "gui/output/TFrmSObinParam.h"

using namespace telvar5;
using namespace telvar5::widgets_test;
using telvar5::qtcompat::KeyCombination;

namespace {

// The test fill of channel 1: word k holds the bytes k, 1, 255 - k, 254.
constexpr std::uint32_t testWord(std::uint32_t k) { return k | 1u << 8 | (255u - k) << 16 | 254u << 24; }

class OutputSideWindow : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        open();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        choose(0);
        initialise();
        click("tbSOdataTest");
    }

    OutputArrayView* grid() const { return window->Panel5()->DrawGrid1(); }
    OutputArrayModel* model() const { return window->outputSide()->model(); }
    std::uint32_t word(int k) const { return window->monitor().run().outputRecord[0].words[static_cast<std::size_t>(k)]; }
    QString cell(int row, int column) const { return model()->cellText(row, column); }
    void click(const char* button) { find<QToolButton>(button)->click(); }

    QPoint cellCentre(int wordIndex, int column) const
    {
        const QModelIndex index = model()->index(wordIndex, column);
        grid()->scrollTo(index);
        return grid()->visualRect(index).center();
    }

    // A left click makes the cell current; the first key then opens its editor.
    void typeInto(int wordIndex, int column, const QList<KeyCombination>& keys)
    {
        // A click on the cell already current would open its editor a moment later as well.
        grid()->selectionModel()->clear();
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, cellCentre(wordIndex, column));
        for (KeyCombination key : keys) {
            QWidget* target = grid()->cellEditor() ? grid()->cellEditor() : static_cast<QWidget*>(grid());
            QTest::keyClick(target, key.key(), key.keyboardModifiers());
        }
    }
    QString editorText() const
    {
        auto* editor = qobject_cast<QLineEdit*>(grid()->cellEditor());
        return editor ? editor->text() : QStringLiteral("<no editor>");
    }
    void endEditing()
    {
        if (QWidget* editor = grid()->cellEditor())
            QTest::keyClick(editor, Qt::Key_Return);
        EXPECT_TRUE(QTest::qWaitFor([this] { return grid()->cellEditor() == nullptr; }, 1000));
    }

    void rightClick(QWidget* where, QPoint pos) { QTest::mouseClick(where, Qt::RightButton, {}, pos); }
    // For clicks that must open nothing: a dialog that opens anyway is closed and reported.
    void expectNoDialog(const std::function<void()>& action)
    {
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                ADD_FAILURE() << "a dialog opened: " << modal->objectName().toStdString();
                modal->close();
            }
        });
        guard.start(300);
        action();
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    }
};

struct Typing {
    const char* name;
    int column;
    QList<KeyCombination> keys;
    const char* clipboard;
    std::uint32_t word;   // word 5 afterwards
    int beeps;
    int repaints;         // of the word's row
    const char* editor;   // the editor's text before editing ends
    const char* shown;    // the cell once editing ends
};

const Typing kTyping[] = {
    {"address typed digit by digit", 1, {Qt::Key_1, Qt::Key_7, Qt::Key_7}, nullptr,
     (testWord(5) & ~0xFFu) | 0177u, 0, 3, "177", "177"},
    {"eight is no octal digit", 1, {Qt::Key_8}, nullptr, testWord(5), 1, 0, "8", "005"},
    {"six letters f make the whole code", 2, {Qt::Key_F, Qt::Key_F, Qt::Key_F, Qt::Key_F, Qt::Key_F, Qt::Key_F},
     nullptr, 0xFFFFFF05u, 0, 6, "ffffff", "ffffff"},
    // F2 opens the editor; Ctrl+V alone opens none, as in the grid the program was made with.
    {"a pasted text reads up to its first bad character", 1, {Qt::Key_F2, Qt::ControlModifier | Qt::Key_V}, "12x",
     (testWord(5) & ~0xFFu) | 012u, 0, 1, "12x", "012"},
    {"Enter opens the editor too", 2, {Qt::Key_Return, Qt::Key_0}, nullptr, testWord(5) & 0xFFu, 0, 1, "0",
     "000000"},
};

} // namespace

TEST_F(OutputSideWindow, TypingIntoTheGridThroughTheCellEditor)
{
    for (const Typing& t : kTyping) {
        SCOPED_TRACE(t.name);
        click("tbSOdataTest");
        if (t.clipboard)
            QGuiApplication::clipboard()->setText(QString::fromLatin1(t.clipboard));
        const int beepsBefore = prompts.beeps;
        QSignalSpy changed(model(), &QAbstractItemModel::dataChanged);
        QSignalSpy reset(model(), &QAbstractItemModel::modelReset);

        typeInto(5, t.column, t.keys);
        EXPECT_EQ(editorText(), QString::fromLatin1(t.editor));
        EXPECT_EQ(word(5), t.word);
        EXPECT_EQ(prompts.beeps - beepsBefore, t.beeps);
        // Every stored key repaints the word's row, and that row only.
        for (const QList<QVariant>& signal : changed) {
            EXPECT_EQ(signal[0].toModelIndex().row(), 5);
            EXPECT_EQ(signal[1].toModelIndex().row(), 5);
        }
        EXPECT_EQ(changed.count(), t.repaints);
        endEditing();
        EXPECT_EQ(cell(5, t.column), QString::fromLatin1(t.shown));
        EXPECT_EQ(word(5), t.word);
        EXPECT_EQ(reset.count(), 0);
    }
}

TEST_F(OutputSideWindow, KeysTypedAtOnceAfterAClickOnTheSelectedCellAllArrive)
{
    grid()->setCurrentIndex(model()->index(5, 2)); // current and selected: a click opens its editor later
    QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, cellCentre(5, 2));
    for (Qt::Key key : {Qt::Key_A, Qt::Key_B, Qt::Key_C}) {
        QWidget* target = grid()->cellEditor() ? grid()->cellEditor() : static_cast<QWidget*>(grid());
        QTest::keyClick(target, key);
    }
    EXPECT_EQ(word(5) >> 8, 0xABCu);
    QTest::qWait(QApplication::doubleClickInterval() + 100);
    EXPECT_EQ(editorText(), QStringLiteral("abc"));
    endEditing();
}

// A refused key is seen as well as heard: the editor's text turns red, with the
// reason as its tip, until a key is taken; what is stored and shown stays.
TEST_F(OutputSideWindow, ARefusedKeyTurnsTheEditorTextRedWithItsReasonUntilAKeyIsTaken)
{
    RefusalSign sign;
    prompts.onRefusal = [&sign](const std::string& reason) { sign.show(QString::fromStdString(reason)); };
    // The sign goes to the editor the user types into: the one with the focus. Asked of the window
    // system itself: without a window manager (Qt 5's offscreen platform) the closed device choice
    // keeps the focus, and the main window counts as active through its dialog.
    window->windowHandle()->requestActivate();
    ASSERT_TRUE(QTest::qWaitFor([this] { return QApplication::activeWindow() == window.get(); }));
    typeInto(5, 1, {Qt::Key_1, Qt::Key_9});
    auto* editor = qobject_cast<QLineEdit*>(grid()->cellEditor());
    ASSERT_NE(editor, nullptr);
    const QColor normal = QLineEdit().palette().color(QPalette::Text);
    EXPECT_EQ(editor->text(), QStringLiteral("19"));
    EXPECT_EQ(editor->palette().color(QPalette::Text), RefusalSign::refusedTextColour());
    EXPECT_EQ(editor->toolTip(), QStringLiteral("адрес: восьмеричные цифры, не более трёх"));
    EXPECT_EQ(word(5) & 0xFFu, 1u);

    QTest::keyClick(editor, Qt::Key_Backspace);
    EXPECT_EQ(editor->palette().color(QPalette::Text), normal);
    EXPECT_TRUE(editor->toolTip().isEmpty());
    endEditing();
    prompts.onRefusal = nullptr;
}

TEST_F(OutputSideWindow, CyclicOutputStopsTypingAndColumnWideningUntilTheStop)
{
    EXPECT_TRUE(grid()->editable());
    EXPECT_TRUE(grid()->columnsResizable());
    EXPECT_EQ(grid()->columnWidth(1), 56);
    EXPECT_GE(grid()->columnWidth(2), 71); // wider where "код(HEX)" needs it in the font in use
    EXPECT_EQ(grid()->fixedColumnWidth(), 64);
    EXPECT_EQ(grid()->rowHeight(0), 18);
    EXPECT_EQ(grid()->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);

    // An editor that is open when cyclic output starts closes with it.
    typeInto(3, 1, {Qt::Key_1});
    ASSERT_NE(grid()->cellEditor(), nullptr);
    click("tbSOciclePusk");
    EXPECT_EQ(grid()->cellEditor(), nullptr);
    EXPECT_FALSE(grid()->editable());
    EXPECT_FALSE(grid()->columnsResizable());
    const std::uint32_t before = word(4);
    typeInto(4, 1, {Qt::Key_7});
    EXPECT_EQ(grid()->cellEditor(), nullptr);
    EXPECT_EQ(word(4), before);

    click("tbSOstop");
    EXPECT_TRUE(grid()->editable());
    EXPECT_FALSE(grid()->columnsResizable());
    typeInto(4, 1, {Qt::Key_7});
    EXPECT_EQ(word(4) & 0xFFu, 7u);
}

TEST_F(OutputSideWindow, RightClickOpensTheBitEditorOnTheWordAndSendsItDuringCyclicOutput)
{
    grid()->setCurrentIndex(model()->index(0, 1));
    click("tbSOciclePusk");
    QString caption;
    whenModal([&caption](QWidget* modal) {
        auto* editor = qobject_cast<TFrmSObinParam*>(modal);
        ASSERT_NE(editor, nullptr);
        caption = editor->windowTitle();
        editor->CheckBox(24)->click(); // bit 9
        editor->Button1()->click();
    });
    rightClick(grid()->viewport(), cellCentre(4, 2));
    EXPECT_EQ(caption, QStringLiteral("Задание кода выходного параметра (индекс 4)"));
    const std::uint32_t applied = testWord(4) ^ 0x100u;
    EXPECT_EQ(word(4), applied);
    EXPECT_EQ(cell(4, 2), QStringLiteral("fefb00"));
    ASSERT_EQ(bus.count(ReqSOwordUpdate), 1);
    const std::vector<std::uint8_t> sent = bus.last(ReqSOwordUpdate)->in;
    EXPECT_EQ(sent, (std::vector<std::uint8_t>{1, 0, 4, 0, static_cast<std::uint8_t>(applied),
                                               static_cast<std::uint8_t>(applied >> 8),
                                               static_cast<std::uint8_t>(applied >> 16),
                                               static_cast<std::uint8_t>(applied >> 24)}));
    // The right click did not move the current cell.
    EXPECT_EQ(grid()->currentIndex(), model()->index(0, 1));

    // The fixed column names the word as well; row 1 is word 0.
    whenModal([&caption](QWidget* modal) {
        caption = modal->windowTitle();
        static_cast<TFrmSObinParam*>(modal)->Button2()->click();
    });
    rightClick(grid()->fixedColumn()->viewport(), QPoint(10, grid()->rowViewportPosition(0) + 9));
    EXPECT_EQ(caption, QStringLiteral("Задание кода выходного параметра (индекс 0)"));
    EXPECT_EQ(bus.count(ReqSOwordUpdate), 2); // a cancel sends the unchanged word
    EXPECT_EQ(word(0), testWord(0));
}

TEST_F(OutputSideWindow, RightClickNamingNoWordDoesNothing)
{
    // Two words: the rows end well above the bottom of the grid.
    QComboBox* sizes = find<QComboBox>("cbSOArrayDim");
    sizes->setCurrentIndex(1);
    emit sizes->activated(1);
    click("tbSOciclePusk");
    ASSERT_EQ(model()->rowCount(), 2);

    expectNoDialog([&] { rightClick(grid()->titles()->viewport(), QPoint(grid()->columnViewportPosition(1) + 5, 9)); });
    expectNoDialog([&] { rightClick(grid()->cornerTitle(), QPoint(5, 9)); });
    expectNoDialog([&] { rightClick(grid()->viewport(), QPoint(20, grid()->viewport()->height() - 5)); });
    EXPECT_EQ(bus.count(ReqSOwordUpdate), 0);
    EXPECT_FALSE(window->FrmSObinParam()->isVisible());
}

TEST_F(OutputSideWindow, ArrayFilesThroughTheToolButtons)
{
    QTemporaryDir dir;
    const std::string path = dir.filePath(QStringLiteral("array.so")).toStdString();
    QComboBox* sizes = find<QComboBox>("cbSOArrayDim");
    sizes->setCurrentIndex(2);
    emit sizes->activated(2);
    ASSERT_EQ(model()->rowCount(), 3);

    prompts.fileToSave = path;
    click("tbSOdataSave");
    ASSERT_EQ(prompts.dialogs.size(), 1u);
    EXPECT_EQ(prompts.dialogs[0].filter, kArraySaveFilter);
    EXPECT_EQ(prompts.dialogs[0].defaultExt, "so");
    EXPECT_EQ(QFile(QString::fromStdString(path)).size(), 2 + 3 * 4);

    click("tbSOdataClear");
    EXPECT_EQ(cell(1, 2), QStringLiteral("000000"));
    sizes->setCurrentIndex(9);
    emit sizes->activated(9);
    QSignalSpy removed(model(), &QAbstractItemModel::rowsRemoved);
    QSignalSpy reset(model(), &QAbstractItemModel::modelReset);

    prompts.fileToOpen = path;
    click("tbSOdataOpen");
    EXPECT_EQ(prompts.dialogs.back().filter, kArrayOpenFilter);
    EXPECT_EQ(model()->rowCount(), 3);
    EXPECT_EQ(sizes->currentText(), QStringLiteral("3"));
    EXPECT_EQ(cell(1, 1), QStringLiteral("001"));
    EXPECT_EQ(cell(1, 2), QStringLiteral("fefe01"));
    EXPECT_EQ(removed.count(), 1);
    EXPECT_EQ(reset.count(), 0);

    // A cancelled dialog changes nothing.
    prompts.fileToOpen.reset();
    click("tbSOdataClear");
    click("tbSOdataOpen");
    EXPECT_EQ(cell(1, 2), QStringLiteral("000000"));
}

TEST_F(OutputSideWindow, SizeListSetsTheRowsAndTellsTheTransmissionTimes)
{
    QComboBox* sizes = find<QComboBox>("cbSOArrayDim");
    QLabel* time = find<QLabel>("LabelSOTime");
    EXPECT_EQ(model()->rowCount(), 256);
    EXPECT_EQ(time->text(), QStringLiteral("737.3 мс\n(256 слов ПК)"));
    EXPECT_EQ(sizes->itemData(0, Qt::ToolTipRole).toString(), QStringLiteral("  2.9 мс (  1 слов ПК)"));
    EXPECT_EQ(sizes->itemData(255, Qt::ToolTipRole).toString(), QStringLiteral("737.3 мс (256 слов ПК)"));

    sizes->setCurrentIndex(9);
    emit sizes->activated(9);
    EXPECT_EQ(model()->rowCount(), 10);
    EXPECT_EQ(window->monitor().run().arraySize[0], 10);
    EXPECT_EQ(time->text(), QStringLiteral(" 28.8 мс\n( 10 слов ПК)"));
    // Words beyond the size keep their values and come back with a larger size.
    sizes->setCurrentIndex(20);
    emit sizes->activated(20);
    EXPECT_EQ(cell(15, 1), QStringLiteral("017"));

    // Output channel 2 at 100 kHz: its own size, times and hints.
    stop();
    find<QComboBox>("cbFreqSO2")->setCurrentIndex(2);
    initialise();
    find<QTabBar>("SO")->setCurrentIndex(1);
    EXPECT_EQ(model()->rowCount(), 256);
    EXPECT_EQ(sizes->currentText(), QStringLiteral("256"));
    EXPECT_EQ(time->text(), QStringLiteral(" 92.2 мс\n(256 слов ПК)"));
    EXPECT_EQ(sizes->itemData(0, Qt::ToolTipRole).toString(), QStringLiteral("  0.4 мс (  1 слов ПК)"));
    find<QTabBar>("SO")->setCurrentIndex(0);
    EXPECT_EQ(model()->rowCount(), 21);
}

TEST_F(OutputSideWindow, TopRowChooserBringsTheWordToTheTop)
{
    QComboBox* top = find<QComboBox>("ComboBox2");
    for (int item : {10, 0, 100}) {
        top->setCurrentIndex(item);
        emit top->activated(item);
        EXPECT_EQ(grid()->rowAt(0), item);
    }
    top->setCurrentIndex(255);
    emit top->activated(255);
    EXPECT_EQ(grid()->rowAt(grid()->viewport()->height() - 2), 255);
}

TEST_F(OutputSideWindow, ATabSwitchShowsTheChannelsArrayCommandsAtOnce)
{
    click("tbSOciclePusk");
    // No event loop runs between a switch and its checks, so no tick comes in between.
    for (int tab : {1, 0}) {
        find<QTabBar>("SO")->setCurrentIndex(tab);
        for (const char* name : {"tbSOdataClear", "tbSOdataTest", "tbSOdataOpen", "cbSOArrayDim"})
            EXPECT_EQ(find<QWidget>(name)->isEnabled(), tab != 0) << name << " on tab " << tab;
        EXPECT_EQ(grid()->editable(), tab != 0);
    }
}

TEST_F(OutputSideWindow, AfterCyclicOutputAndADeviceStopATypedWordIsTakenAndSent)
{
    QWidget* mark = find<QWidget>("LabelSOChanged");
    click("tbSOciclePusk");
    stop();
    initialise();
    typeInto(6, 1, {Qt::Key_4, Qt::Key_2});
    endEditing();
    EXPECT_FALSE(mark->isHidden()) << "test fill and typing changed the array";
    QTemporaryDir dir;
    prompts.fileToSave = dir.filePath(QStringLiteral("a.so")).toStdString();
    click("tbSOdataSave");
    EXPECT_TRUE(mark->isHidden()) << "saved";

    click("tbSOsinglePusk");
    ASSERT_NE(bus.last(ReqSOsingleLoad), nullptr);
    EXPECT_EQ(bus.last(ReqSOsingleLoad)->in[8 + 4 * 6], 042);
}
