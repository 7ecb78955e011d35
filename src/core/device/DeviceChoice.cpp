#include "core/device/DeviceChoice.h"

#include <algorithm>
#include <cstdio>

#include "core/output/OutputModes.h"
#include "device/ModuleSearch.h"
#include "protocol/Requests.h"

namespace telvar5 {

DeviceChoice::DeviceChoice(RunState& run, ScreenState& screen, DeviceBus& bus, UserPrompts& prompts,
                           const ModuleHealth& health)
    : run_(run), screen_(screen), bus_(bus), prompts_(prompts), health_(health)
{
}

void DeviceChoice::search()
{
    const ModuleTable previous = run_.modules;
    for (std::size_t i = 0; i < previous.count; ++i) {
        const DeviceHandle handle = previous.entries[i].handle;
        if (handle == run_.deviceHandle)
            retiredHandle_ = handle;
        else
            bus_.closeDevice(handle);
    }
    run_.modules = searchModules(bus_);
    failuresAtSearch_ = health_.failedRequests();
    ++searches_;
    lines_.clear();
    selected_ = 0;
    for (std::size_t i = 0; i < run_.modules.count; ++i) {
        const ModuleEntry& entry = run_.modules.entries[i];
        lines_.push_back(deviceListLine(entry));
        // A search after a choice shows the chosen module's line.
        if (run_.deviceChosen && entry.serialNumber == run_.deviceSerialNo
            && entry.enumerationIndex == run_.deviceIndex)
            selected_ = static_cast<int>(i);
    }
    if (lines_.empty())
        lines_.emplace_back(kNoModulesLine);
    savedItemIndex_ = selected_;
}

bool DeviceChoice::searchDue() const
{
    return health_.state() == HealthState::NotAnswering || health_.failedRequests() != failuresAtSearch_;
}

void DeviceChoice::selectLine(int line)
{
    if (line >= 0 && line < static_cast<int>(lines_.size()))
        selected_ = line;
}

void DeviceChoice::FormShow() { savedItemIndex_ = selected_; }

bool DeviceChoice::Button1Click()
{
    // "Применить" is disabled without modules; refuse here as well rather than read an empty table.
    if (!applyEnabled())
        return false;
    if (!prompts_.askYesNo(kResetWarningTitle, kResetWarningText))
        return false;
    if (!confirm()) {
        const ModuleEntry tried = run_.modules.entries[static_cast<std::size_t>(selected_)];
        search();
        reportFailedChoice(tried);
        return false;
    }
    savedItemIndex_ = selected_;
    return true;
}

void DeviceChoice::FormClose() { selected_ = savedItemIndex_; }

bool DeviceChoice::confirm()
{
    selected_ = std::clamp(selected_, 0, static_cast<int>(run_.modules.count) - 1);
    const ModuleEntry& entry = run_.modules.entries[static_cast<std::size_t>(selected_)];

    // The reset of the module. Without its reply there are no channel counts to
    // take, and the run keeps the module it had.
    ShortReply reply{};
    if (!sendRequest(bus_, entry.handle, ReqDeviceChoice, NoRecord{}, reply))
        return false;
    if (retiredHandle_ != kNoDevice && retiredHandle_ != entry.handle)
        bus_.closeDevice(retiredHandle_);
    retiredHandle_ = kNoDevice;
    run_.deviceHandle = entry.handle;
    run_.deviceSerialNo = entry.serialNumber;
    run_.deviceIndex = entry.enumerationIndex;
    const std::uint16_t configWord = shortReplyValue(reply);
    run_.siChannelCount = inputChannelsOf(configWord);
    run_.soChannelCount = outputChannelsOf(configWord);
    // Before the first choice no array was shown, so none can be lost.
    const bool arraysShownBefore = run_.deviceChosen;
    run_.deviceChosen = true;

    run_.freqCodes.fill(0);
    for (int k = 0; k < kChannels; ++k) {
        auto& words = run_.outputRecord[k].words;
        // Zeroing loses what an array held: it no longer matches its file.
        const bool lost = run_.arraySize[k] != 256
            || std::any_of(words.begin(), words.end(), [](std::uint32_t w) { return w != 0; });
        if (arraysShownBefore && lost)
            run_.arrayChanged[k] = true;
        run_.arraySize[k] = 256;
        run_.arraySizeCopy[k] = 256;
        words.fill(0);
    }
    // The module is reset: no output runs on it any more.
    endCyclicOutput(run_, screen_);
    run_.curInputIndex = 0;
    run_.curOutputIndex = 0;
    run_.openMethod = 0;
    return true;
}

void DeviceChoice::reportFailedChoice(const ModuleEntry& entry)
{
    char module[96];
    std::snprintf(module, sizeof module, "серийный № %d, порядковый № %d", static_cast<int>(entry.serialNumber),
                  static_cast<int>(entry.enumerationIndex));
    std::string text = "Модуль (" + std::string(module) + ") не выбран: " + health_.lastError() + ".\n";
    text += run_.deviceChosen ? "Выбранным остается прежний модуль, его настройки не изменены.\n"
                              : "Модуль по-прежнему не выбран.\n";
    text += !applyEnabled()
        ? "Модули искали заново и не нашли: проверьте модуль и его драйвер."
        : "Модули найдены заново: выберите модуль в списке еще раз или нажмите «Отмена».";
    prompts_.showError(kChoiceFailedTitle, text);
}

void DeviceChoice::beforeDialog()
{
    screen_.commands.setShown(Panel::Panel9, false);
    if (searchDue())
        search();
}


namespace {
// Channels 1 and 2 always have tabs. Modules report 2, 4 or 8; a module with
// another count shows exactly the channels it has (a count above 8 shows all 8),
// which is what a user of such a module expects to see.
void showChannels(std::array<bool, 8>& shown, std::uint32_t count)
{
    const std::uint32_t visible = std::clamp<std::uint32_t>(count, 2, 8);
    for (std::uint32_t n = 0; n < 8; ++n)
        shown[n] = n < visible;
}
} // namespace

void DeviceChoice::afterDialog()
{
    if (!run_.deviceChosen)
        return;
    char line[96];
    std::snprintf(line, sizeof line, "TELVAR-5: серийный № %d; порядковый № %d", static_cast<int>(run_.deviceSerialNo),
                  static_cast<int>(run_.deviceIndex));
    screen_.statusBar1[0] = line;
    screen_.commands.moduleChosen();
    // The bit-rate lists always show freqCodes: after a confirmed choice these are
    // all 0 (item 0); after a cancel they keep the codes the next initialisation sends.
    showChannels(screen_.siChannelShown, run_.siChannelCount);
    showChannels(screen_.soChannelShown, run_.soChannelCount);
}

} // namespace telvar5
