#include "core/MonitorArguments.h"

#include <cctype>
#include <string_view>

#include "formats/ReplaceFile.h"

namespace telvar5 {

namespace {

constexpr std::string_view kVirtualModule = "--virtual-module";
constexpr std::string_view kUserFolder = "--user-folder";
constexpr std::string_view kSeed = "--seed";

// The value of option `name` at args[i], as "NAME VALUE" (i then moves past
// the value; none at the end) or "NAME=VALUE"; nothing when args[i] is another.
std::optional<std::string> optionValue(std::span<const std::string> args, std::size_t& i, std::string_view name)
{
    const std::string_view arg = args[i];
    if (arg == name)
        return i + 1 < args.size() ? args[++i] : std::string();
    if (arg.size() > name.size() && arg.starts_with(name) && arg[name.size()] == '=')
        return std::string(arg.substr(name.size() + 1));
    return std::nullopt;
}

// Windows names files without regard to case: "REC.TLVCAP" is a recording too.
bool isRecordingName(std::string_view arg)
{
    constexpr std::string_view kExtension = ".tlvcap";
    if (arg.size() <= kExtension.size() || arg.starts_with("--"))
        return false;
    const std::string_view end = arg.substr(arg.size() - kExtension.size());
    for (std::size_t i = 0; i < end.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(end[i])) != kExtension[i])
            return false;
    return true;
}

} // namespace

MonitorArguments MonitorArguments::parse(std::span<const std::string> args)
{
    MonitorArguments parsed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (auto config = optionValue(args, i, kVirtualModule))
            parsed.virtualModuleConfig = pathFromUtf8(*config);
        else if (auto folder = optionValue(args, i, kUserFolder))
            parsed.userFolder = pathFromUtf8(*folder);
        else if (auto seed = optionValue(args, i, kSeed))
            parsed.seeds.push_back(pathFromUtf8(*seed));
        else if (isRecordingName(args[i]))
            parsed.recording = pathFromUtf8(args[i]);
    }
    return parsed;
}

} // namespace telvar5
