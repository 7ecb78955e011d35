#pragma once
// Columns as wide as what they show: each column of a table view gets the
// width of its title (in the header's font) or of the widest text it is to
// hold (in the grid's font), whichever is wider, each with room beside it.
// A title wider than its texts breaks at a space into two lines where that
// keeps the column narrower; the title row then is two lines tall.
#include <span>

class QTableView;

namespace telvar5 {

struct ColumnRoom {
    int title; // beside a title: margins, a sort arrow
    int text;  // beside a text: margins, a drop-down's arrow
};

// widestTexts (UTF-8) one per column, from column 0 on; returns the widths' sum.
int fitColumnsToTexts(QTableView& grid, std::span<const char* const> widestTexts, ColumnRoom room);

} // namespace telvar5
