#pragma once
// The text of one data cell of the input buffer grid, so the grid model only
// calls this. Columns: 0 cell number, 1 address, 2 code hex, 3 code octal,
// 4 SSM, 5 decimal value, 6 code base 2, 7 cycle number.
#include <cstdint>
#include <string_view>

#include "formats/CellText.h"
#include "formats/FormatTables.h"

namespace telvar5 {

inline constexpr int kInputGridColumns = 8;

// cellIndex is the buffer cell (0..255) shown in the row. Columns outside 0..7 give "".
std::string_view inputGridCellText(int column, int cellIndex, std::uint32_t word, std::uint32_t cycleNo,
                                   const LabelFormatTable& labelFormats, CellText& out);

} // namespace telvar5
