// Every text of the program, and a full-length value, fits its place in the font in
// use, whatever font the desktop gives: the status panes, the format editors'
// titles and the refresh-period dialog's title; and every window, laid out on a
// 1024 x 768 screen, opens whole on it with every text it shows whole. (The
// input grid's columns and the device choice's headings are measured where
// those are tested.)
#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QTableView>
#include <QTextDocument>
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
#include "gui/device/TFrmDeviceChoice.h"
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

// A text drawn in `area` of the widget: inside the area and not cut off by the widget's parents.
void expectShown(const QWidget& widget, const QRect& area, int flags, const QString& text)
{
    const QFontMetrics metrics = widget.fontMetrics();
    QRect needed = metrics.boundingRect(area, flags | Qt::TextShowMnemonic, text);
    if (!(flags & Qt::TextWordWrap) && !text.contains(QLatin1Char('\n'))) {
        // One line: what must show is its glyphs' ink (a large "+" on a small button).
        const QRect ink = metrics.tightBoundingRect(text);
        needed.setTop(needed.top() + metrics.ascent() + ink.top());
        needed.setHeight(ink.height());
    }
    EXPECT_TRUE(area.contains(needed) && widget.visibleRegion().boundingRect().contains(needed))
        << widget.objectName().toStdString() << " \"" << text.toStdString() << "\" needs " << needed.width() << "x"
        << needed.height() << " in " << area.width() << "x" << area.height() << " of which "
        << widget.visibleRegion().boundingRect().width() << " shown";
}

// Where a button draws its text.
QRect textArea(const QAbstractButton& button)
{
    QStyleOptionButton option;
    option.initFrom(&button);
    option.text = button.text();
    const QStyle::SubElement contents = qobject_cast<const QCheckBox*>(&button) ? QStyle::SE_CheckBoxContents
        : qobject_cast<const QRadioButton*>(&button)                             ? QStyle::SE_RadioButtonContents
                                                                                 : QStyle::SE_PushButtonContents;
    return button.style()->subElementRect(contents, &option, &button);
}

// Each column title whole in its section, and no column beyond the grid's edge
// unless the grid is made to scroll sideways (the input grid).
void expectColumnsShown(const QTableView& grid)
{
    const QHeaderView& header = *grid.horizontalHeader();
    const bool cellTitles = qobject_cast<const GridTitleHeader*>(&header) != nullptr;
    const int margin = header.style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, &header);
    const bool wraps = header.defaultAlignment() & Qt::TextWordWrap;
    int end = 0;
    for (int column = 0; column < header.count(); ++column) {
        if (header.isSectionHidden(column))
            continue;
        const QString title = grid.model()->headerData(column, Qt::Horizontal).toString();
        if (cellTitles) {
            // Drawn from 1 pixel in, unclipped until the next title: what shows is the glyphs' ink.
            EXPECT_LE(1 + header.fontMetrics().boundingRect(title).right(), header.sectionSize(column))
                << grid.objectName().toStdString() << ": " << title.toStdString();
        } else {
            const int room = header.sectionSize(column) - 2 * margin
                - (header.isSortIndicatorShown() && header.sortIndicatorSection() == column
                       ? header.style()->pixelMetric(QStyle::PM_HeaderMarkSize, nullptr, &header)
                       : 0);
            const QRect needed =
                header.fontMetrics().boundingRect(QRect(0, 0, room, 1000), wraps ? int(Qt::TextWordWrap) : 0, title);
            EXPECT_LE(needed.width(), room) << grid.objectName().toStdString() << ": " << title.toStdString();
            EXPECT_LE(needed.height(), header.height()) << grid.objectName().toStdString() << ": " << title.toStdString();
        }
        end = header.sectionViewportPosition(column) + header.sectionSize(column);
    }
    if (grid.horizontalScrollBarPolicy() != Qt::ScrollBarAlwaysOn) {
        EXPECT_LE(end, grid.viewport()->width()) << grid.objectName().toStdString() << ": columns cut at the edge";
    }
}

// Every text the window shows, in the font in use, whole: labels, buttons, the current
// items of lists, the lines of list views and the columns of grids.
void expectTextsWhole(const QWidget& window)
{
    SCOPED_TRACE(window.objectName().toStdString());
    EXPECT_GE(window.width(), window.minimumSizeHint().width());
    EXPECT_GE(window.height(), window.minimumSizeHint().height());
    for (const QWidget* w : window.findChildren<QWidget*>()) {
        if (w->window() != &window || !w->isVisibleTo(&window))
            continue;
        if (const auto* label = qobject_cast<const QLabel*>(w)) {
            if (!label->text().isEmpty() && !Qt::mightBeRichText(label->text()))
                expectShown(*label, label->contentsRect(),
                            int(label->alignment()) | (label->wordWrap() ? int(Qt::TextWordWrap) : 0), label->text());
        } else if (const auto* button = qobject_cast<const QAbstractButton*>(w);
                   button && !button->text().isEmpty()
                   && (qobject_cast<const QPushButton*>(w) || qobject_cast<const QCheckBox*>(w)
                       || qobject_cast<const QRadioButton*>(w))) {
            const int alignment = qobject_cast<const QPushButton*>(w) ? int(Qt::AlignCenter) : int(Qt::AlignLeft | Qt::AlignVCenter);
            expectShown(*button, textArea(*button), alignment, button->text());
        } else if (const auto* list = qobject_cast<const QComboBox*>(w); list && !list->currentText().isEmpty()) {
            QStyleOptionComboBox option;
            option.initFrom(list);
            const QRect field = list->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, list);
            expectShown(*list, field, Qt::AlignLeft | Qt::AlignVCenter, list->currentText());
        } else if (const auto* grid = qobject_cast<const QTableView*>(w); grid && grid->model()) {
            expectColumnsShown(*grid);
        } else if (const auto* lines = qobject_cast<const QListView*>(w); lines && lines->model()) {
            EXPECT_LE(lines->sizeHintForColumn(0), lines->viewport()->width()) << lines->objectName().toStdString();
        }
    }
}

} // namespace

TEST_F(MainWindowTest, EveryWindowOpensWholeOnA1024x768ScreenWithItsTextsWhole)
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
        {stimulus.generatorItem(), [&] { return stimulus.generatorWindow(); }},
        {stimulus.replayItem(), [&] { return stimulus.replayWindow(); }},
        {command(Command::HelpContents1), [&] { return window->helpWindow(); }},
    };
    for (const auto& [item, tool] : tools) {
        item->trigger();
        QWidget* shown = tool();
        ASSERT_TRUE(shown && QTest::qWaitForWindowExposed(shown)) << item->text().toStdString();
        EXPECT_TRUE(workArea.contains(shown->frameGeometry())) << shown->objectName().toStdString();
        expectTextsWhole(*shown);
        shown->close();
    }
    // The dialogs, as they open over the main window.
    const QList<QWidget*> dialogs{window->FrmDeviceChoice(), window->FrmOpenMethodChoice(), window->FrmSObinParam(),
                                  window->FrmFormatList(),   window->FrmParamFormat(),      window->FrmTimerPeriod()};
    for (QWidget* dialog : dialogs) {
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
