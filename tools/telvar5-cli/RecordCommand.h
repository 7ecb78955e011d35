#pragma once
// `record --capture FILE [--seconds S | --ticks N] [--period MS]
// [--channel C [--mode address|file]] [--start COND [--pre S]] [--stop COND]
// [--formats F.si]`: runs the refresh cycle and writes every word it stores,
// on every receiving input, into a capture file: the file the window's
// "Запись" writes. With --channel it starts reception on that input first and
// stops it at the end. With --start the recording waits for its condition and
// begins with the words of the last S seconds before it; --stop ends it early.
#include <optional>
#include <string>

#include "Command.h"
#include "OptionValues.h"

namespace telvar5::cli {

class RecordCommand final : public Command {
public:
    explicit RecordCommand(const OptionValues& options);
    void checkFiles(FilePlan& plan) override;
    void run(CliSession& session) override;

private:
    std::string file_;
    TickBudget budget_;
    std::int32_t periodMs_;
    std::optional<int> channel_;
    std::uint16_t mode_;
    std::optional<RecordingCondition> start_;
    std::optional<RecordingCondition> stop_;
    std::int64_t preUs_;
    std::optional<std::string> formatsFile_;
};

} // namespace telvar5::cli
