// A refresh tick with all eight channels receiving followed by the repaint of
// the visible page of the input grid, offscreen, as the main window does it.
#include <QApplication>
#include <benchmark/benchmark.h>

#include "ReceivingMonitor.h"
#include "gui/input/InputBufferModel.h"
#include "gui/input/InputBufferView.h"

namespace {

using namespace telvar5;

void BM_RefreshTickWithInputGridRepaint(benchmark::State& state)
{
    bench::ReceivingMonitor rig;
    rig.monitor->reception().SIChange(0);
    InputBufferModel model(rig.monitor->run());
    InputBufferView view;
    view.setBufferModel(&model);
    view.resize(760, 42 * InputBufferView::kRowHeight); // about 40 rows on screen
    view.show();
    QApplication::processEvents();
    for (auto _ : state) {
        const TickResult tick = rig.monitor->refresh().Timer1Timer();
        if (tick.inputGridChanged)
            model.cellsStored(tick.storedCells);
        view.viewport()->repaint();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RefreshTickWithInputGridRepaint)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly();

} // namespace
