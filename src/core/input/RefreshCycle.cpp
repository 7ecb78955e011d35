#include "core/input/RefreshCycle.h"

#include <limits>

#include "core/RefreshPeriod.h"
#include "protocol/Requests.h"

namespace telvar5 {

namespace {
constexpr std::int64_t kNoPause = std::numeric_limits<std::int64_t>::max();

// Ticks completed before the window took them show together: what any of them changed.
void keepFinished(std::optional<TickResult>& kept, const TickResult& tick)
{
    if (!kept) {
        kept = tick;
        return;
    }
    kept->inputGridChanged = kept->inputGridChanged || tick.inputGridChanged;
    kept->storedCells |= tick.storedCells;
    kept->outputWordsChanged |= tick.outputWordsChanged;
}
} // namespace

RefreshCycle::RefreshCycle(RunState& run, ScreenState& screen, DeviceBus& bus, DeviceBus& driver,
                           OutputControl& output, ReceptionControl& reception, Analysis& analysis, Stimuli& stimuli,
                           const MonotonicClock& clock, ModuleHealth& health)
    : run_(run), screen_(screen), bus_(bus), driver_(driver), output_(output), reception_(reception),
      analysis_(analysis), stimuli_(stimuli), clock_(clock), health_(health)
{
}

void RefreshCycle::setDeviceThread(TickWorker* worker, std::function<void()> readsDone)
{
    settle();
    worker_ = worker;
    readsDone_ = std::move(readsDone);
}

TickResult RefreshCycle::Timer1Timer()
{
    settle();
    beginTick();
    reads_.readOn(driver_, clock_, kNoPause);
    return finishTick();
}

std::optional<TickResult> RefreshCycle::startTick()
{
    settle();
    beginTick();
    if (!worker_ || reads_.readOn(driver_, clock_, startUs_ + kUiReadBudgetUs))
        return finishTick();
    inFlight_ = true;
    worker_->run([this] { reads_.readOn(driver_, clock_, kNoPause); }, readsDone_);
    return std::nullopt;
}

void RefreshCycle::settle()
{
    if (!inFlight_)
        return;
    worker_->wait();
    inFlight_ = false;
    keepFinished(finished_, finishTick());
}

std::optional<TickResult> RefreshCycle::takeFinishedTick()
{
    // Never waits: a later tick's reads may have started since the one that called.
    if (inFlight_ && !worker_->busy())
        settle();
    std::optional<TickResult> taken = finished_;
    finished_.reset();
    return taken;
}

void RefreshCycle::beginTick()
{
    // Every request of the tick, the stimuli's included, counts for the health of this tick.
    health_.tickStarted();
    result_ = {};
    startUs_ = clock_.nowUs();
    const std::int64_t halfPeriodUs = startUs_ + std::int64_t{run_.refreshPeriodMs} * 1000 / 2;
    result_.outputWordsChanged = stimuli_.tick(startUs_);
    ++run_.refreshCounter;
    screen_.statusBar1[1] = refreshLine(run_.refreshPeriodMs, run_.refreshCounter);
    output_.UpdateSOstatus();
    reception_.UpdateSIstatus();
    std::bitset<kChannels> receiving;
    for (std::size_t ch = 0; ch < kChannels; ++ch)
        receiving[ch] = run_.receptionMode[ch] != kReceptionOff;
    reads_.start(run_.deviceHandle, receiving, resumeChannel_, resumeCell_, halfPeriodUs);
}

TickResult RefreshCycle::finishTick()
{
    const std::vector<ReadOutcome>& outcomes = reads_.outcomes();
    for (const TickReads::ChannelRun& channelRun : reads_.runs()) {
        const std::size_t ch = channelRun.channel;
        InputChannelBuffer& cells = run_.inputBuffer[ch];
        std::bitset<kInputCells> stored;
        for (std::size_t i = 0; i < channelRun.count; ++i) {
            const ReadOutcome& o = outcomes[channelRun.firstOutcome + i];
            health_.requestDone(ReqSIreadWord, o.completed, o.bytesReturned,
                                static_cast<std::uint32_t>(kReadWordReplySize), o.systemError);
            // A reply not received (failed, or too short to hold the word) leaves the cell as it was.
            if (!o.received || o.word < 0x10000u)
                continue;
            const std::size_t j = channelRun.firstCell + i;
            cells[j] = {o.word, run_.refreshCounter};
            stored.set(j);
            analysis_.wordStored(ch, j, o.word, run_.refreshCounter, channelRun.readUs);
        }
        if (ch == run_.curInputIndex) {
            result_.inputGridChanged = true;
            result_.storedCells = stored;
        }
    }
    // A tick cut short at half the period: the next goes on from there.
    const bool cut = reads_.stopChannel() < kChannels;
    resumeChannel_ = cut ? reads_.stopChannel() : 0;
    resumeCell_ = cut ? reads_.stopCell() : 0;
    analysis_.tickDone();
    health_.tickEnded();
    return result_;
}

} // namespace telvar5
