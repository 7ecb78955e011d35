#pragma once
// `replay --capture F.tlvcap --from-channel I --channel C [--speed X]
// [--loop] [--seconds S] [--period MS] [--max-gap S]`: the words input I of a
// capture carried, replayed on output C at their recorded times, a jump of
// recorded time beyond --max-gap cut short. With --seconds it
// runs the refresh cycle for S seconds and stops; as the last command without
// --seconds it plays the capture through once; otherwise it moves with the
// ticks of the later commands and stops at the end of the invocation.
#include <cstdint>
#include <optional>
#include <string>

#include "Command.h"
#include "OptionValues.h"

namespace telvar5::cli {

class ReplayCommand final : public Command {
public:
    explicit ReplayCommand(const OptionValues& options);
    void checkFiles(FilePlan& plan) override;
    void run(CliSession& session) override;

private:
    // Throws FileError or BadArgument when the capture has no words of the
    // input channel; returns what is to be said of a damaged one, or nothing.
    std::string checkCapture() const;

    std::string capture_; // read when the command runs: an earlier `record` may write it
    int fromChannel_;
    int channel_;
    double speed_;
    bool loop_;
    std::int64_t longestGapUs_;
    std::optional<std::int64_t> durationUs_;
    std::int32_t periodMs_;
    bool last_;
    bool checked_ = false;     // the capture was judged before the module was touched
    std::string captureNote_;  // what is said of the capture when the command runs
};

} // namespace telvar5::cli
