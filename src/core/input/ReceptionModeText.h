#pragma once
// The words that name an input channel's reception, as its status line and the
// module overview write them.
#include <cstdint>
#include <string_view>

#include "core/RunState.h"

namespace telvar5 {

// "прием остановлен" unless running; else by the mode the reception was started in
// (empty for a running channel started in no mode the program knows).
constexpr std::string_view receptionModeText(bool running, std::uint16_t mode)
{
    if (!running)
        return "прием остановлен";
    if (mode == kReceptionAddress)
        return "прием адресный";
    if (mode == kReceptionFile)
        return "прием файловый";
    return {};
}

} // namespace telvar5
