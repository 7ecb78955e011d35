#include <gtest/gtest.h>

#include "vdrv/BenchCommandParser.h"
#include "vdrv/ModuleFaults.h"

namespace telvar5::vdrv {
namespace {

// A fault command read and applied reads back in the module's words.
TEST(BenchCommandParser, FaultCommandsReadBackAsTheFaultsInForce)
{
    const std::pair<const char*, const char*> cases[] = {
        {"fault 3 fail", "fail all"},
        {"fault 3 fail 4", "fail next 4"},
        {"fault all fail reqsireadword,0x2220E8 next 3", "fail ReqSIstate,ReqSIreadWord next 3"},
        {"fault 3 fail ReqSIstate prob 0.125", "fail ReqSIstate prob 0.125"},
        {"\tfault 3 short ReqSerialNumber 1 \r", "short ReqSerialNumber 1"},
        {"fault 3 random 0x2220EC", "random ReqSIreadWord"},
        {"fault 3 slow 1500", "slow 1500"},
        {"fault 3 slow 0", ""},
        {"fault 3 vanish", "vanish"},
        {"fault 3 seed 0xFFFFFFFFFFFFFFFF", ""},
    };
    for (const auto& [line, faults] : cases) {
        const BenchParseResult r = parseBenchCommand(line);
        ASSERT_TRUE(r.command) << line << ": " << r.error;
        EXPECT_EQ(r.command->kind, BenchCommand::Kind::Fault);
        ModuleFaults applied;
        applied.apply(r.command->fault);
        EXPECT_EQ(applied.describe(), faults) << line;
    }
}

TEST(BenchCommandParser, AnswersEveryMalformedLineWithAPrintableReason)
{
    std::string tooManyWords = "inject 0 1";
    for (int i = 0; i < 1025; ++i)
        tooManyWords += " 1";
    for (std::string_view line : std::initializer_list<std::string_view>{
             "", "   ", "bogus", "modules now", "help me", "log many", "log 1 2", "log clear clear", "inject 0 1",
             "inject 16 1 1", "inject 0 9 1", "inject 0 1 1FFFFFFFF", "sent 0 0", "sent 0 1 -1", "fault",
             "fault 0", "fault -1 clear", "fault 0 fail 0", "fault 0 fail ReqBogus", "fault 0 fail prob",
             "fault 0 fail prob 1.01", "fault 0 fail prob nan", "fault 0 fail all 3", "fault 0 fail next",
             "fault 0 short 6", "fault 0 slow", "fault 0 slow 10000001", "fault 0 slow 99999999999999999999",
             "fault 0 clear now", "fault 0 seed", "fault 0 random 0x", "fault 0 random ,", "fault 0 melt",
             std::string_view("modu\0les", 8), "\xff\xfe\x01\x02", "inject 0 1 \x80\x81", tooManyWords}) {
        const BenchParseResult r = parseBenchCommand(line);
        EXPECT_FALSE(r.command) << line;
        EXPECT_FALSE(r.error.empty()) << line;
        EXPECT_LT(r.error.size(), 200u) << line;
        for (char ch : r.error) // it goes back as one "ERROR" line
            EXPECT_TRUE(ch >= 0x20 && ch < 0x7F) << line;
    }
}

} // namespace
} // namespace telvar5::vdrv
