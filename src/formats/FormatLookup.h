#pragma once
// Lookup of a decimal format by its tag.
#include <string_view>

#include "formats/FormatTables.h"

namespace telvar5 {

// Index of the first record among 0..formatCount-1 whose tag equals `tag` byte
// for byte (case-sensitive), or -1. A formatCount above 256 is taken as 256.
int findFormatByTag(const FormatTables& tables, std::string_view tag);

} // namespace telvar5
