#include "vdrv/ValueCurve.h"

#include <cmath>
#include <numbers>

namespace telvar5::vdrv {

double ValueCurve::valueAt(Micros t) const
{
    if (shape == Shape::Constant || periodS <= 0.0)
        return min;
    const double seconds = static_cast<double>(t) * 1e-6;
    double phase = std::fmod(seconds / periodS, 1.0); // 0..1
    if (phase < 0.0)
        phase += 1.0;
    const double span = max - min;
    switch (shape) {
    case Shape::Ramp:
        return min + span * phase;
    case Shape::Triangle:
        return min + span * (phase < 0.5 ? 2.0 * phase : 2.0 - 2.0 * phase);
    case Shape::Sine:
        return min + span * 0.5 * (1.0 + std::sin(2.0 * std::numbers::pi * phase));
    case Shape::Constant:
        break;
    }
    return min;
}

std::optional<ValueCurve::Shape> curveShapeFromName(std::string_view name)
{
    if (name == "const")
        return ValueCurve::Shape::Constant;
    if (name == "ramp")
        return ValueCurve::Shape::Ramp;
    if (name == "triangle")
        return ValueCurve::Shape::Triangle;
    if (name == "sine")
        return ValueCurve::Shape::Sine;
    return std::nullopt;
}

} // namespace telvar5::vdrv
