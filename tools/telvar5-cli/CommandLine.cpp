#include "CommandLine.h"

#include <algorithm>
#include <array>

#include "CliError.h"

namespace telvar5::cli {

namespace {

struct KnownOption {
    std::string_view name;
    bool takesValue;
    bool repeatable;
};

struct KnownCommand {
    std::string_view name;
    std::span<const KnownOption> options;
};

constexpr KnownOption kInitOptions[] = {{"module", true, false}, {"in", true, true}, {"out", true, true}};
constexpr KnownOption kReceiveOptions[] = {{"channel", true, false}, {"mode", true, false},
                                          {"seconds", true, false}, {"ticks", true, false},
                                          {"period", true, false},  {"format", true, false},
                                          {"formats", true, false}};
constexpr KnownOption kSendOptions[] = {{"channel", true, false}, {"file", true, false},
                                       {"cyclic", false, false}, {"seconds", true, false}};
constexpr KnownOption kRecordOptions[] = {{"capture", true, false}, {"seconds", true, false},
                                         {"ticks", true, false},   {"period", true, false},
                                         {"channel", true, false}, {"mode", true, false},
                                         {"start", true, false},   {"stop", true, false},
                                         {"pre", true, false},     {"formats", true, false}};
constexpr KnownOption kExportOptions[] = {{"capture", true, false}, {"csv", true, false}, {"formats", true, false},
                                         {"excel", false, false}};
constexpr KnownOption kGenerateOptions[] = {{"channel", true, false}, {"file", true, false},
                                           {"seconds", true, false}, {"period", true, false},
                                           {"formats", true, false}};
constexpr KnownOption kReplayOptions[] = {{"capture", true, false}, {"from-channel", true, false},
                                         {"channel", true, false}, {"speed", true, false},
                                         {"loop", false, false},    {"seconds", true, false},
                                         {"period", true, false},   {"max-gap", true, false}};

const std::array<KnownCommand, 8> kCommands{{
    {"modules", {}},
    {"init", kInitOptions},
    {"receive", kReceiveOptions},
    {"send", kSendOptions},
    {"record", kRecordOptions},
    {"export", kExportOptions},
    {"generate", kGenerateOptions},
    {"replay", kReplayOptions},
}};

const KnownCommand* findCommand(std::string_view word)
{
    const auto it = std::find_if(kCommands.begin(), kCommands.end(),
                                 [word](const KnownCommand& c) { return c.name == word; });
    return it == kCommands.end() ? nullptr : &*it;
}

// The one option of the whole invocation rather than of a command.
constexpr std::string_view kVirtualModule = "--virtual-module";

[[noreturn]] void bad(const std::string& text) { throw CliError(ExitCode::BadArgument, text); }

} // namespace

bool CommandLine::isCommand(std::string_view word) { return findCommand(word) != nullptr; }

CommandLine CommandLine::parse(std::span<const std::string> args)
{
    CommandLine line;
    // Help for the command the first --help follows, or the general help; the
    // rest of the line is not judged.
    std::string_view lastCommand;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == kVirtualModule) {
            ++i; // its value
        } else if (isCommand(arg)) {
            lastCommand = findCommand(arg)->name;
        } else if (arg == "--version") {
            line.version = true;
            return line;
        } else if (arg == "--help" || arg == "-h") {
            if (lastCommand.empty())
                line.generalHelp = true;
            else
                line.calls.push_back({std::string(lastCommand), {}, true, true});
            return line;
        }
    }
    const KnownCommand* current = nullptr;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (const KnownCommand* known = findCommand(arg)) {
            current = known;
            line.calls.push_back({arg, {}, false});
            continue;
        }
        if (arg == kVirtualModule || arg.starts_with(std::string(kVirtualModule) + "=")) {
            if (line.virtualModule)
                bad("параметр " + std::string(kVirtualModule) + " указан дважды");
            if (arg.size() > kVirtualModule.size())
                line.virtualModule = arg.substr(kVirtualModule.size() + 1);
            else if (i + 1 < args.size())
                line.virtualModule = args[++i];
            else
                bad("параметру " + std::string(kVirtualModule) + " нужно значение");
            continue;
        }
        if (arg.size() < 3 || arg.compare(0, 2, "--") != 0)
            bad(current ? std::string(current->name) + ": лишний аргумент '" + arg + "'"
                        : "неизвестная команда '" + arg + "'");
        if (!current)
            bad("параметр '" + arg + "' указан до первой команды");

        const std::size_t eq = arg.find('=');
        const std::string name = arg.substr(2, eq == std::string::npos ? std::string::npos : eq - 2);
        const std::string where = std::string(current->name) + ": ";
        const auto known = std::find_if(current->options.begin(), current->options.end(),
                                       [&name](const KnownOption& o) { return o.name == name; });
        if (known == current->options.end())
            bad(where + "неизвестный параметр '--" + name + "'");
        std::string value;
        if (known->takesValue) {
            if (eq != std::string::npos)
                value = arg.substr(eq + 1);
            else if (i + 1 < args.size())
                value = args[++i];
            else
                bad(where + "параметру --" + name + " нужно значение");
        } else if (eq != std::string::npos) {
            bad(where + "параметр --" + name + " не принимает значения");
        }
        auto& options = line.calls.back().options;
        const bool seen = std::any_of(options.begin(), options.end(), [&name](const auto& o) { return o.first == name; });
        if (seen && !known->repeatable)
            bad(where + "параметр --" + name + " указан дважды");
        options.emplace_back(name, std::move(value));
    }
    if (line.calls.empty() && !line.generalHelp)
        bad("не указана команда; список команд: telvar5-cli --help");
    if (!line.calls.empty())
        line.calls.back().last = true;
    return line;
}

} // namespace telvar5::cli
