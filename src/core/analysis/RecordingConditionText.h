#pragma once
// A recording condition as the user types it, the same in the window and on
// the command line, and as the lines tell it:
//   arrive:C:LLL         label LLL (octal) on input C (1..8) arrives
//   cross:C:LLL:V        its value passes V
//   range:C:LLL:LOW:HIGH its value lies outside LOW..HIGH
//   ssm:C:LLL            its SSM changes
//   absent:C:LLL:MS      no word of it for longer than MS milliseconds
// Numbers take a point or a comma.
#include <optional>
#include <string>
#include <string_view>

#include "core/analysis/RecordingCondition.h"

namespace telvar5 {

std::optional<RecordingCondition> parseRecordingCondition(std::string_view text);
// The pre-trigger, seconds 0..3600 with a point or a comma, as microseconds.
std::optional<std::int64_t> parsePreTriggerUs(std::string_view text);
// "пришла метка 205 канала 1", "метка 205 канала 1 вышла из -5…100" and so on.
std::string recordingConditionText(const RecordingCondition& condition);

} // namespace telvar5
