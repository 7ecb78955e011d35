#pragma once
// The rules of the parameter formats editor TFrmParamFormat: the parameter
// format table edited in place on the left (DrawGrid2, row r is record r - 1),
// the decimal formats read-only on the right (DrawGrid1), a double click that
// copies a format's tag into the current parameter row, "+" and "-", and the
// parameter formats files. The form only reports and draws.
#include <string>
#include <string_view>

#include "core/RunState.h"
#include "core/UserPrompts.h"
#include "formats/CellText.h"

namespace telvar5 {

inline constexpr const char* kParamFormatsFilter = "Файлы форматов входных параметров(*.si)|*.si|*.*|*.*";

class ParamFormatEditor {
public:
    static constexpr int kParamColumns = 3;
    static constexpr int kMaxRows = 257;
    enum ParamColumn : int { Label, Channel, FormatTag };

    ParamFormatEditor(RunState& run, UserPrompts& prompts);

    int paramRowCount() const { return paramRows_; }   // DrawGrid2, title row included
    int formatRowCount() const { return formatRows_; } // DrawGrid1, title row included

    void FormShow();
    // Compacts the parameter table; then the displayed input channel's
    // per-label formats are rebuilt, so the input grid shows them at once.
    void FormClose();
    bool btAddClick();
    void btDeleteClick(int currentRow);

    void DrawGrid2KeyPress(char key);
    // The editor's whole text (Windows-1251) after each change. Column 0 takes
    // the label in octal, column 1 the channel; column 2 takes nothing (the tag
    // comes from a double click). A refusal beeps. True when the record changed.
    bool DrawGrid2SetEditText(int column, int row, std::string_view text);
    // A mouse press in the decimal formats grid over (column, row), -1 outside.
    void DrawGrid1MouseDown(int column, int row);
    // A double click in the decimal formats grid: the tag of its current row
    // goes into the current parameter row, unless the last press was outside
    // every cell. True when a tag was copied (repaint the parameter row).
    bool DrawGrid1DblClick(int formatCurrentRow, int paramCurrentRow);

    // "Восстановить": the open dialog, then FileOpen1Accept. True when the table changed.
    bool FileOpen1Execute();
    // "Сохранить": the save dialog, then FileSaveAs1Accept.
    void FileSaveAs1Execute();
    // Restores the table from a file (path in UTF-8); a file that cannot be
    // opened changes nothing. At most 256 records are read.
    bool FileOpen1Accept(const std::string& path);
    // Compacts, then writes the table; a failed save leaves an old file as it
    // was and tells the user. Returns whether the file was written.
    bool FileSaveAs1Accept(const std::string& path);

    // Texts of the parameter grid's data cells, in Windows-1251.
    static void paramCellText(const ParamFormatEntry& record, int column, CellText& out);
    // Whether a decimal format has the record's tag (black), or none has (red).
    bool tagKnown(const ParamFormatEntry& record) const;

private:
    ParamFormatEntry* recordOfRow(int row);

    RunState& run_;
    UserPrompts& prompts_;
    int paramRows_ = 2;
    int formatRows_ = 2;
    char lastKey_ = 0;
    bool lastPressInCell_ = false;
};

} // namespace telvar5
