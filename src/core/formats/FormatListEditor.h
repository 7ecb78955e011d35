#pragma once
// The rules of the decimal formats editor TFrmFormatList: one grid row per
// record of formatTable, edited in place (row r is record r - 1), "+" and "-",
// the bit-29 drop-down over column 1, and the closing that compacts the table
// and rewrites the formats settings file. There is no cancel: every accepted
// edit goes straight into the table. The form only reports and draws.
#include <optional>
#include <string_view>

#include "core/RunState.h"
#include "core/UserPrompts.h"
#include "formats/CellText.h"

namespace telvar5 {

class FormatListEditor {
public:
    static constexpr int kColumns = 6;
    static constexpr int kMaxRows = 257; // the title row and 256 records
    enum Column : int { Tag, Bit29, MsbBit, LsbBit, MsbWeight, Units };

    FormatListEditor(RunState& run, UserPrompts& prompts);

    // The grid's row count, title row included.
    int rowCount() const { return rows_; }

    // Each showing: formatCount + 1 rows, 2 when the table is empty.
    void FormShow();
    // Compacts the table, rebuilds the displayed input channel's per-label
    // formats, so the input grid shows them at once, and rewrites the formats
    // settings file. A file that cannot be written is left as it was, and the
    // user is told once.
    void FormClose();
    // "+": one more row at the end, up to 256 data rows; true when added.
    bool btAddClick();
    // "-": the current row's record loses its tag, then the table is compacted.
    void btDeleteClick(int currentRow);

    // Every character typed into the grid or its editor, before the editor takes it.
    void DrawGrid1KeyPress(char key);
    // The editor's whole text (Windows-1251) after each change; a refusal
    // beeps. True when the row's record changed (repaint the row).
    bool DrawGrid1SetEditText(int column, int row, std::string_view text);
    // A mouse press over (column, row), -1 outside the cells. When it falls on
    // column 1 the drop-down shows over that cell with the returned item
    // selected (0 "знак", 1 "данные"); otherwise it hides (nullopt). Over the
    // title cell it shows the current row's choice, which it also changes.
    std::optional<int> DrawGrid1MouseDown(int column, int row, int currentRow);
    // An item chosen in the drop-down: the current row's bit 29 follows it.
    // True when the record changed.
    bool ComboBox1Change(int currentRow, int item);

    // The text of a data cell of record `record`, in Windows-1251, as drawn.
    static void cellText(const DecimalFormat& record, int column, CellText& out);

private:
    DecimalFormat* recordOfRow(int row);
    bool setBitNumber(DecimalFormat& record, int column, std::string_view text);

    RunState& run_;
    UserPrompts& prompts_;
    int rows_ = 2;
    char lastKey_ = 0;
};

} // namespace telvar5
