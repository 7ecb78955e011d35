#pragma once
// One tick of the refresh timer: the counter line, the state of the displayed
// channels, and the reads of every receiving input channel.
#include <bitset>
#include <functional>
#include <optional>

#include "core/MonotonicClock.h"
#include "core/RunState.h"
#include "core/analysis/Analysis.h"
#include "core/ScreenState.h"
#include "core/device/ModuleHealth.h"
#include "device/DeviceBus.h"
#include "core/input/ReceptionControl.h"
#include "core/input/TickReads.h"
#include "core/input/TickWorker.h"
#include "core/output/OutputControl.h"
#include "core/stimulus/Stimuli.h"

namespace telvar5 {

// What a tick changed that the window must repaint.
struct TickResult {
    bool inputGridChanged = false;   // the displayed input channel was read
    std::bitset<kInputCells> storedCells; // its cells that took a word in this tick
    std::bitset<kChannels> outputWordsChanged; // output channels (bit k: index k) whose words a stimulus changed
};

// A tick first moves the stimuli (generator, replay) on to the present, then
// reads every cell of every receiving channel, in order. Should the
// driver answer so slowly that the reads would take more than half the refresh
// period, the tick stops there and the next one goes on from that cell.
//
// The window's ticks (startTick) read on the UI thread for a few milliseconds
// at most and hand what is left to the device thread, so that the window
// answers however slow the driver; the words are stored, and the module's
// health told of each read, on the UI thread once the reads are done, in the
// order they went out. Nothing else talks to the driver meanwhile: every
// request of a command first waits for the tick's reads (settle, called by the
// monitor's bus), so a command goes out between ticks, never inside one.
class RefreshCycle {
public:
    // `bus` carries the tick's own state requests and the stimuli's words, as
    // every command's; `driver` is the driver itself, for the reads.
    RefreshCycle(RunState& run, ScreenState& screen, DeviceBus& bus, DeviceBus& driver, OutputControl& output,
                 ReceptionControl& reception, Analysis& analysis, Stimuli& stimuli, const MonotonicClock& clock,
                 ModuleHealth& health);

    // A whole tick on this thread.
    TickResult Timer1Timer();

    // The reads go to `worker` once they have taken kUiReadBudgetUs on this
    // thread; `readsDone` is called on the device thread when they are done,
    // to have the UI thread take the tick (takeFinishedTick). None: every tick
    // reads on this thread.
    void setDeviceThread(TickWorker* worker, std::function<void()> readsDone);
    static constexpr std::int64_t kUiReadBudgetUs = 4000;
    // A tick for the window: its result, or none while its reads go on on the device thread.
    std::optional<TickResult> startTick();
    bool tickInFlight() const { return inFlight_; }
    // Waits for the reads of a tick in flight and completes it; its result waits for takeFinishedTick.
    void settle();
    // The ticks completed off startTick's call (on settling, or once their reads
    // are done) and not taken yet, as one result; none when their reads still go on.
    std::optional<TickResult> takeFinishedTick();

private:
    void beginTick();
    TickResult finishTick();

    RunState& run_;
    ScreenState& screen_;
    DeviceBus& bus_;
    DeviceBus& driver_;
    OutputControl& output_;
    ReceptionControl& reception_;
    Analysis& analysis_;
    Stimuli& stimuli_;
    const MonotonicClock& clock_;
    ModuleHealth& health_; // a tick marks the span the health indicator speaks of
    std::size_t resumeChannel_ = 0; // where a tick cut short goes on
    std::size_t resumeCell_ = 0;
    TickReads reads_;
    TickResult result_;  // of the tick under way
    std::int64_t startUs_ = 0;
    TickWorker* worker_ = nullptr;
    std::function<void()> readsDone_;
    bool inFlight_ = false;
    std::optional<TickResult> finished_;
};

} // namespace telvar5
