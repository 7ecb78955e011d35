// The output grid as the user works with it, offscreen: one character typed
// into the cell editor, from the key press to the model's dataChanged of the
// word's row; and the repaint of the grid itself, and of its rows.
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <benchmark/benchmark.h>

#include "ReceivingMonitor.h"
#include "gui/DataPanel.h"
#include "gui/output/OutputArrayModel.h"
#include "gui/output/OutputArrayView.h"
#include "gui/output/OutputSide.h"

namespace {

using namespace telvar5;

// The data panel of an initialised monitor, output side only, about 40 rows high.
struct OutputGridRig {
    bench::ReceivingMonitor rig;
    DataPanel panel;
    OutputSide side{*rig.monitor, panel};

    OutputGridRig()
    {
        panel.resize(1000, 42 * OutputArrayView::kRowHeight + 140);
        panel.setInputWidth(1000, 760);
        panel.show();
        side.applyScreen();
        QApplication::processEvents();
    }
    OutputArrayView& grid() { return *panel.DrawGrid1(); }
};

void BM_OutputGridTypedCharacter(benchmark::State& state)
{
    OutputGridRig rig;
    OutputArrayView& grid = rig.grid();
    const QModelIndex cell = rig.side.model()->index(5, 1);
    grid.setCurrentIndex(cell);
    grid.edit(cell);
    auto* editor = qobject_cast<QLineEdit*>(grid.cellEditor());
    if (!editor) {
        state.SkipWithError("no cell editor");
        return;
    }
    std::int64_t changes = 0;
    QObject::connect(rig.side.model(), &QAbstractItemModel::dataChanged, [&changes] { ++changes; });
    for (auto _ : state) {
        editor->clear(); // one digit each time: the same accepted path
        QKeyEvent press(QEvent::KeyPress, Qt::Key_7, Qt::NoModifier, QStringLiteral("7"));
        QApplication::sendEvent(editor, &press);
    }
    if (changes != state.iterations())
        state.SkipWithError("a typed digit did not reach the model");
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_OutputGridTypedCharacter)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly();

void BM_OutputGridRepaint(benchmark::State& state)
{
    OutputGridRig rig;
    rig.rig.monitor->outputArrays().SOdataTestExecute();
    rig.side.wordsChanged();
    OutputArrayView& grid = rig.grid();
    // The frame, the scroll bar and the corner title: a widget's repaint leaves
    // its opaque children (the titles, the fixed column, the rows) as they are.
    for (auto _ : state)
        grid.repaint();
    state.counters["rows"] = grid.rowAt(grid.viewport()->height() - 1) - grid.rowAt(0) + 1;
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_OutputGridRepaint)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly();

// The visible rows alone, as the input grid's repaint is timed.
void BM_OutputGridCellsRepaint(benchmark::State& state)
{
    OutputGridRig rig;
    rig.rig.monitor->outputArrays().SOdataTestExecute();
    rig.side.wordsChanged();
    OutputArrayView& grid = rig.grid();
    for (auto _ : state)
        grid.viewport()->repaint();
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_OutputGridCellsRepaint)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly();

} // namespace
