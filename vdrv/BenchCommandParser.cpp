#include "vdrv/BenchCommandParser.h"

#include <cctype>
#include <span>

#include "vdrv/DriverConfig.h"
#include "vdrv/TextFields.h"

namespace telvar5::vdrv {

namespace {

BenchParseResult failure(std::string why) { return {std::nullopt, std::move(why)}; }

BenchParseResult success(BenchCommand c) { return {std::move(c), {}}; }

// A field echoed in an error: bounded and printable, whatever bytes came.
std::string shown(std::string_view field)
{
    std::string s;
    for (char c : field.substr(0, 32))
        s += std::isprint(static_cast<unsigned char>(c)) ? c : '?';
    return field.size() > 32 ? s + "..." : s;
}

std::optional<int> interfaceArg(std::string_view s, bool allowAll)
{
    if (allowAll && s == "all")
        return kAllInterfaces;
    if (const auto v = parseUnsigned(s, 10, kMaxInterfaces - 1))
        return static_cast<int>(*v);
    return std::nullopt;
}

std::optional<int> channelArg(std::string_view s)
{
    const auto v = parseUnsigned(s, 10, kMaxChannels);
    if (!v || *v == 0)
        return std::nullopt;
    return static_cast<int>(*v);
}

BenchParseResult parseLog(std::span<const std::string_view> t)
{
    BenchCommand c;
    c.kind = BenchCommand::Kind::Log;
    for (std::string_view f : t) {
        if ((f == "clear" || f == "--clear") && !c.clearLog) {
            c.clearLog = true;
        } else if (const auto v = parseUnsigned(f, 10, UINT64_MAX); v && !c.count) {
            c.count = static_cast<std::size_t>(*v);
        } else {
            return failure("usage: log [N] [clear]");
        }
    }
    return success(std::move(c));
}

BenchParseResult parseInject(std::span<const std::string_view> t)
{
    if (t.size() < 3)
        return failure("usage: inject IFACE CHANNEL WORD... (words in hex)");
    BenchCommand c;
    c.kind = BenchCommand::Kind::Inject;
    const auto iface = interfaceArg(t[0], false);
    const auto channel = channelArg(t[1]);
    if (!iface)
        return failure("IFACE must be 0..15");
    if (!channel)
        return failure("CHANNEL must be 1..8");
    if (t.size() - 2 > kMaxInjectWords)
        return failure("at most 1024 words at once");
    c.interfaceIndex = *iface;
    c.channel = *channel;
    for (std::string_view f : t.subspan(2)) {
        const auto w = parseUnsigned(f, 16);
        if (!w)
            return failure("not a 32-bit hex word: " + shown(f));
        c.words.push_back(static_cast<std::uint32_t>(*w));
    }
    return success(std::move(c));
}

BenchParseResult parseSent(std::span<const std::string_view> t)
{
    if (t.size() < 2 || t.size() > 3)
        return failure("usage: sent IFACE CHANNEL [N]");
    BenchCommand c;
    c.kind = BenchCommand::Kind::Sent;
    const auto iface = interfaceArg(t[0], false);
    const auto channel = channelArg(t[1]);
    const auto n = t.size() == 3 ? parseUnsigned(t[2], 10, UINT64_MAX) : std::optional<std::uint64_t>(kDefaultSentWords);
    if (!iface)
        return failure("IFACE must be 0..15");
    if (!channel)
        return failure("CHANNEL must be 1..8");
    if (!n)
        return failure("N must be a number");
    c.interfaceIndex = *iface;
    c.channel = *channel;
    c.count = static_cast<std::size_t>(*n);
    return success(std::move(c));
}

BenchParseResult parseFault(std::span<const std::string_view> t)
{
    if (t.size() < 2)
        return failure("usage: fault IFACE|all fail|random|short|slow|vanish|restore|clear|seed ...; try help");
    const auto iface = interfaceArg(t[0], true);
    if (!iface)
        return failure("IFACE must be 0..15 or all");
    std::string why;
    const auto setting = parseFaultSetting(t.subspan(1), why);
    if (!setting)
        return failure(why);
    BenchCommand c;
    c.kind = BenchCommand::Kind::Fault;
    c.interfaceIndex = *iface;
    c.fault = *setting;
    return success(std::move(c));
}

} // namespace

BenchParseResult parseBenchCommand(std::string_view line)
{
    const std::vector<std::string_view> fields = splitFields(line);
    if (fields.empty())
        return failure("empty command; try help");
    const std::string_view cmd = fields[0];
    const std::span<const std::string_view> args = std::span(fields).subspan(1);
    if (cmd == "modules" || cmd == "help") {
        if (!args.empty())
            return failure(std::string(cmd) + " takes no arguments");
        BenchCommand c;
        c.kind = cmd == "help" ? BenchCommand::Kind::Help : BenchCommand::Kind::Modules;
        return success(std::move(c));
    }
    if (cmd == "log")
        return parseLog(args);
    if (cmd == "inject")
        return parseInject(args);
    if (cmd == "sent")
        return parseSent(args);
    if (cmd == "fault")
        return parseFault(args);
    return failure("unknown command \"" + shown(cmd) + "\"; try help");
}

} // namespace telvar5::vdrv
