#include "core/stimulus/Stimuli.h"

namespace telvar5 {

Stimuli::Stimuli(RunState& run, OutputArrays& arrays, OutputControl& control)
    : output_(run, arrays, control), generator_(run, output_), replay_(run, output_)
{
}

std::bitset<kChannels> Stimuli::tick(std::int64_t nowUs)
{
    std::bitset<kChannels> changed;
    if (generator_.running())
        changed |= generator_.tick(nowUs);
    if (replay_.running())
        changed |= replay_.tick(nowUs);
    return changed;
}

} // namespace telvar5
