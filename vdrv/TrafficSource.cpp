#include "vdrv/TrafficSource.h"

#include "vdrv/ArincWord.h"

namespace telvar5::vdrv {

std::uint32_t TrafficSource::wordAt(Micros t) const
{
    if (kind == Kind::Discrete)
        return (data << 8) | label;
    return encodeBnr(label, bits, resolution, curve.valueAt(t), ssm);
}

} // namespace telvar5::vdrv
