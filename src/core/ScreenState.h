#pragma once
// What the main window shows besides the grids: command states, status bar
// texts, titles, which channels have tabs, and whether the refresh timer runs.
// The core writes it; the main window copies it onto its widgets. Texts are UTF-8.
#include <array>
#include <cstdint>
#include <string>

#include "core/CommandStates.h"

namespace telvar5 {

struct ScreenState {
    CommandStates commands;
    std::array<std::string, 2> statusBar1{"Устройство", "   "}; // XPStatusBar1: module line, refresh line
    std::array<std::string, 2> statusBar2{"  ", "  "};         // XPStatusBar2: input line, output line
    std::string inputTitle = "Буфер входного канала № 1 ";        // StaticText3
    std::string outputTitle = "Массив выходных параметров канала №1"; // StaticText4
    bool titlesTall = false;                                   // 48 pixels once a module was initialised
    std::array<bool, 8> siChannelShown{true, true, true, true, true, true, true, true};
    std::array<bool, 8> soChannelShown{true, true, true, true, true, true, true, true};
    bool timerActive = false;

    // DrawGrid1's options: no typing while the shown channel's cyclic output is
    // started (until its stop, or the module's stop, initialisation or choice);
    // columns resizable until the first start.
    bool outputGridEditable = true;
    bool outputGridColumnsResizable = true;
    // Transmission time of the displayed output array at its channel's rate,
    // "%5.1f мс (%3d слов ПК)", and the time of one word there.
    std::string soTimeText;
    std::int32_t soWordTimeUs = 2880;
};

} // namespace telvar5
