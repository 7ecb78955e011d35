// Every text of the program, and a full-length value, fits its place in the font in
// use, whatever font the desktop gives: the status panes, the format editors'
// titles and the refresh-period dialog's title. (The input grid's columns and
// the device choice's headings are measured where those are tested.)
#include <QApplication>
#include <QLabel>

#include "MainWindowFixture.h"
#include "gui/PanelStatusBar.h"
#include "gui/TFrmTimerPeriod.h"
#include "gui/formats/FormatEditorGrid.h"
#include "gui/formats/TFrmFormatList.h"
#include "gui/formats/TFrmParamFormat.h"

using namespace telvar5;
using namespace telvar5::widgets_test;

namespace {

int advance(const QWidget& w, const QString& text) { return w.fontMetrics().horizontalAdvance(text); }

void expectTitlesFit(const FormatEditorGrid& grid)
{
    for (int column = 0; column < grid.model()->columnCount(); ++column) {
        const QString title = grid.model()->headerData(column, Qt::Horizontal).toString();
        EXPECT_GE(grid.columnWidth(column), advance(grid, title) + 2) << title.toStdString();
    }
}

} // namespace

TEST_F(MainWindowTest, TheProgramsTextsFitTheirPlacesInTheFontInUse)
{
    open();
    // The longest lines of the status panes: every channel, mode and bit rate the module may give.
    const QString longest[] = {
        QStringLiteral("Выходной канал №8: выдача циклическая; частота 12,5КГц+/-1%"),
        QStringLiteral("Входной канал №8: прием адресный; частота 12..14,5КГц"),
    };
    for (PanelStatusBar* bar : {window->XPStatusBar1(), window->XPStatusBar2()})
        for (int panel = 0; panel < 2; ++panel)
            for (const QString& text : longest) {
                bar->setPanelText(panel, text);
                const QLabel* label = bar->panel(panel);
                EXPECT_GE(label->contentsRect().width(), advance(*label, text)) << text.toStdString();
            }

    expectTitlesFit(*window->FrmFormatList()->DrawGrid1());
    expectTitlesFit(*window->FrmParamFormat()->DrawGrid1());
    expectTitlesFit(*window->FrmParamFormat()->DrawGrid2());

    QFont caption = QApplication::font();
    caption.setBold(true);
    const TFrmTimerPeriod* period = window->FrmTimerPeriod();
    EXPECT_GE(period->width(), QFontMetrics(caption).horizontalAdvance(period->windowTitle()) + 64);
}
