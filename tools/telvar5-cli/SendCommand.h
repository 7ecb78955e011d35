#pragma once
// `send --channel C --file A.so [--cyclic [--seconds S]]`: loads the array
// file into output C and transmits it once (waiting out its transmission
// time) or cyclically: for S seconds, or else while the later commands of the
// invocation run, stopping at its end.
#include <optional>
#include <string>

#include "Command.h"
#include "OptionValues.h"

namespace telvar5::cli {

class SendCommand final : public Command {
public:
    explicit SendCommand(const OptionValues& options);
    void checkFiles(FilePlan& plan) override;
    void run(CliSession& session) override;

private:
    // Throws FileError when the array file cannot be read or holds no word.
    void checkArray() const;
    void loadArray(CliSession& session) const;

    int channel_;
    std::string file_;
    bool cyclic_;
    std::optional<std::int64_t> durationUs_;
};

} // namespace telvar5::cli
