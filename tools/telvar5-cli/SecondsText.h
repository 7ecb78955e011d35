#pragma once
// A duration as the CLI's lines say it: "0.3 с", as the replay window shows times.
#include <cstdio>
#include <string>

namespace telvar5::cli {

inline std::string secondsText(double us)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f с", us / 1e6);
    return text;
}

} // namespace telvar5::cli
