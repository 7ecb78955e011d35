// The format editors opened with full tables, offscreen: from show() (the
// dialog's FormShow, its layout and the rows of 256 records) to the end of
// the first paint of its grids. Argument 0: the dialog is made once, as the
// main window makes it, and shown again and again; 1: a new dialog each time,
// its construction and first polish included. Dialogs are hidden between
// showings without their closing, which would compact the tables and write
// the settings file.
#include <QAbstractItemView>
#include <QApplication>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <vector>

#include "ReceivingMonitor.h"
#include "gui/formats/FormatEditorGrid.h"
#include "gui/formats/TFrmFormatList.h"
#include "gui/formats/TFrmParamFormat.h"

namespace {

using namespace telvar5;

// Counts the paints of the widgets it watches.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(const std::vector<QWidget*>& watched) : watched_(watched)
    {
        for (QWidget* w : watched_)
            w->installEventFilter(this);
    }
    void reset() { painted_.assign(watched_.size(), false); }
    bool allPainted() const { return std::find(painted_.begin(), painted_.end(), false) == painted_.end(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            for (std::size_t i = 0; i < watched_.size(); ++i)
                if (watched_[i] == watched)
                    painted_[i] = true;
        }
        return false;
    }

private:
    std::vector<QWidget*> watched_;
    std::vector<bool> painted_;
};

void fillTables(FormatTables& tables)
{
    for (std::size_t k = 0; k < kFormatTableSize; ++k) {
        char tag[16];
        std::snprintf(tag, sizeof tag, "F%03u", static_cast<unsigned>(k));
        DecimalFormat& f = tables.formatTable[k];
        f.setTag(tag);
        f.setMsbBit(28);
        f.setLsbBit(12);
        f.setMsbWeight(65536.0f);
        f.setUnits("\xF4\xF3\xF2"); // "фут"
        ParamFormatEntry& p = tables.paramFormatTable[k];
        p.setLabel(static_cast<std::uint8_t>(k == 0 ? 1 : k));
        p.setChannel(static_cast<std::uint8_t>(1 + k % 8));
        p.setFormatTag(k % 3 ? tag : "NONE"); // every third tag drawn red
    }
    tables.formatCount = kFormatTableSize;
    tables.paramFormatCount = kFormatTableSize;
}

// Shows the dialog and waits for the first paint of every grid.
bool showToFirstPaint(QDialog& dialog, const std::vector<QWidget*>& grids)
{
    PaintCounter counter(grids);
    counter.reset();
    dialog.show();
    for (int spin = 0; !counter.allPainted() && spin < 10000; ++spin)
        QApplication::processEvents();
    return counter.allPainted();
}

template <class Dialog, class Editor>
void openToFirstPaint(benchmark::State& state, Editor& (Monitor::*editor)(),
                      std::vector<QWidget*> (*grids)(const Dialog&))
{
    bench::ReceivingMonitor rig;
    fillTables(rig.monitor->run().formats);
    Editor& rules = (rig.monitor.get()->*editor)();
    const bool fresh = state.range(0) == 1;
    auto kept = std::make_unique<Dialog>(rules, rig.monitor->run().formats);
    int rows = 0;
    for (auto _ : state) {
        std::unique_ptr<Dialog> made = fresh ? std::make_unique<Dialog>(rules, rig.monitor->run().formats) : nullptr;
        Dialog& dialog = fresh ? *made : *kept;
        if (!showToFirstPaint(dialog, grids(dialog))) {
            state.SkipWithError("the grids were not painted");
            break;
        }
        state.PauseTiming();
        // The first grid named is the edited one; the viewport's parent is its view.
        rows = static_cast<QAbstractItemView*>(grids(dialog).front()->parentWidget())->model()->rowCount();
        dialog.hide();
        made.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["rows"] = rows;
}

std::vector<QWidget*> formatListGrids(const TFrmFormatList& dialog) { return {dialog.DrawGrid1()->viewport()}; }
std::vector<QWidget*> paramFormatGrids(const TFrmParamFormat& dialog)
{
    return {dialog.DrawGrid2()->viewport(), dialog.DrawGrid1()->viewport()};
}

void BM_FormatListFirstPaint(benchmark::State& state)
{
    openToFirstPaint<TFrmFormatList>(state, &Monitor::formatList, formatListGrids);
}
BENCHMARK(BM_FormatListFirstPaint)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();

void BM_ParamFormatFirstPaint(benchmark::State& state)
{
    openToFirstPaint<TFrmParamFormat>(state, &Monitor::paramFormats, paramFormatGrids);
}
BENCHMARK(BM_ParamFormatFirstPaint)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();

} // namespace
