#include "core/input/RefreshCycle.h"

#include "core/RefreshPeriod.h"
#include "protocol/Requests.h"

namespace telvar5 {

RefreshCycle::RefreshCycle(RunState& run, ScreenState& screen, DeviceBus& bus, OutputControl& output,
                           ReceptionControl& reception)
    : run_(run), screen_(screen), bus_(bus), output_(output), reception_(reception)
{
}

TickResult RefreshCycle::Timer1Timer()
{
    TickResult result;
    ++run_.refreshCounter;
    screen_.statusBar1[1] = refreshLine(run_.refreshPeriodMs, run_.refreshCounter);
    output_.UpdateSOstatus();
    reception_.UpdateSIstatus();
    for (std::size_t ch = 0; ch < kChannels; ++ch) {
        if (run_.receptionMode[ch] == kReceptionOff)
            continue;
        const auto stored = readChannel(ch);
        if (ch == run_.curInputIndex) {
            result.inputGridChanged = true;
            result.storedCells = stored;
        }
    }
    return result;
}

std::bitset<kInputCells> RefreshCycle::readChannel(std::size_t ch)
{
    std::bitset<kInputCells> stored;
    InputChannelBuffer& cells = run_.inputBuffer[ch];
    const auto channelNo = static_cast<std::uint16_t>(ch + 1);
    ReadWordReply reply{};
    for (std::uint16_t j = 0; j < kInputCells; ++j) {
        // A failed read counts as an empty reply: the cell keeps its word and cycle number.
        if (!sendRequest(bus_, run_.deviceHandle, ReqSIreadWord, readWordRecord(channelNo, j), reply))
            continue;
        const std::uint32_t word = readWordReplyWord(reply);
        if (word >= 0x10000u) {
            cells[j] = {word, run_.refreshCounter};
            stored.set(j);
        }
    }
    return stored;
}

} // namespace telvar5
