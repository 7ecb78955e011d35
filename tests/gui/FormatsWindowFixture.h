#pragma once
// The main window started in a directory of its own whose formats settings
// file holds three decimal formats, with helpers that show a format editor by
// its tool button, act in it, and close it by its close box as the user does.
#include <QTest>
#include <QToolButton>
#include <functional>

#include "MainWindowFixture.h"
#include "WorkingDirectory.h"
#include "formats/FormatSettingsFile.h"
#include "gui/Cp1251Text.h"
#include "gui/GridTitleHeader.h"
#include "gui/formats/FormatEditorGrid.h"

namespace telvar5::widgets_test {

// A text of the program's own files: Windows-1251 bytes.
inline std::string cp1251(const QString& text) { return cp1251FromText(text); }

class FormatsWindow : public MainWindowTest {
protected:
    WorkingDirectory cwd;

    void SetUp() override
    {
        MainWindowTest::SetUp();
        FormatTables tables;
        addFormat(tables, "ALT", 0, 28, 12, 65536.0f, QStringLiteral("фут"));
        addFormat(tables, "MACH", 0, 28, 13, 2.048f, QStringLiteral("М"));
        addFormat(tables, "ANG", 1, 29, 14, 90.0f, QStringLiteral("град"));
        ASSERT_TRUE(saveFormatSettings(tables));
        open();
    }

    static void addFormat(FormatTables& tables, const char* tag, std::uint8_t bit29IsData, std::uint8_t msb,
                          std::uint8_t lsb, float weight, const QString& units)
    {
        DecimalFormat& f = tables.formatTable[tables.formatCount++];
        f.setTag(tag);
        f.setBit29IsData(bit29IsData);
        f.setMsbBit(msb);
        f.setLsbBit(lsb);
        f.setMsbWeight(weight);
        f.setUnits(cp1251(units));
    }

    FormatTables& tables() { return window->monitor().run().formats; }

    // Shows the dialog by its tool button, runs the action inside its event
    // loop, then closes it by its close box.
    template <class Dialog>
    void inDialog(const char* toolButton, const std::function<void(Dialog&)>& action)
    {
        bool shown = false;
        whenModal([&](QWidget* modal) {
            auto* dialog = qobject_cast<Dialog*>(modal);
            ASSERT_NE(dialog, nullptr);
            shown = true;
            action(*dialog);
            dialog->close();
        });
        find<QToolButton>(toolButton)->click();
        EXPECT_TRUE(shown);
    }

    static QPoint cellCentre(FormatEditorGrid* grid, int row, int column)
    {
        const QModelIndex index = grid->model()->index(row - 1, column);
        grid->scrollTo(index);
        return grid->visualRect(index).center();
    }

    static void click(FormatEditorGrid* grid, int row, int column)
    {
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cellCentre(grid, row, column));
    }

    // Makes the cell current with a click and types the text key by key, as the user does.
    static void typeInto(FormatEditorGrid* grid, int row, int column, const QString& text)
    {
        grid->endEditing();
        grid->selectionModel()->clear(); // a click on the current cell would open its editor later as well
        click(grid, row, column);
        for (QChar c : text) {
            QWidget* target = grid->cellEditor() ? grid->cellEditor() : static_cast<QWidget*>(grid);
            QTest::sendKeyEvent(QTest::Click, target, keyOf(c), QString(c), Qt::NoModifier);
        }
    }

    static Qt::Key keyOf(QChar c)
    {
        if (c.isDigit())
            return static_cast<Qt::Key>(Qt::Key_0 + c.digitValue());
        if (c.unicode() < 128 && c.isLetter())
            return static_cast<Qt::Key>(Qt::Key_A + (c.toUpper().unicode() - 'A'));
        return c == QLatin1Char('.') ? Qt::Key_Period : Qt::Key_unknown;
    }

    // Pixels of the cell's text drawn in pure red.
    static int redPixels(FormatEditorGrid* grid, int row, int column)
    {
        const QImage image = grid->viewport()->grab().toImage();
        const QRect cell = grid->visualRect(grid->model()->index(row - 1, column));
        int red = 0;
        for (int y = cell.top(); y <= cell.bottom(); ++y)
            for (int x = cell.left(); x <= cell.right(); ++x) {
                const QColor p = image.pixelColor(x, y);
                red += p.red() > 200 && p.green() < 80 && p.blue() < 80;
            }
        return red;
    }
};

} // namespace telvar5::widgets_test
