#pragma once
// Finding the installed modules and choosing one: the logic behind the device
// choice dialog and the main window's ActionDeviceChoice.
#include <string>
#include <vector>

#include "core/RunState.h"
#include "core/ScreenState.h"
#include "core/UserPrompts.h"
#include "device/DeviceBus.h"

namespace telvar5 {

inline constexpr const char* kNoModulesLine = "модули не обнаружены";
inline constexpr const char* kResetWarningTitle = "ВНИМАНИЕ!";
inline constexpr const char* kResetWarningText = "При выборе устройства происходит его сброс. Продолжить?";

class DeviceChoice {
public:
    DeviceChoice(RunState& run, ScreenState& screen, DeviceBus& bus, UserPrompts& prompts);

    // Creating the dialog: the one search of the run.
    void search();
    const std::vector<std::string>& listLines() const { return lines_; }
    bool applyEnabled() const { return run_.modules.count != 0; }
    int selectedLine() const { return selected_; }
    void selectLine(int line);

    // Dialog events.
    void FormShow();     // remembers the selected line
    bool Button1Click(); // asks, and on Yes confirms the selected module; true when the dialog closes
    void FormClose();    // forgets a selection that was not confirmed

    // ActionDeviceChoice, around the modal dialog.
    void beforeDialog();
    void afterDialog();

private:
    void confirm();

    RunState& run_;
    ScreenState& screen_;
    DeviceBus& bus_;
    UserPrompts& prompts_;
    std::vector<std::string> lines_;
    int selected_ = 0;
    int savedItemIndex_ = 0;
};

} // namespace telvar5
