#pragma once
// `receive --channel C [--mode address|file] [--seconds S | --ticks N]
// [--period MS] [--format text|csv|jsonl] [--formats FILE.si]`: starts
// reception on input C, runs the refresh cycle without a window and prints
// every word the ticks store on that channel, then stops reception.
#include <optional>
#include <string>

#include "Command.h"
#include "OptionValues.h"
#include "WordPrinter.h"

namespace telvar5::cli {

class ReceiveCommand final : public Command {
public:
    explicit ReceiveCommand(const OptionValues& options);
    void checkFiles(FilePlan& plan) override;
    void run(CliSession& session) override;

private:
    int channel_;
    std::uint16_t mode_;
    TickBudget budget_;
    std::int32_t periodMs_;
    WordFormat format_ = WordFormat::Text;
    std::optional<std::string> formatsFile_;
};

} // namespace telvar5::cli
