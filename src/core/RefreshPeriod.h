#pragma once
// The refresh period: its limits, the rule by which the period dialog reads
// typed text, and the refresh line of the status bar.
#include <cstdint>
#include <string>

namespace telvar5 {

inline constexpr std::int32_t kDefaultRefreshPeriodMs = 500;
inline constexpr std::int32_t kMinRefreshPeriodMs = 100;
inline constexpr std::int32_t kMaxRefreshPeriodMs = 10000;

// "Применить" of the period dialog: the UTF-8 text exactly as typed (nothing trimmed).
// Five or more characters (not bytes) give the upper limit; otherwise "%d" is read and the
// number brought into 100..10000. A text of at most four characters that holds
// no number keeps the current period.
std::int32_t periodFromText(const std::string& text, std::int32_t currentPeriodMs);

// The period written for the edit field ("%d").
std::string periodText(std::int32_t periodMs);

// Panel 1 of XPStatusBar1 right after initialisation (three blanks before "-счетчик").
std::string refreshLineAtStart(std::int32_t periodMs);
// Panel 1 of XPStatusBar1 after a tick (two blanks before "-счетчик").
std::string refreshLine(std::int32_t periodMs, std::uint32_t counter);

} // namespace telvar5
