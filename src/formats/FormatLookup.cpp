#include "formats/FormatLookup.h"

#include <algorithm>

namespace telvar5 {

int findFormatByTag(const FormatTables& tables, std::string_view tag)
{
    const std::size_t count = std::min<std::size_t>(tables.formatCount, kFormatTableSize);
    for (std::size_t i = 0; i < count; ++i) {
        if (tables.formatTable[i].tag() == tag)
            return static_cast<int>(i);
    }
    return -1;
}

} // namespace telvar5
