#pragma once
// An interval as the generator's messages write it: "12.5", milliseconds with
// up to three decimals and no trailing zeros, with a point whatever locale the
// toolkit set.
#include <string>

namespace telvar5 {

std::string millisecondsText(double ms);

} // namespace telvar5
