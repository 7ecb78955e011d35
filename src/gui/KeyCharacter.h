#pragma once
// The character a key press gives, as the grids' key handlers take it: one
// Windows-1251 byte, with the control characters of the editing keys
// (Backspace 8, Enter 13, Ctrl+C 3, Ctrl+V 22). Keys that give no character
// (arrows, Delete, Shift alone) give nothing.
#include <optional>

class QKeyEvent;

namespace telvar5 {

std::optional<char> keyCharacter(const QKeyEvent& event);

} // namespace telvar5
