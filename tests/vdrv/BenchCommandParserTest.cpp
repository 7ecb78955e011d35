#include <gtest/gtest.h>

#include "vdrv/BenchCommandParser.h"
#include "vdrv/DriverConfig.h"
#include "vdrv/FaultRandom.h"

namespace telvar5::vdrv {
namespace {

using Kind = BenchCommand::Kind;

TEST(BenchCommandParser, ReadsEveryCommandWithItsArguments)
{
    auto parse = [](std::string_view line) {
        const BenchParseResult r = parseBenchCommand(line);
        EXPECT_TRUE(r.command) << line << ": " << r.error;
        return r.command.value_or(BenchCommand{});
    };
    EXPECT_EQ(parse("  modules\r").kind, Kind::Modules);
    EXPECT_EQ(parse("help").kind, Kind::Help);

    BenchCommand c = parse("log 20 clear");
    EXPECT_EQ(c.kind, Kind::Log);
    EXPECT_EQ(c.count, 20u);
    EXPECT_TRUE(c.clearLog);
    EXPECT_FALSE(parse("log").count);

    c = parse("inject 15 8 600A0FB8 0x1\t2");
    EXPECT_EQ(c.kind, Kind::Inject);
    EXPECT_EQ(c.interfaceIndex, 15);
    EXPECT_EQ(c.channel, 8);
    EXPECT_EQ(c.words, (std::vector<std::uint32_t>{0x600A0FB8, 1, 2}));

    c = parse("sent 0 1");
    EXPECT_EQ(c.count, kDefaultSentWords);

    c = parse("fault all fail ReqSIreadWord,0x2220E8 next 3");
    EXPECT_EQ(c.kind, Kind::Fault);
    EXPECT_EQ(c.interfaceIndex, kAllInterfaces);
    EXPECT_EQ(c.fault.kind, FaultKind::Fail);
    EXPECT_EQ(c.fault.requests, (1u << 14) | (1u << 13)); // ReqSIreadWord, ReqSIstate
    EXPECT_EQ(c.fault.failMode, FailMode::Count);
    EXPECT_EQ(c.fault.count, 3u);

    c = parse("fault 2 fail prob 0.125");
    EXPECT_EQ(c.fault.requests, kEveryRequest);
    EXPECT_EQ(c.fault.failMode, FailMode::Probability);
    EXPECT_EQ(c.fault.probability, 0.125);
    EXPECT_EQ(parse("fault 2 fail 4").fault.count, 4u);
    EXPECT_EQ(parse("fault 2 fail").fault.failMode, FailMode::Always);
    EXPECT_EQ(parse("fault 2 short ReqSIreadWord 3").fault.shortBytes, 3u);
    EXPECT_EQ(parse("fault 2 short").fault.shortBytes, kDefaultShortBytes);
    EXPECT_EQ(parse("fault 2 slow ReqSIstate 1500").fault.delayUs, 1500u);
    EXPECT_EQ(parse("fault 2 seed 0xFFFFFFFFFFFFFFFF").fault.seed, UINT64_MAX);
    EXPECT_EQ(parse("fault 0 restore").fault.kind, FaultKind::Restore);
}

TEST(BenchCommandParser, AnswersEveryMalformedLineWithAReason)
{
    for (std::string_view line : std::initializer_list<std::string_view>{
             "", "   ", "bogus", "modules now", "help me", "log many", "log 1 2", "log clear clear",
             "inject", "inject 0 1", "inject 16 1 1", "inject 0 9 1", "inject 0 1 1FFFFFFFF", "inject 0 1 xyz",
             "sent 0", "sent 0 0", "sent 0 1 -1", "sent 0 1 2 3", "fault", "fault 0", "fault -1 clear",
             "fault 0 fail 0", "fault 0 fail ReqBogus", "fault 0 fail prob", "fault 0 fail prob 1.01",
             "fault 0 fail prob nan", "fault 0 fail all 3", "fault 0 fail next", "fault 0 short 6",
             "fault 0 slow", "fault 0 slow 10000001", "fault 0 slow 99999999999999999999", "fault 0 clear now",
             "fault 0 seed", "fault 0 random 0x", "fault 0 random ,", "fault 0 melt",
             std::string_view("modu\0les", 8), "\xff\xfe\x01\x02", "inject 0 1 \x80\x81",
         }) {
        const BenchParseResult r = parseBenchCommand(line);
        EXPECT_FALSE(r.command) << line;
        EXPECT_FALSE(r.error.empty()) << line;
        for (char ch : r.error) // safe to send back in a reply line
            EXPECT_TRUE(ch >= 0x20 && ch < 0x7F) << line;
    }
    std::string longWords = "inject 0 1";
    for (int i = 0; i < 1025; ++i)
        longWords += " 1";
    EXPECT_FALSE(parseBenchCommand(longWords).command);
}

TEST(BenchCommandParser, AnyBytesGiveACommandOrAReason)
{
    FaultRandom random(42);
    const std::string_view alphabet = "fault all 0x12 ReqSIstate,prob next . -\t\r\0\xff";
    for (int n = 0; n < 20000; ++n) {
        std::string line;
        const std::size_t length = random.next() % 48;
        for (std::size_t i = 0; i < length; ++i)
            line += alphabet[random.next() % alphabet.size()];
        const BenchParseResult r = parseBenchCommand(line);
        EXPECT_NE(r.command.has_value(), !r.error.empty()) << line;
    }
}

} // namespace
} // namespace telvar5::vdrv
