// How long the UI thread keeps events waiting while the refresh tick talks to
// a slow module: the main window over the virtual driver, its module chosen
// and initialised through the window's commands and all eight inputs
// receiving, the refresh timer at its own period. For the measured span two
// probes run beside it: a custom event posted every 5 ms from another thread
// (what a window manager's ping or a key press meets), timed from its posting
// to its handling on the UI thread; and a 2 ms timer on the UI thread, timed
// by how late each firing comes.
// Arguments: every request's delay in the driver, in microseconds; and 1 for
// the window as the program runs it (its ticks hand slow reads to the device
// thread), 0 for every tick whole on the UI thread, as it was before.
// Counters of the posted events' waits: worst_ms, p99_ms, median_ms,
// stalls_over_20ms (waits over 20 ms); events (how many were handled);
// timer_late_worst_ms and timer_late_p99_ms for the timer; ticks (refresh
// ticks done in the span) and period_ms (the refresh period).
#include <QApplication>
#include <QDeadlineTimer>
#include <QEvent>
#include <QEventLoop>
#include <QPushButton>
#include <QTabBar>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <atomic>
#include <benchmark/benchmark.h>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "ReceivingMonitor.h"
#include "gui/DataPanel.h"
#include "gui/TMainFrm.h"
#include "gui/device/TFrmDeviceChoice.h"

namespace {

using namespace telvar5;
using Clock = std::chrono::steady_clock;

constexpr auto kSettle = std::chrono::milliseconds(1000); // the first ticks run before the span
constexpr auto kSpan = std::chrono::seconds(10);
constexpr auto kPostEvery = std::chrono::milliseconds(5);
constexpr int kTimerProbeMs = 2;
constexpr double kStallMs = 20.0;

double msBetween(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// Sorted samples: the value below which the given share of them lies.
double quantile(const std::vector<double>& sorted, double share)
{
    if (sorted.empty())
        return 0;
    const auto at = static_cast<std::size_t>(share * static_cast<double>(sorted.size() - 1) + 0.5);
    return sorted[std::min(at, sorted.size() - 1)];
}

const QEvent::Type kProbeEventType = static_cast<QEvent::Type>(QEvent::registerEventType());

struct ProbeEvent final : QEvent {
    Clock::time_point postedAt;
    explicit ProbeEvent(Clock::time_point at) : QEvent(kProbeEventType), postedAt(at) {}
};

// Lives on the UI thread; records how long each probe event waited there.
class ProbeReceiver final : public QObject {
public:
    std::vector<double> waitsMs;
    bool recording = false;

    bool event(QEvent* e) override
    {
        if (e->type() != kProbeEventType)
            return QObject::event(e);
        if (recording)
            waitsMs.push_back(msBetween(static_cast<ProbeEvent*>(e)->postedAt, Clock::now()));
        return true;
    }
};

// Posts a probe event to the receiver every kPostEvery from its own thread, on a fixed cadence.
class ProbePoster {
public:
    explicit ProbePoster(ProbeReceiver& receiver)
        : thread_([this, &receiver] {
              auto next = Clock::now();
              while (!stop_.load()) {
                  QCoreApplication::postEvent(&receiver, new ProbeEvent(Clock::now()));
                  posted_.fetch_add(1);
                  next += kPostEvery;
                  std::this_thread::sleep_until(next);
              }
          })
    {
    }
    ~ProbePoster() { finish(); }

    // Stops the posting; returns how many events were posted.
    std::size_t finish()
    {
        stop_.store(true);
        if (thread_.joinable())
            thread_.join();
        return posted_.load();
    }

private:
    std::atomic<bool> stop_{false};
    std::atomic<std::size_t> posted_{0};
    std::thread thread_; // last: starts once the flags above exist
};

void runEventLoopFor(Clock::duration span)
{
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(span).count()),
                       Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

// "Выбор модуля" as the user makes it: the dialog's first line confirmed as soon as it is shown.
void chooseFirstModule(TMainFrm& window)
{
    TFrmDeviceChoice* dialog = window.FrmDeviceChoice();
    QTimer poll;
    const QDeadlineTimer giveUp(5000);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (dialog->isVisible())
            dialog->Button1()->click();
        else if (!giveUp.hasExpired())
            return;
        if (dialog->isVisible())
            dialog->reject();
        poll.stop();
    });
    poll.start(10);
    window.command(Command::ActionDeviceChoice)->trigger();
}

struct SlowModuleWindow {
    std::unique_ptr<VirtualDeviceBus> bus;
    bench::NoPrompts prompts;
    std::unique_ptr<TMainFrm> window;
    std::string error; // empty once every input receives

