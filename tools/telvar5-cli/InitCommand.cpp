#include "InitCommand.h"

#include <algorithm>

#include "CliSession.h"
#include "core/RunState.h"

namespace telvar5::cli {

std::optional<std::uint8_t> InitCommand::codeNamed(std::string_view text)
{
    if (text == "0" || text == "12.5k")
        return 0;
    if (text == "1" || text == "48k" || text == "50k")
        return 1;
    if (text == "2" || text == "100k")
        return 2;
    return std::nullopt;
}

InitCommand::InitCommand(const OptionValues& options)
{
    if (const auto module = options.integer("module", 0, kMaxInterfaceIndex - 1))
        ordinal_ = static_cast<std::uint32_t>(*module);
    readCodes(options, "in", 0);
    readCodes(options, "out", kChannels);
}

void InitCommand::readCodes(const OptionValues& options, std::string_view option, int firstByte)
{
    int& highest = firstByte == 0 ? highestInput_ : highestOutput_;
    for (const std::string& list : options.all(option)) {
        std::string_view rest = list;
        while (true) {
            const std::size_t comma = rest.find(',');
            const std::string_view item = rest.substr(0, comma);
            const std::size_t eq = item.find('=');
            const auto channel = parseWhole(item.substr(0, eq == std::string_view::npos ? 0 : eq));
            const auto code = eq == std::string_view::npos ? std::nullopt : codeNamed(item.substr(eq + 1));
            if (!channel || *channel < 1 || *channel > kChannels || !code)
                options.fail("--" + std::string(option) + " ждет КАНАЛ=КОД через запятую (канал 1..8; код 0, 1, 2, " +
                             "12.5k, 48k, 50k или 100k), а не '" + std::string(item) + "'");
            codes_[static_cast<std::size_t>(firstByte + *channel - 1)] = *code;
            highest = std::max(highest, static_cast<int>(*channel));
            if (comma == std::string_view::npos)
                break;
            rest.remove_prefix(comma + 1);
        }
    }
}

void InitCommand::run(CliSession& session)
{
    session.choose(ordinal_, "init");
    if (highestInput_ > 0)
        session.requireInput(highestInput_, "init");
    if (highestOutput_ > 0)
        session.requireOutput(highestOutput_, "init");
    session.initialise(codes_, "init");

    const RunState& run = session.run();
    const auto codeList = [&](int firstByte, std::uint32_t count) {
        if (count == 0)
            return std::string(" нет");
        std::string text = " 1-";
        text += std::to_string(std::min<std::uint32_t>(count, kChannels));
        text += ':';
        for (std::uint32_t k = 0; k < count && k < kChannels; ++k)
            text += " " + std::to_string(run.freqCodes[static_cast<std::size_t>(firstByte) + k]);
        return text;
    };
    session.note("init: инициализирован " + session.chosenLine() + "; коды частот входов" +
                 codeList(0, run.siChannelCount) + "; выходов" + codeList(kChannels, run.soChannelCount));
}

} // namespace telvar5::cli
