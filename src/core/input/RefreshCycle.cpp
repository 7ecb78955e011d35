#include "core/input/RefreshCycle.h"

#include "core/RefreshPeriod.h"
#include "protocol/Requests.h"

namespace telvar5 {

namespace {
constexpr std::size_t kCellsBetweenClockReads = 32;
} // namespace

RefreshCycle::RefreshCycle(RunState& run, ScreenState& screen, DeviceBus& bus, OutputControl& output,
                           ReceptionControl& reception, Analysis& analysis, Stimuli& stimuli,
                           const MonotonicClock& clock, ModuleHealth& health)
    : run_(run), screen_(screen), bus_(bus), output_(output), reception_(reception), analysis_(analysis),
      stimuli_(stimuli), clock_(clock), health_(health)
{
}

TickResult RefreshCycle::Timer1Timer()
{
    // Every request of the tick, the stimuli's included, counts for the health of this tick.
    struct TickSpan {
        ModuleHealth& health;
        explicit TickSpan(ModuleHealth& h) : health(h) { health.tickStarted(); }
        ~TickSpan() { health.tickEnded(); }
    } span(health_);
    TickResult result;
    const std::int64_t startUs = clock_.nowUs();
    const std::int64_t deadlineUs = startUs + std::int64_t{run_.refreshPeriodMs} * 1000 / 2;
    readsThisTick_ = 0;
    result.outputWordsChanged = stimuli_.tick(startUs);
    ++run_.refreshCounter;
    screen_.statusBar1[1] = refreshLine(run_.refreshPeriodMs, run_.refreshCounter);
    output_.UpdateSOstatus();
    reception_.UpdateSIstatus();
    for (std::size_t ch = resumeChannel_; ch < kChannels; ++ch) {
        const std::size_t first = ch == resumeChannel_ ? resumeCell_ : 0;
        if (run_.receptionMode[ch] == kReceptionOff)
            continue;
        std::size_t stoppedAt = kInputCells;
        const auto stored = readChannel(ch, first, deadlineUs, stoppedAt);
        if (ch == run_.curInputIndex) {
            result.inputGridChanged = true;
            result.storedCells = stored;
        }
        if (stoppedAt < kInputCells) {
            resumeChannel_ = ch;
            resumeCell_ = stoppedAt;
            analysis_.tickDone();
            return result;
        }
    }
    resumeChannel_ = 0;
    resumeCell_ = 0;
    analysis_.tickDone();
    return result;
}

std::bitset<kInputCells> RefreshCycle::readChannel(std::size_t ch, std::size_t first, std::int64_t deadlineUs,
                                                   std::size_t& stoppedAt)
{
    std::bitset<kInputCells> stored;
    InputChannelBuffer& cells = run_.inputBuffer[ch];
    const auto channelNo = static_cast<std::uint16_t>(ch + 1);
    ReadWordReply reply{};
    // The words of one channel's read carry one time: the read takes a small part of a tick.
    const std::int64_t readUs = clock_.nowUs();
    for (std::size_t cell = first; cell < kInputCells; ++cell) {
        // Every tick reads at least a few cells, so even the slowest driver is read through in the end.
        if (readsThisTick_ > 0 && readsThisTick_ % kCellsBetweenClockReads == 0 && clock_.nowUs() > deadlineUs) {
            stoppedAt = cell;
            return stored;
        }
        ++readsThisTick_;
        const auto j = static_cast<std::uint16_t>(cell);
        // A reply not received (failed, or too short to hold the word) leaves the cell as it was.
        if (!sendRequest(bus_, run_.deviceHandle, ReqSIreadWord, readWordRecord(channelNo, j), reply))
            continue;
        const std::uint32_t word = readWordReplyWord(reply);
        if (word >= 0x10000u) {
            cells[j] = {word, run_.refreshCounter};
            stored.set(j);
            analysis_.wordStored(ch, j, word, run_.refreshCounter, readUs);
        }
    }
    return stored;
}

} // namespace telvar5
