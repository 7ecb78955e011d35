// The decimal formats editor through its widgets: the bit-29 drop-down over
// the pressed cell, typing through the cell editor, "+" and "-", and the
// closing that writes the formats settings file or says why it could not.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QSignalSpy>

#include "FormatsWindowFixture.h"
#include "core/formats/FormatListEditor.h"
#include "gui/formats/FormatListModel.h"
#include "gui/formats/TFrmFormatList.h"

using namespace telvar5;
using namespace telvar5::widgets_test;

namespace {

using FormatListWindow = FormatsWindow;
constexpr const char* kTool = "tbFormat";

void pick(QComboBox* dropDown, int item)
{
    dropDown->setCurrentIndex(item);
    emit dropDown->activated(item);
}

struct Typing {
    const char* name;
    int column;
    QString keys;
    const char* shown; // record 0's cell afterwards (UTF-8)
    int beeps;
};

const Typing kTyping[] = {
    {"a tag", 0, QStringLiteral("VS12"), "VS12", 0},
    {"a ninth tag character is refused", 0, QStringLiteral("ABCDEFGHI"), "ABCDEFGH", 1},
    // "2" becomes 9, below lsbBit 12: 12 with a beep; "29" with bit 29 the sign: 28 with a beep.
    {"msbBit 29 while bit 29 is the sign", 2, QStringLiteral("29"), "     28", 2},
    {"a point is no digit, the 5 after it is", 4, QStringLiteral("0.5"), " 0.500000", 1},
    // Lengths count Windows-1251 bytes, one per letter.
    {"six Cyrillic letters of units", 5, QStringLiteral("градус"), "градус", 0},
    {"a seventh is refused", 5, QStringLiteral("градусы"), "градус", 1},
    {"bit 29 is not typed", 1, QStringLiteral("1"), "знак", 0},
};

} // namespace

TEST_F(FormatListWindow, TypingThroughTheCellEditorGoesStraightIntoTheTable)
{
    inDialog<TFrmFormatList>(kTool, [this](TFrmFormatList& dialog) {
        FormatEditorGrid* grid = dialog.DrawGrid1();
        for (const Typing& t : kTyping) {
            SCOPED_TRACE(t.name);
            const int beepsBefore = prompts.beeps;
            QSignalSpy changed(dialog.model(), &QAbstractItemModel::dataChanged);
            QSignalSpy reset(dialog.model(), &QAbstractItemModel::modelReset);
            typeInto(grid, 1, t.column, t.keys);
            EXPECT_EQ(dialog.model()->cellText(0, t.column), QString::fromUtf8(t.shown));
            EXPECT_EQ(prompts.beeps - beepsBefore, t.beeps);
            for (const QList<QVariant>& signal : changed)
                EXPECT_EQ(signal[0].toModelIndex().row(), 0);
            grid->endEditing();
            EXPECT_EQ(reset.count(), 0);
        }
    });
    EXPECT_EQ(tables().formatTable[0].units(), cp1251(QStringLiteral("градус")));
}

// A click on the selected cell opens its editor only after the double-click
// interval; keys typed at once after the click must still all arrive, in order.
TEST_F(FormatListWindow, KeysTypedAtOnceAfterAClickOnTheSelectedCellAllArrive)
{
    inDialog<TFrmFormatList>(kTool, [this](TFrmFormatList& dialog) {
        FormatEditorGrid* grid = dialog.DrawGrid1();
        grid->endEditing();
        grid->setCurrentIndex(grid->model()->index(0, FormatListEditor::MsbWeight)); // current and selected
        click(grid, 1, FormatListEditor::MsbWeight);
        for (QChar c : QStringLiteral("512")) {
            QWidget* target = grid->cellEditor() ? grid->cellEditor() : static_cast<QWidget*>(grid);
            QTest::sendKeyEvent(QTest::Click, target, keyOf(c), QString(c), Qt::NoModifier);
        }
        EXPECT_EQ(tables().formatTable[0].msbWeight(), 512.0f);
        // The click's own opening, due later, neither reopens nor empties the editor.
        QTest::qWait(QApplication::doubleClickInterval() + 100);
        auto* editor = qobject_cast<QLineEdit*>(grid->cellEditor());
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(editor->text(), QStringLiteral("512"));
        grid->endEditing();
    });
}

