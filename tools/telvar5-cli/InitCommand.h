#pragma once
// `init [--module N] [--in C=CODE,...] [--out C=CODE,...]`: chooses the module
// of ordinal number N (default the first found) and initialises it with the
// bit-rate codes given; channels not named keep code 0.
#include <cstdint>
#include <optional>
#include <string_view>

#include "Command.h"
#include "OptionValues.h"
#include "protocol/Requests.h"

namespace telvar5::cli {

class InitCommand final : public Command {
public:
    explicit InitCommand(const OptionValues& options);
    void run(CliSession& session) override;

    // "0", "1", "2" or a rate name: "12.5k" 0, "48k" or "50k" 1, "100k" 2.
    static std::optional<std::uint8_t> codeNamed(std::string_view text);

private:
    void readCodes(const OptionValues& options, std::string_view option, int firstByte);

    std::optional<std::uint32_t> ordinal_;
    FreqCodes codes_{};
    int highestInput_ = 0;  // the highest channel named, checked against the module
    int highestOutput_ = 0;
};

} // namespace telvar5::cli
