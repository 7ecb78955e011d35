#include "core/MonitorArguments.h"

#include <string_view>

#include "formats/ReplaceFile.h"

namespace telvar5 {

namespace {
constexpr std::string_view kVirtualModule = "--virtual-module";
} // namespace

MonitorArguments MonitorArguments::parse(std::span<const std::string> args)
{
    MonitorArguments parsed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == kVirtualModule)
            parsed.virtualModuleConfig = pathFromUtf8(i + 1 < args.size() ? args[++i] : std::string());
        else if (arg.size() > kVirtualModule.size() && arg.starts_with(kVirtualModule) &&
                 arg[kVirtualModule.size()] == '=')
            parsed.virtualModuleConfig = pathFromUtf8(std::string(arg.substr(kVirtualModule.size() + 1)));
    }
    return parsed;
}

} // namespace telvar5
