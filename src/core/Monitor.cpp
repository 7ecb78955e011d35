#include "core/Monitor.h"

#include <algorithm>

#include "core/RefreshPeriod.h"
#include "formats/FormatSettingsFile.h"

namespace telvar5 {

Monitor::Monitor(DeviceBus& bus, UserPrompts& prompts, const MonotonicClock& clock)
    : watchedBus_(bus, health_),
      settlingBus_(watchedBus_),
      prompts_(prompts),
      clock_(clock),
      deviceChoice_(run_, screen_, settlingBus_, prompts_, health_),
      lifecycle_(run_, screen_, settlingBus_, prompts_, health_, analysis_, clock_),
      reception_(run_, screen_, settlingBus_, analysis_, clock_),
      output_(run_, screen_, settlingBus_),
      outputArrays_(run_, screen_, prompts_),
      outputGrid_(run_, screen_, prompts_, output_),
      bitEditor_(run_),
      formatList_(run_, prompts_),
      paramFormats_(run_, prompts_),
      stimuli_(run_, outputArrays_, output_),
      refresh_(run_, screen_, settlingBus_, bus, output_, reception_, analysis_, stimuli_, clock_, health_),
      capture_(run_, analysis_, prompts_, clock_)
{
    run_.deviceChosen = false;
    run_.formats.formatCount = 0;
    run_.formats.paramFormatCount = 0;
    loadFormatSettings(run_.formats);
    run_.refreshPeriodMs = kDefaultRefreshPeriodMs;
    settlingBus_.setSettle([this] { refresh_.settle(); });
}

void Monitor::setRefreshPeriod(std::int32_t periodMs)
{
    run_.refreshPeriodMs = std::clamp(periodMs, kMinRefreshPeriodMs, kMaxRefreshPeriodMs);
    // While the refresh line is shown (the module initialised), it tells the
    // new period at once rather than at the next tick, in the shape it has.
    if (screen_.timerActive)
        screen_.statusBar1[1] = run_.refreshCounter == 0 ? refreshLineAtStart(run_.refreshPeriodMs)
                                                         : refreshLine(run_.refreshPeriodMs, run_.refreshCounter);
}

} // namespace telvar5
