#include "core/stimulus/MillisecondsText.h"

#include <cmath>
#include <cstdio>

namespace telvar5 {

std::string millisecondsText(double ms)
{
    const long long micro = std::llround(ms * 1000.0);
    std::string text = std::to_string(micro / 1000);
    if (const long long frac = micro % 1000; frac != 0) {
        char digits[8];
        std::snprintf(digits, sizeof digits, "%03lld", frac);
        std::string tail(digits);
        while (tail.back() == '0')
            tail.pop_back();
        text += "." + tail;
    }
    return text;
}

} // namespace telvar5
