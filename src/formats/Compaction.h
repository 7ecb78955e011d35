#pragma once
// Keeps the format tables dense: the editors call these on delete, on close and
// (parameter formats) before saving a file.
#include "formats/FormatTables.h"

namespace telvar5 {

// Keeps the complete records among the first `rows` records in their order, sets
// formatCount, empties the tail, and returns the row count the decimal formats
// editor's grid must take, title row included (2 when nothing is left).
// rows is taken as 0 when negative and as 256 when above.
int compactFormats(FormatTables& tables, int rows);

// The same for the parameter formats: keeps records with a label, a channel and
// a tag, sets paramFormatCount, empties the tail, returns the grid's row count.
int compactParamFormats(FormatTables& tables, int rows);
// The editors' grid rows for a table of `count` records: the title row and
// one row a record, 2 when the table is empty; a count above 256 counts as 256.
int gridRowsFor(std::size_t count);

} // namespace telvar5
