#pragma once
// How a parameter of the traffic scenario moves over time, so that altitude,
// airspeed and heading change on the monitor's screen.
#include <cstdint>
#include <optional>
#include <string_view>

#include "vdrv/Clock.h"

namespace telvar5::vdrv {

struct ValueCurve {
    enum class Shape : std::uint8_t {
        Constant, // always min
        Ramp,     // min to max over the period, then back to min at once
        Triangle, // min to max and back over the period
        Sine,     // between min and max, starting at the middle going up
    };

    Shape shape = Shape::Constant;
    double min = 0.0;
    double max = 0.0;
    double periodS = 1.0;

    double valueAt(Micros t) const;
};

std::optional<ValueCurve::Shape> curveShapeFromName(std::string_view name);

} // namespace telvar5::vdrv
