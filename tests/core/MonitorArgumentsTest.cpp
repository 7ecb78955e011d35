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

TEST(MonitorArgumentsTest, TheUserFolderAndItsSeeds)
{
    const std::vector<std::string> args{"--seed",        "demo",       "--user-folder", "TELVAR-5\\Демонстрация",
                                        "--seed=formats/TLV5frmt.stt", "--virtual-module", "telvar5-vdrv.conf"};
    const MonitorArguments parsed = MonitorArguments::parse(args);
    ASSERT_TRUE(parsed.userFolder.has_value());
    EXPECT_EQ(*parsed.userFolder, pathFromUtf8("TELVAR-5\\Демонстрация"));
    EXPECT_EQ(parsed.seeds, (std::vector<std::filesystem::path>{pathFromUtf8("demo"), pathFromUtf8("formats/TLV5frmt.stt")}));
    EXPECT_EQ(parsed.virtualModuleConfig, pathFromUtf8("telvar5-vdrv.conf"));
    EXPECT_FALSE(MonitorArguments::parse(std::vector<std::string>{"--user-folders", "x"}).userFolder.has_value());
}

TEST(MonitorArgumentsTest, ARecordingNamedAsExplorerHandsItOver)
{
    const struct {
        std::vector<std::string> args;
        std::optional<std::string> recording;
    } cases[] = {
        {{"C:\\Записи\\полет 1.tlvcap"}, "C:\\Записи\\полет 1.tlvcap"},
        {{"--user-folder", "TELVAR-5", "REC.TLVCAP"}, "REC.TLVCAP"},
        {{"a.tlvcap", "b.tlvcap"}, "b.tlvcap"},
        {{".tlvcap", "rec.tlvcap.bak", "rec.csv"}, std::nullopt},
        {{"--virtual-module", "x.tlvcap"}, std::nullopt}, // the option's value, not a recording
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.back());
        const MonitorArguments parsed = MonitorArguments::parse(c.args);
        EXPECT_EQ(parsed.recording, c.recording ? std::optional(pathFromUtf8(*c.recording)) : std::nullopt);
    }
}

} // namespace
} // namespace telvar5
