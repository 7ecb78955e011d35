#include "core/analysis/LabelStatistics.h"

namespace telvar5 {

void LabelStatistics::reset(std::size_t, std::int64_t) {}

void LabelStatistics::record(std::size_t, std::uint32_t, std::int64_t) noexcept {}

} // namespace telvar5
