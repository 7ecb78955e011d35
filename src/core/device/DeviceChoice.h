#pragma once
// Finding the installed modules and choosing one: the logic behind the device
// choice dialog and the main window's ActionDeviceChoice.
#include <string>
#include <vector>

#include "core/RunState.h"
#include "core/ScreenState.h"
#include "core/UserPrompts.h"
#include "core/device/ModuleHealth.h"
#include "device/DeviceBus.h"

namespace telvar5 {

inline constexpr const char* kNoModulesLine = "модули не обнаружены";
inline constexpr const char* kResetWarningTitle = "ВНИМАНИЕ!";
inline constexpr const char* kResetWarningText = "При выборе устройства происходит его сброс. Продолжить?";
inline constexpr const char* kChoiceFailedTitle = "Выбор устройства";

class DeviceChoice {
public:
    // health: what the requests on bus showed (the bus reports to it).
    DeviceChoice(RunState& run, ScreenState& screen, DeviceBus& bus, UserPrompts& prompts,
                 const ModuleHealth& health);

    // The search for modules: once when the dialog is created, and again when
    // the list may hold handles that no longer reach their module. The handles
    // of the previous search are closed, but for the chosen module's, which
    // stays in use until another choice goes through.
    void search();
    // Whether the list may hold dead handles: the chosen module does not
    // answer, or a request has failed since the last search.
    bool searchDue() const;
    // How many searches have run: the dialog refills its list when it changes.
    std::uint64_t searchCount() const { return searches_; }
    const std::vector<std::string>& listLines() const { return lines_; }
    bool applyEnabled() const { return run_.modules.count != 0; }
    int selectedLine() const { return selected_; }
    void selectLine(int line);

    // Dialog events.
    void FormShow(); // remembers the selected line
    // Asks, and on Yes resets the selected module; true when the dialog closes.
    // A module that does not answer the reset is not taken: the run keeps its
    // module and settings, the user is told, and the modules are searched
    // again, so the dialog stays open over a fresh list.
    bool Button1Click();
    void FormClose(); // forgets a selection that was not confirmed

    // ActionDeviceChoice, around the modal dialog. Before it opens, the
    // modules are searched again when a search is due.
    void beforeDialog();
    void afterDialog();

private:
    bool confirm();
    void reportFailedChoice(const ModuleEntry& entry);

    RunState& run_;
    ScreenState& screen_;
    DeviceBus& bus_;
    UserPrompts& prompts_;
    const ModuleHealth& health_;
    std::vector<std::string> lines_;
    int selected_ = 0;
    int savedItemIndex_ = 0;
    std::uint64_t searches_ = 0;
    std::uint64_t failuresAtSearch_ = 0;
    // The chosen module's handle once a later search has left it out of the
    // list; closed when another choice goes through.
    DeviceHandle retiredHandle_ = kNoDevice;
};

} // namespace telvar5