TEST_F(FormatListWindow, DropDownSitsOverThePressedBitCellAndSetsBit29)
{
    inDialog<TFrmFormatList>(kTool, [this](TFrmFormatList& dialog) {
        FormatEditorGrid* grid = dialog.DrawGrid1();
        QComboBox* dropDown = dialog.ComboBox1();
        EXPECT_FALSE(dropDown->isVisible());

        // Row 3 ("ANG", bit 29 data, msbBit 29): Panel2 32, the title row 24, two rows of 24 above it.
        click(grid, 3, 1);
        ASSERT_TRUE(dropDown->isVisible());
        EXPECT_EQ(dropDown->pos(), QPoint(69 + 2, 32 + 24 + 2 * 24 + 2));
        EXPECT_EQ(dropDown->currentText(), QStringLiteral("данные"));
        pick(dropDown, 0);
        EXPECT_EQ(tables().formatTable[2].bit29IsData(), 0);
        EXPECT_EQ(tables().formatTable[2].msbBit(), 28);
        EXPECT_EQ(dialog.model()->cellText(2, 2), QStringLiteral("     28"));

        // Over the title cell it stands for the current row, here "MACH".
        click(grid, 2, 0);
        EXPECT_FALSE(dropDown->isVisible());
        const int titleX = grid->columnViewportPosition(1) + 10;
        QTest::mouseClick(grid->titles()->viewport(), Qt::LeftButton, {}, QPoint(titleX, 10));
        ASSERT_TRUE(dropDown->isVisible());
        EXPECT_EQ(dropDown->pos(), QPoint(69 + 2, 32 + 0 + 2));
        EXPECT_EQ(dropDown->currentText(), QStringLiteral("знак"));
        pick(dropDown, 1);
        EXPECT_EQ(tables().formatTable[1].bit29IsData(), 1);
        EXPECT_EQ(dialog.model()->cellText(1, 1), QStringLiteral("данные"));

        // Below the last row there is no cell.
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, QPoint(titleX, grid->viewport()->height() - 3));
        EXPECT_FALSE(dropDown->isVisible());
    });
}

TEST_F(FormatListWindow, DeleteCompactsEveryIncompleteRowAndClosingWritesTheFile)
{
    inDialog<TFrmFormatList>(kTool, [this](TFrmFormatList& dialog) {
        FormatEditorGrid* grid = dialog.DrawGrid1();
        ASSERT_EQ(dialog.model()->rowCount(), 3);
        dialog.btAdd()->click();
        dialog.btAdd()->click();
        EXPECT_EQ(dialog.model()->rowCount(), 5);
        typeInto(grid, 4, 0, QStringLiteral("NEW")); // a tag alone: incomplete
        grid->endEditing();

        QSignalSpy removed(dialog.model(), &QAbstractItemModel::rowsRemoved);
        QSignalSpy reset(dialog.model(), &QAbstractItemModel::modelReset);
        click(grid, 1, 0);
        dialog.btDelete()->click();
        EXPECT_EQ(dialog.model()->rowCount(), 2);
        EXPECT_EQ(dialog.model()->cellText(0, 0), QStringLiteral("MACH"));
        EXPECT_EQ(dialog.model()->cellText(1, 0), QStringLiteral("ANG"));
        EXPECT_EQ(tables().formatCount, 2);
        EXPECT_EQ(removed.count(), 1);
        EXPECT_EQ(reset.count(), 0);

        // Esc closes the dialog, keeping the edits.
        QTest::keyClick(&dialog, Qt::Key_Escape);
        EXPECT_FALSE(dialog.isVisible());
    });
    FormatTables saved;
    ASSERT_TRUE(loadFormatSettings(saved, cwd.filePath(QStringLiteral("TLV5frmt.stt")).toStdString()));
    EXPECT_EQ(saved.formatCount, 2);
    EXPECT_EQ(saved.formatTable[0].tag(), "MACH");
    EXPECT_TRUE(prompts.errors.empty());

    // The next showing starts from the table as it was left.
    inDialog<TFrmFormatList>(kTool, [](TFrmFormatList& dialog) { EXPECT_EQ(dialog.model()->rowCount(), 2); });
}

TEST_F(FormatListWindow, ASettingsFileThatCannotBeWrittenIsReportedAndTheTableKept)
{
    ASSERT_TRUE(QFile::remove(cwd.filePath(QStringLiteral("TLV5frmt.stt"))));
    ASSERT_TRUE(QDir(cwd.filePath(QString())).mkdir(QStringLiteral("TLV5frmt.stt")));
    inDialog<TFrmFormatList>(kTool, [](TFrmFormatList&) {});
    ASSERT_EQ(prompts.errors.size(), 1u);
    EXPECT_NE(prompts.errors[0].find("TLV5frmt.stt"), std::string::npos);
    EXPECT_EQ(tables().formatCount, 3);
}
