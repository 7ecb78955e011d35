#include "core/output/OutputControl.h"

#include <cstdio>

#include "protocol/Requests.h"

namespace telvar5 {

OutputControl::OutputControl(RunState& run, ScreenState& screen, DeviceBus& bus) : run_(run), screen_(screen), bus_(bus)
{
}

void OutputControl::UpdateSOstatus()
{
    ShortReply reply{};
    // A failed state request counts as "not running".
    if (!sendRequest(bus_, run_.deviceHandle, ReqSOstate, channelRecord(run_.curOutputNo), reply))
        reply.fill(0);
    const bool running = stateReplyRunning(reply);
    const char* format = "Выходной канал №%d: выдача остановлена; %s";
    if (running)
        format = run_.outputMode[run_.curOutputIndex % kChannels] == kOutputSingle
            ? "Выходной канал №%d: выдача однократная; %s"
            : "Выходной канал №%d: выдача циклическая; %s";
    char line[160];
    std::snprintf(line, sizeof line, format, static_cast<int>(run_.curOutputNo), run_.soFreqText.c_str());
    screen_.statusBar2[1] = line;
    screen_.commands.outputStateReported(running);
}

} // namespace telvar5
