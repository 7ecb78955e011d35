#include "core/analysis/ByteSizeText.h"

#include <array>

namespace telvar5 {

std::string byteSizeText(std::uint64_t bytes)
{
    if (bytes < 1024)
        return std::to_string(bytes) + " Б";
    static constexpr std::array<const char*, 4> kUnits{"КБ", "МБ", "ГБ", "ТБ"};
    std::size_t unit = 0;
    std::uint64_t scale = 1024;
    while (unit + 1 < kUnits.size() && bytes / scale >= 1024) {
        scale *= 1024;
        ++unit;
    }
    // Tenths, rounded half up, in integers: exact for every size.
    const std::uint64_t tenths = (bytes * 10 + scale / 2) / scale;
    if (tenths >= 10240 && unit + 1 < kUnits.size()) // 1023,96 КБ rounds to 1,0 МБ
        return byteSizeText(scale * 1024);
    return std::to_string(tenths / 10) + "," + std::to_string(tenths % 10) + " " + kUnits[unit];
}

} // namespace telvar5
