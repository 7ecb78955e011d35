#pragma once
// The rules of the output grid DrawGrid1: typed text judged on every change
// by the last key, and the right click that opens the bit editor. The grid's
// form only reports keys, texts and clicks, and repaints what these say.
#include <string_view>

#include "core/RunState.h"
#include "core/ScreenState.h"
#include "core/UserPrompts.h"
#include "core/output/OutputControl.h"

namespace telvar5 {

enum class MouseButton : std::uint8_t { Left, Right, Middle };

class OutputGrid {
public:
    OutputGrid(RunState& run, const ScreenState& screen, UserPrompts& prompts, OutputControl& output);

    // Every character key that reaches the grid or its cell editor, before the editor takes it.
    void DrawGrid1KeyPress(char key);
    // The cell editor's whole text after a change, in Windows-1251. Column 1
    // is the address (octal), column 2 the code (hexadecimal); row r edits
    // word r - 1 of the displayed channel. A refusal beeps and leaves the
    // word. True when the word was written (the row must be repainted).
    bool DrawGrid1SetEditText(int column, int row, std::string_view text);
    // A mouse press over cell (column, row) of the grid, -1 where there is no
    // cell. True when the bit editor must open: wordIndex then names the word.
    // The title row and rows beyond the array name no word and do nothing.
    bool DrawGrid1MouseDown(MouseButton button, int column, int row);
    // The bit editor opened by DrawGrid1MouseDown has closed, however it closed.
    void bitEditorClosed();

private:
    bool wordRow(int row) const;

    RunState& run_;
    const ScreenState& screen_;
    UserPrompts& prompts_;
    OutputControl& output_;
};

} // namespace telvar5
