#include "core/device/DeviceLifecycle.h"

#include "core/RefreshPeriod.h"
#include "core/device/BitRates.h"
#include "core/output/OutputModes.h"
#include "core/output/TransmitTime.h"
#include "protocol/Requests.h"
#include "core/formats/ShownLabelFormats.h"

namespace telvar5 {

DeviceLifecycle::DeviceLifecycle(RunState& run, ScreenState& screen, DeviceBus& bus, UserPrompts& prompts,
                                 const ModuleHealth& health, Analysis& analysis, const MonotonicClock& clock)
    : run_(run), screen_(screen), bus_(bus), prompts_(prompts), health_(health), analysis_(analysis), clock_(clock)
{
}

void DeviceLifecycle::DeviceInitializationExecute()
{
    // Only a chosen module can be initialised; the commands are disabled otherwise.
    if (run_.deviceHandle == kNoDevice)
        return;
    // The request goes first: what the window and the run hold changes only
    // once the module has taken the codes.
    ShortReply reply{};
    if (!sendRequest(bus_, run_.deviceHandle, ReqDeviceInitialization, run_.freqCodes, reply)) {
        prompts_.showError(kInitialisationFailedTitle,
                           "Модуль не инициализирован: " + health_.lastError() +
                               ".\nВсе осталось как было. Выберите модуль снова («Устройство» → «выбор»:\n"
                               "модули будут найдены заново) и инициализируйте его.");
        return;
    }
    screen_.commands.initialised();
    screen_.inputTitle = "Буфер входного канала № 1";
    screen_.outputTitle = "Массив выходных параметров канала № 1";
    screen_.titlesTall = true;
    run_.curInputIndex = 0;
    run_.curOutputIndex = 0;
    run_.curInputNo = 1;
    run_.curOutputNo = 1;
    // Initialisation stops the module's output; typing follows channel 1.
    endCyclicOutput(run_, screen_);
    for (InputChannelBuffer& channel : run_.inputBuffer)
        channel.fill(InputCell{});
    // The labels of the last run go with its words.
    analysis_.moduleInitialised(clock_.nowUs());

    UpdateSIfreqText(run_);
    UpdateSOfreqText(run_);
    UpdateSOtimeText(run_, screen_);
    rebuildShownLabelFormats(run_);
    run_.refreshCounter = 0;
    screen_.timerActive = true;
    screen_.statusBar1[1] = refreshLineAtStart(run_.refreshPeriodMs);
}

void DeviceLifecycle::DeviceResetExecute()
{
    screen_.timerActive = false;
    screen_.commands.stopped();
    NoRecord none{};
    sendRequest(bus_, run_.deviceHandle, ReqDeviceReset, NoRecord{}, none);
    endCyclicOutput(run_, screen_);
    screen_.statusBar1[1].clear();
    screen_.statusBar2[0].clear();
    screen_.statusBar2[1].clear();
}

void DeviceLifecycle::FormClose()
{
    if (run_.deviceHandle == kNoDevice)
        return;
    NoRecord none{};
    sendRequest(bus_, run_.deviceHandle, ReqDeviceReset, NoRecord{}, none);
}

} // namespace telvar5
