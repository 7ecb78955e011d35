#pragma once
// The values of one command's options, read into numbers and names. Every
// reader throws CliError (BadArgument) with a line that names the command
// and the option, so a typo in a bench script is found before the module is
// touched.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "CommandCall.h"
#include "TickBudget.h"
#include "core/analysis/RecordingCondition.h"

namespace telvar5::cli {

class OptionValues {
public:
    explicit OptionValues(const CommandCall& call) : call_(call) {}

    bool has(std::string_view name) const;
    // No command follows this one in the invocation.
    bool lastCommand() const { return call_.last; }
    // Every value of a repeatable option, in order.
    std::vector<std::string> all(std::string_view name) const;
    // A file name that must be given and not be empty.
    std::string requiredPath(std::string_view name) const;
    std::optional<std::string> optionalPath(std::string_view name) const;

    // A whole number in min..max; nothing when the option is absent.
    std::optional<std::int64_t> integer(std::string_view name, std::int64_t min, std::int64_t max) const;
    // A decimal number in min..max; nothing when the option is absent.
    std::optional<double> decimal(std::string_view name, double min, double max) const;
    // Seconds, a decimal number above 0, as microseconds.
    std::optional<std::int64_t> secondsUs(std::string_view name) const;

    // A recording condition (arrive:C:LLL and the like); nothing when the option is absent.
    std::optional<RecordingCondition> condition(std::string_view name) const;

    // --channel C, 1..8, required.
    int channel() const;
    // --mode address|file (default address), as the run state's reception mode.
    std::uint16_t receptionMode() const;
    // --period MS within the monitor's limits, default its default.
    std::int32_t periodMs() const;
    // --seconds S or --ticks N, not both; default 2 s.
    TickBudget budget() const;

    [[noreturn]] void fail(const std::string& text) const;

private:
    const std::string* last(std::string_view name) const;

    const CommandCall& call_;
};

// A whole number, the whole text and nothing else; nothing for anything else.
std::optional<std::int64_t> parseWhole(std::string_view text);

} // namespace telvar5::cli
