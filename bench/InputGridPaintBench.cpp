// A refresh tick with all eight channels receiving followed by the repaint of
// the visible page of the input grid, offscreen, as the main window does it;
// and the repaint of that page alone.
#include <QApplication>
#include <benchmark/benchmark.h>

#include "ReceivingMonitor.h"
#include "gui/input/InputBufferModel.h"
#include "gui/input/InputBufferView.h"

namespace {

using namespace telvar5;

struct ShownInputGrid {
    bench::ReceivingMonitor rig;
    InputBufferModel model{rig.monitor->run()};
    InputBufferView view;

    ShownInputGrid()
    {
        rig.monitor->reception().SIChange(0);
        view.setBufferModel(&model);
        view.resize(760, 42 * InputBufferView::kRowHeight); // about 40 rows on screen
        view.show();
        QApplication::processEvents();
    }

    void tick()
    {
        const TickResult tick = rig.monitor->refresh().Timer1Timer();
        if (tick.inputGridChanged)
            model.cellsStored(tick.storedCells);
    }
};

void BM_RefreshTickWithInputGridRepaint(benchmark::State& state)
{
    ShownInputGrid grid;
    for (auto _ : state) {
        grid.tick();
        grid.view.viewport()->repaint();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RefreshTickWithInputGridRepaint)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly();

void BM_InputGridRepaint(benchmark::State& state)
{
    ShownInputGrid grid;
    for (int i = 0; i < 20; ++i) // cells filled with words, cycle numbers and values
        grid.tick();
    for (auto _ : state)
        grid.view.viewport()->repaint();
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_InputGridRepaint)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly();

} // namespace
