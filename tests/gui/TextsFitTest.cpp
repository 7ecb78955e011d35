// Every text of the program, and a full-length value, fits its place in the font in
// use, whatever font the desktop gives: the status panes, the format editors'
// titles and the refresh-period dialog's title; and every window, laid out on a
// 1024 x 768 screen, opens whole on it with every text it shows whole, the tool
// windows owned by the main window. (The input grid's columns and the device
// choice's headings are measured where those are tested.)
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QTableView>
#include <QTextDocument>
#include <QWindow>
#include <functional>

#include "MainWindowFixture.h"
#include "gui/GridTitleHeader.h"
#include "gui/HelpWindow.h"
#include "gui/PanelStatusBar.h"
#include "gui/TFrmTimerPeriod.h"
#include "gui/ToolWindows.h"
#include "gui/analysis/AnalysisMenu.h"
#include "gui/analysis/TFrmLabelStats.h"
#include "gui/analysis/TFrmModuleLog.h"
#include "gui/analysis/TFrmModuleOverview.h"
#include "gui/analysis/TFrmTrend.h"
#include "gui/analysis/TFrmWordLog.h"
#include "gui/device/TFrmOpenMethodChoice.h"
#include "gui/formats/FormatEditorGrid.h"
#include "gui/formats/TFrmFormatList.h"
#include "gui/formats/TFrmParamFormat.h"
#include "gui/output/TFrmSObinParam.h"
#include "gui/stimulus/StimulusMenu.h"
#include "gui/stimulus/TFrmParamGenerator.h"
#include "gui/stimulus/TFrmReplay.h"

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

// A text drawn in `area` of the widget: inside it and not cut off by the widget's parents. One line
// counts by its ink (a large "+" on a small button).
void expectShown(const QWidget& widget, const QRect& area, int flags, const QString& text)
{
    if (text.isEmpty())
        return;
    const QFontMetrics metrics = widget.fontMetrics();
    QRect needed = metrics.boundingRect(area, flags | Qt::TextShowMnemonic, text);
    if (!(flags & Qt::TextWordWrap) && !text.contains(QLatin1Char('\n'))) {
        const QRect ink = metrics.tightBoundingRect(text);
        needed.setTop(needed.top() + metrics.ascent() + ink.top());
        needed.setHeight(ink.height());
    }
    EXPECT_TRUE(area.contains(needed) && widget.visibleRegion().boundingRect().contains(needed))
        << widget.objectName().toStdString() << ": " << text.toStdString();
}

QRect textArea(const QPushButton& button)
{
    QStyleOptionButton option;
    option.initFrom(&button);
    option.text = button.text();
    return button.style()->subElementRect(QStyle::SE_PushButtonContents, &option, &button);
}

// Each title whole in its column, and no column past the grid's edge unless the grid scrolls sideways by design.
void expectColumnsShown(const QTableView& grid)
{
    const QHeaderView& header = *grid.horizontalHeader();
    const QStyle& style = *header.style();
    const int margin = style.pixelMetric(QStyle::PM_HeaderMargin, nullptr, &header);
    const int arrow = header.isSortIndicatorShown() ? style.pixelMetric(QStyle::PM_HeaderMarkSize, nullptr, &header) : 0;
    const bool cellTitles = qobject_cast<const GridTitleHeader*>(&header);
    int end = 0;
    for (int column = 0; column < header.count(); ++column) {
        if (header.isSectionHidden(column))
            continue;
        QString title = grid.model()->headerData(column, Qt::Horizontal).toString();
        const int width = header.sectionSize(column);
        if (cellTitles) {
            // Drawn from 1 pixel in, as a cell's text, up to the grid line; trailing blanks draw nothing.
            while (title.endsWith(QLatin1Char(' ')))
                title.chop(1);
            EXPECT_LE(header.fontMetrics().horizontalAdvance(title) + 2, width)
                << grid.objectName().toStdString() << ": " << title.toStdString();
        } else {
            const int room = width - 2 * margin - (header.sortIndicatorSection() == column ? arrow : 0);
            const QRect needed = header.fontMetrics().boundingRect(QRect(0, 0, room, 1000),
                                                                   int(header.defaultAlignment() & Qt::TextWordWrap), title);
            EXPECT_TRUE(needed.width() <= room && needed.height() <= header.height())
                << grid.objectName().toStdString() << ": " << title.toStdString();
        }
        end = header.sectionViewportPosition(column) + width;
    }
    if (grid.horizontalScrollBarPolicy() != Qt::ScrollBarAlwaysOn) {
        EXPECT_LE(end, grid.viewport()->width()) << grid.objectName().toStdString() << ": columns cut at the edge";
    }
}

