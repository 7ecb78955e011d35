#include "core/output/OutputControl.h"

#include <cstdio>

#include "core/output/OutputModes.h"
#include "protocol/Requests.h"

namespace telvar5 {

OutputControl::OutputControl(RunState& run, ScreenState& screen, DeviceBus& bus) : run_(run), screen_(screen), bus_(bus)
{
}

OutputRecord& OutputControl::record() { return run_.outputRecord[run_.curOutputIndex % kChannels]; }

void OutputControl::SOsinglePuskExecute()
{
    // The grid stays editable: a single output locks nothing but the data commands.
    screen_.commands.transmissionStarted();
    const std::size_t ch = run_.curOutputIndex % kChannels;
    run_.outputMode[ch] = kOutputSingle;
    showTypingLock(run_, screen_); // a single start after a cyclic one ends the lock
    OutputRecord& r = record();
    r.channelNo = run_.curOutputNo;
    r.param1 = 1;
    r.param3 = run_.arraySize[ch];
    r.param2 = 0;
    ShortReply reply{};
    sendRequest(bus_, run_.deviceHandle, ReqSOsingleLoad, encodeOutputRecord(r), reply);
    sendRequest(bus_, run_.deviceHandle, ReqSOsinglePusk, singlePuskRecord(r), reply);
}

bool OutputControl::startCyclic()
{
    screen_.commands.transmissionStarted();
    screen_.outputGridColumnsResizable = false;
    const std::size_t ch = run_.curOutputIndex % kChannels;
    run_.outputMode[ch] = kOutputCyclic;
    // No typing into this channel's array until a stop; the bit editor still works.
    showTypingLock(run_, screen_);
    OutputRecord& r = record();
    r.channelNo = run_.curOutputNo;
    r.param1 = run_.arraySize[ch];
    r.param2 = run_.arraySizeCopy[ch];
    r.param3 = 0;
    ShortReply reply{};
    return sendRequest(bus_, run_.deviceHandle, ReqSOciclePusk, encodeOutputRecord(r), reply);
}

void OutputControl::SOstopChannelExecute()
{
    screen_.commands.transmissionStopped();
    screen_.outputGridColumnsResizable = false;
    run_.outputMode[run_.curOutputIndex % kChannels] = kOutputStopped;
    showTypingLock(run_, screen_);
    ShortReply reply{};
    sendRequest(bus_, run_.deviceHandle, ReqSOstopChannel, channelRecord(run_.curOutputNo), reply);
}

void OutputControl::UpdateSOstatus()
{
    ShortReply reply{};
    // A state reply not received counts as "not running".
    const bool running = sendRequest(bus_, run_.deviceHandle, ReqSOstate, channelRecord(run_.curOutputNo), reply)
        && stateReplyRunning(reply);
    const std::string_view mode = outputModeText(running, run_.outputMode[run_.curOutputIndex % kChannels]);
    char line[160];
    std::snprintf(line, sizeof line, "Выходной канал №%d: %.*s; %s", static_cast<int>(run_.curOutputNo),
                  static_cast<int>(mode.size()), mode.data(), run_.soFreqText.c_str());
    screen_.statusBar2[1] = line;
    screen_.commands.outputStateReported(running);
}

void OutputControl::sendWordUpdateIfCyclic()
{
    const std::size_t ch = run_.curOutputIndex % kChannels;
    if (run_.outputMode[ch] != kOutputCyclic)
        return;
    updateWord(ch, run_.wordIndex % kOutputWords);
}

void OutputControl::updateWord(std::size_t ch, std::uint16_t index)
{
    ch %= kChannels;
    index %= kOutputWords;
    ShortReply reply{};
    sendRequest(bus_, run_.deviceHandle, ReqSOwordUpdate,
                wordUpdateRecord(static_cast<std::uint16_t>(ch + 1), index, run_.outputRecord[ch].words[index]), reply);
}

} // namespace telvar5
