#pragma once
// `generate --channel C --file G.gen [--seconds S] [--period MS]
// [--formats FILE.si]`: the parameter generator on output C with the file's
// rows of that channel (the parameter formats, as receive takes them, are in
// force for the rest of the invocation). With
// --seconds it runs the refresh cycle for S seconds and stops; without, it
// moves with the ticks of the later commands (a `receive` hears it through
// the loopback) and stops at the end of the invocation, as `send --cyclic`.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Command.h"
#include "OptionValues.h"
#include "core/stimulus/GeneratorRow.h"

namespace telvar5::cli {

class GenerateCommand final : public Command {
public:
    // Reads the file at once, so that a bad one stops the invocation before the module is touched.
    explicit GenerateCommand(const OptionValues& options);
    void checkFiles(FilePlan& plan) override;
    void run(CliSession& session) override;

private:
    int channel_;
    std::string file_;
    std::optional<std::int64_t> durationUs_;
    std::int32_t periodMs_;
    std::optional<std::string> formatsFile_;
    std::vector<GeneratorRow> rows_; // the file's rows of the channel, in file order
    std::vector<int> rowLines_;      // the line of each in the file
    std::string leftOut_;            // what is said of the rows of other channels; empty when none
};

} // namespace telvar5::cli