    SlowModuleWindow(long delayUs, bool deviceThread)
    {
        std::string text = bench::receivingModuleConfig();
        if (delayUs > 0)
            text += "fault 0 slow " + std::to_string(delayUs) + "\n";
        const vdrv::ConfigLoadResult config = vdrv::parseConfigText(text, "/tmp");
        if (!config.errors.empty()) {
            error = "the module's configuration was not taken";
            return;
        }
        bus = std::make_unique<VirtualDeviceBus>(std::make_shared<vdrv::VirtualDriver>(config));
        window = std::make_unique<TMainFrm>(*bus, prompts);
        if (deviceThread)
            window->useDeviceThread();
        window->show();
        const QDeadlineTimer deadline(5000);
        while (!(window->windowHandle() && window->windowHandle()->isExposed()) && !deadline.hasExpired())
            QCoreApplication::processEvents();

        chooseFirstModule(*window);
        window->command(Command::DeviceInitialization)->trigger();
        // As ReceivingMonitor: odd inputs in file reception, even ones by address; the first one shown.
        for (int tab = kChannels - 1; tab >= 0; --tab) {
            window->Panel5()->SI()->setCurrentIndex(tab);
            window->command(tab % 2 ? Command::SIfilePusk : Command::SIaddressPusk)->trigger();
        }
        for (std::size_t ch = 0; ch < kChannels; ++ch)
            if (window->monitor().run().receptionMode[ch] == kReceptionOff)
                error = "input " + std::to_string(ch + 1) + " does not receive";
    }

    ~SlowModuleWindow()
    {
        if (!window)
            return;
        window->close();
        window.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
};

void BM_UiEventLatencySlowModule(benchmark::State& state)
{
    SlowModuleWindow rig(static_cast<long>(state.range(0)), state.range(1) != 0);
    if (!rig.error.empty()) {
        state.SkipWithError(rig.error.c_str());
        for (auto _ : state) {
        }
        return;
    }
    const RunState& run = rig.window->monitor().run();
    runEventLoopFor(kSettle);

    ProbeReceiver receiver;
    std::vector<double> timerLateMs;
    QTimer timerProbe;
    timerProbe.setTimerType(Qt::PreciseTimer);
    timerProbe.setInterval(kTimerProbeMs);
    Clock::time_point lastFired;
    QObject::connect(&timerProbe, &QTimer::timeout, [&] {
        const auto now = Clock::now();
        timerLateMs.push_back(std::max(0.0, msBetween(lastFired, now) - kTimerProbeMs));
        lastFired = now;
    });

    std::uint32_t ticks = 0;
    std::size_t posted = 0;
    for (auto _ : state) {
        const std::uint32_t ticksBefore = run.refreshCounter;
        receiver.recording = true;
        const auto start = Clock::now();
        lastFired = start;
        timerProbe.start();
        ProbePoster poster(receiver);
        runEventLoopFor(kSpan);
        posted = poster.finish();
        timerProbe.stop();
        ticks = run.refreshCounter - ticksBefore;
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        // The events still queued when the span ended have waited too: they are handled and counted.
        const QDeadlineTimer deadline(2000);
        while (receiver.waitsMs.size() < posted && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        receiver.recording = false;
    }

    std::vector<double>& waits = receiver.waitsMs;
    std::sort(waits.begin(), waits.end());
    std::sort(timerLateMs.begin(), timerLateMs.end());
    if (waits.size() < posted)
        state.SkipWithError("some posted events were never handled");
    else if (ticks == 0)
        state.SkipWithError("no refresh tick ran in the span");
    state.counters["worst_ms"] = waits.empty() ? 0 : waits.back();
    state.counters["p99_ms"] = quantile(waits, 0.99);
    state.counters["median_ms"] = quantile(waits, 0.5);
    state.counters["stalls_over_20ms"] =
        static_cast<double>(waits.end() - std::upper_bound(waits.begin(), waits.end(), kStallMs));
    state.counters["events"] = static_cast<double>(waits.size());
    state.counters["timer_late_worst_ms"] = timerLateMs.empty() ? 0 : timerLateMs.back();
    state.counters["timer_late_p99_ms"] = quantile(timerLateMs, 0.99);
    state.counters["ticks"] = ticks;
    state.counters["period_ms"] = run.refreshPeriodMs;
}
BENCHMARK(BM_UiEventLatencySlowModule)
    ->Args({300, 1})
    ->Args({300, 0})
    ->Args({0, 1})
    ->Args({0, 0})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace
