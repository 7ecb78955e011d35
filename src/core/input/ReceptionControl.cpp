#include "core/input/ReceptionControl.h"
#include "core/input/ReceptionModeText.h"

#include <cstdio>

#include "core/device/BitRates.h"
#include "protocol/Requests.h"
#include "core/formats/ShownLabelFormats.h"

namespace telvar5 {

ReceptionControl::ReceptionControl(RunState& run, ScreenState& screen, DeviceBus& bus, Analysis& analysis,
                                   const MonotonicClock& clock)
    : run_(run), screen_(screen), bus_(bus), analysis_(analysis), clock_(clock)
{
}

void ReceptionControl::start(std::uint16_t mode, std::uint32_t request)
{
    screen_.commands.receptionStarted();
    const std::size_t ch = run_.curInputIndex % kChannels;
    run_.receptionMode[ch] = mode;
    run_.inputBuffer[ch].fill(InputCell{});
    analysis_.receptionStarted(ch, clock_.nowUs());
    ShortReply reply{};
    sendRequest(bus_, run_.deviceHandle, request, receptionStartRecord(run_.curInputNo), reply);
}

void ReceptionControl::SIaddressPuskExecute() { start(kReceptionAddress, ReqSIaddressPusk); }

void ReceptionControl::SIfilePuskExecute() { start(kReceptionFile, ReqSIfilePusk); }

void ReceptionControl::SIstopChannelExecute()
{
    screen_.commands.receptionStopped();
    run_.receptionMode[run_.curInputIndex % kChannels] = kReceptionOff;
    ShortReply reply{};
    sendRequest(bus_, run_.deviceHandle, ReqSIstopChannel, channelRecord(run_.curInputNo), reply);
}

void ReceptionControl::UpdateSIstatus()
{
    ShortReply reply{};
    // A state reply not received counts as "not running".
    const bool running = sendRequest(bus_, run_.deviceHandle, ReqSIstate, channelRecord(run_.curInputNo), reply)
        && stateReplyRunning(reply);
    const std::string_view mode = receptionModeText(running, run_.receptionMode[run_.curInputIndex % kChannels]);
    if (!mode.empty()) {
        char line[160];
        std::snprintf(line, sizeof line, "Входной канал №%d: %.*s; %s", static_cast<int>(run_.curInputNo),
                      static_cast<int>(mode.size()), mode.data(), run_.siFreqText.c_str());
        screen_.statusBar2[0] = line;
    }
    screen_.commands.inputStateReported(running);
}

void ReceptionControl::SIChange(int tabIndex)
{
    if (tabIndex < 0 || tabIndex >= kChannels)
        return;
    run_.curInputIndex = static_cast<std::uint16_t>(tabIndex);
    run_.curInputNo = static_cast<std::uint16_t>(tabIndex + 1);
    char title[96];
    std::snprintf(title, sizeof title, "Буфер входного канала № %d", static_cast<int>(run_.curInputNo));
    screen_.inputTitle = title;
    screen_.titlesTall = true;
    UpdateSIfreqText(run_);
    rebuildShownLabelFormats(run_);
}

} // namespace telvar5
