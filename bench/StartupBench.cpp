// The program's start-up up to its main window on screen: TMainFrm made over
// a bus with two modules, shown, exposed and painted; beside it, in the same
// run, a bare QMainWindow with a menu bar and a toolbar shown the same way.
// Counters: the first main window of the process (cold_ms, the toolkit's
// one-time work included, as at a real start), the resident memory of the
// bare QApplication and of the process once that window is shown (KiB).
// These benchmarks run first, so that no other window has been made before.
#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QWindow>
#include <benchmark/benchmark.h>
#include <fstream>
#include <memory>
#include <string>

#include "../tests/support/FakeBus.h"
#include "ReceivingMonitor.h"
#include "gui/TMainFrm.h"

namespace {

using namespace telvar5;

// VmRSS from /proc/self/status, in KiB; 0 where there is none.
double residentKiB()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stod(line.substr(6));
    return 0;
}

// Read once, on the first call: before the first window of the run.
double bareApplicationKiB()
{
    static const double kib = residentKiB();
    return kib;
}

// The offscreen platform warns, on every window shown, that it cannot pass
// size hints on; these benchmarks show hundreds of windows.
void dropSizeHintWarnings()
{
    static const QtMessageHandler toolkit =
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& text) {
            if (toolkit && !text.contains(QLatin1String("propagateSizeHints")))
                toolkit(type, context, text);
        });
}

// As QTest::qWaitForWindowExposed, without its 10 ms naps: the expose event
// paints the window; the events it leaves (delayed layouts and their repaints)
// run too.
void waitUntilShown(QWidget& window)
{
    const QDeadlineTimer deadline(5000);
    while (!(window.windowHandle() && window.windowHandle()->isExposed()) && !deadline.hasExpired())
        QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

void closeAndDelete(std::unique_ptr<QWidget> window)
{
    window.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

void BM_StartupToShownMainWindow(benchmark::State& state)
{
    dropSizeHintWarnings();
    const double applicationKiB = bareApplicationKiB();
    static double coldMs = 0; // the process's first main window
    static double shownKiB = 0;
    test::FakeBus bus;
    bus.modules[0] = {1234, makeConfigWord(8, 8)};
    bus.modules[2] = {4321, makeConfigWord(4, 4)};
    bench::NoPrompts prompts;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        auto window = std::make_unique<TMainFrm>(bus, prompts);
        window->show();
        waitUntilShown(*window);
        state.PauseTiming();
        if (!window->windowHandle()->isExposed())
            state.SkipWithError("the main window was never exposed");
        if (coldMs == 0) {
            coldMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
            shownKiB = residentKiB();
        }
        closeAndDelete(std::move(window));
        bus.sent.clear();
        state.ResumeTiming();
    }
    state.counters["cold_ms"] = coldMs;
    state.counters["rss_app_KiB"] = applicationKiB;
    state.counters["rss_shown_KiB"] = shownKiB;
}
BENCHMARK(BM_StartupToShownMainWindow)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();

void BM_StartupBareMainWindow(benchmark::State& state)
{
    dropSizeHintWarnings();
    bareApplicationKiB();
    for (auto _ : state) {
        auto window = std::make_unique<QMainWindow>();
        QMenu* file = window->menuBar()->addMenu(QStringLiteral("Файл"));
        QToolBar* tools = window->addToolBar(QStringLiteral("Tools"));
        for (const char* name : {"Open", "Save", "Exit"})
            tools->addAction(file->addAction(QString::fromLatin1(name)));
        window->resize(800, 600);
        window->show();
        waitUntilShown(*window);
        state.PauseTiming();
        if (!window->windowHandle()->isExposed())
            state.SkipWithError("the window was never exposed");
        closeAndDelete(std::move(window));
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartupBareMainWindow)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();

} // namespace