// Every text the window shows whole in the font in use: labels, buttons, the lines of lists and the grids' columns.
void expectTextsWhole(const QWidget& window)
{
    SCOPED_TRACE(window.objectName().toStdString());
    EXPECT_TRUE(window.size().expandedTo(window.minimumSizeHint()) == window.size()) << "squeezed";
    for (const QWidget* w : window.findChildren<QWidget*>()) {
        if (w->window() != &window || !w->isVisibleTo(&window))
            continue;
        if (const auto* label = qobject_cast<const QLabel*>(w); label && !Qt::mightBeRichText(label->text()))
            expectShown(*label, label->contentsRect(),
                        int(label->alignment()) | (label->wordWrap() ? int(Qt::TextWordWrap) : 0), label->text());
        else if (const auto* button = qobject_cast<const QPushButton*>(w))
            expectShown(*button, textArea(*button), Qt::AlignCenter, button->text());
        else if (const auto* grid = qobject_cast<const QTableView*>(w); grid && grid->model())
            expectColumnsShown(*grid);
        else if (const auto* lines = qobject_cast<const QListView*>(w); lines && lines->model()) {
            EXPECT_LE(lines->sizeHintForColumn(0), lines->viewport()->width()) << lines->objectName().toStdString();
        }
    }
}

} // namespace

TEST_F(MainWindowTest, OnA1024x768ScreenEveryWindowIsWholeAndEachToolWindowStaysAboveTheMainOne)
{
    open();
    // The work area of a 1024 x 768 screen with a 40-pixel task bar, the main window over it.
    const QRect workArea(0, 0, 1024, 728);
    ToolWindows::of(*window).setWorkArea([workArea](const QWidget&) { return workArea; });
    window->setGeometry(workArea);
    // The widest pair the trend window lists: the last label of input 8, 8 letters of tag and 6 of units.
    FormatTables& formats = window->monitor().run().formats;
    formats.formatTable[0].setTag("ATTITUDE");
    formats.formatTable[0].setUnits("\xF4\xF3\xF2/\xEC\xED"); // "фут/мн"
    formats.formatTable[0].setMsbBit(28);
    formats.formatTable[0].setLsbBit(21);
    formats.formatTable[0].setMsbWeight(128.0f);
    formats.formatCount = 1;
    formats.paramFormatTable[0].setChannel(8);
    formats.paramFormatTable[0].setLabel(0377);
    formats.paramFormatTable[0].setFormatTag("ATTITUDE");
    formats.paramFormatCount = 1;
    choose();
    initialise();
    QTest::qWait(20);
    expectTextsWhole(*window);

    AnalysisMenu& analysis = *window->analysisMenu();
    StimulusMenu& stimulus = *window->stimulusMenu();
    const std::pair<QAction*, std::function<QWidget*()>> tools[] = {
        {analysis.labelStatsItem(), [&] { return analysis.labelStatsWindow(); }},
        {analysis.trendItem(), [&] { return analysis.trendWindow(); }},
        {analysis.overviewItem(), [&] { return analysis.overviewWindow(); }},
        {analysis.moduleLogItem(), [&] { return analysis.moduleLogWindow(); }},
        {analysis.wordLogItem(), [&] { return analysis.wordLogWindow(); }},
        {stimulus.generatorItem(), [&] { return stimulus.generatorWindow(); }},
        {stimulus.replayItem(), [&] { return stimulus.replayWindow(); }},
        {command(Command::HelpContents1), [&] { return window->helpWindow(); }},
    };
    const int dataTop = window->centralWidget()->mapToGlobal(QPoint(0, 0)).y();
    for (const auto& [item, tool] : tools) {
        item->trigger();
        QWidget* shown = tool();
        ASSERT_TRUE(shown && QTest::qWaitForWindowExposed(shown)) << item->text().toStdString();
        // Owned by the main window as the window system sees it (X11 keeps only a tool or a dialog
        // above the window it is transient for), whole on the work area and below the menus.
        EXPECT_EQ(shown->windowType(), Qt::Tool);
        EXPECT_EQ(shown->windowHandle()->transientParent(), window->windowHandle());
        const QRect frame = shown->frameGeometry();
        EXPECT_TRUE(workArea.contains(frame) && frame.top() >= dataTop) << shown->objectName().toStdString();
        expectTextsWhole(*shown);
        // Moved and resized by the user, closed, opened again: where it was left.
        const QRect left(frame.topLeft() + QPoint(7, -5), (shown->size() - QSize(11, 13)).expandedTo(shown->minimumSizeHint()));
        shown->setGeometry(left);
        shown->close();
        item->trigger();
        EXPECT_EQ(shown->geometry(), left) << shown->objectName().toStdString();
        shown->close();
    }
    for (QWidget* dialog : std::initializer_list<QWidget*>{window->FrmDeviceChoice(), window->FrmOpenMethodChoice(),
                                                           window->FrmSObinParam(), window->FrmFormatList(),
                                                           window->FrmParamFormat(), window->FrmTimerPeriod()}) {
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
        EXPECT_TRUE(workArea.contains(dialog->frameGeometry())) << dialog->objectName().toStdString();
        expectTextsWhole(*dialog);
        dialog->hide();
    }
}

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
