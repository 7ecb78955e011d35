// The monitor's one command-line option: where it names the virtual module's
// configuration, and that every other argument changes nothing.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/MonitorArguments.h"
#include "formats/ReplaceFile.h"

namespace telvar5 {
namespace {

TEST(MonitorArgumentsTest, OnlyTheVirtualModuleOptionIsTaken)
{
    const struct {
        std::vector<std::string> args;
        std::optional<std::string> config;
    } cases[] = {
        {{}, std::nullopt},
        {{"-style", "fusion", "demo.conf", "--virtual-modules", "x", "--virtual-module-x"}, std::nullopt},
        {{"--virtual-module", "demo/telvar5-vdrv.conf"}, "demo/telvar5-vdrv.conf"},
        {{"--virtual-module=C:\\bench\\a b.conf"}, "C:\\bench\\a b.conf"},
        {{"-x", "--virtual-module", "--virtual-module"}, "--virtual-module"},
        {{"--virtual-module", "first.conf", "--virtual-module=second.conf"}, "second.conf"},
        {{"--virtual-module"}, ""},
        {{"--virtual-module="}, ""},
        {{"--virtual-module", "Стенд/модуль.conf"}, "Стенд/модуль.conf"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.empty() ? std::string("(none)") : c.args.back());
        const MonitorArguments parsed = MonitorArguments::parse(c.args);
        ASSERT_EQ(parsed.virtualModuleConfig.has_value(), c.config.has_value());
        if (c.config) {
            EXPECT_EQ(*parsed.virtualModuleConfig, pathFromUtf8(*c.config));
        }
    }
}

} // namespace
} // namespace telvar5
