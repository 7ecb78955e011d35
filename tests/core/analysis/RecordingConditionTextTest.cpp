// Conditions as typed in the window and on the command line, and as the lines tell them.
#include <gtest/gtest.h>

#include "core/analysis/RecordingConditionText.h"

namespace telvar5 {
namespace {

TEST(RecordingConditionTextTest, ReadsWhatIsWellFormedAndTellsIt)
{
    const struct {
        const char* typed;
        const char* told; // nullptr: refused
    } cases[] = {
        {"arrive:1:205", "пришла метка 205 канала 1"},
        {"cross:8:377:-12,5", "метка 377 канала 8 пересекла -12.5"},
        {"range:2:010:+0.5:100", "метка 010 канала 2 вышла из 0.5…100"},
        {"ssm:3:000", "метка 000 канала 3: сменилась SSM"},
        {"absent:4:270:1500", "метка 270 канала 4 не приходит дольше 1500 мс"},
        {"arrive:0:205", nullptr},
        {"arrive:9:205", nullptr},
        {"arrive:1:208", nullptr},  // not octal
        {"arrive:1:0205", nullptr}, // three digits
        {"arrive:1:205:5", nullptr},
        {"cross:1:205", nullptr},
        {"cross:1:205:1e3x", nullptr},
        {"cross:1:205:inf", nullptr},
        {"range:1:205:10:5", nullptr}, // low above high
        {"absent:1:205:0", nullptr},
        {"absent:1:205:-5", nullptr},
        {"absent:1:205:86400001", nullptr},
        {"ssm:1:", nullptr},
        {"ssm", nullptr},
        {"", nullptr},
        {"label:1:205", nullptr},
    };
    for (const auto& c : cases) {
        const auto condition = parseRecordingCondition(c.typed);
        if (!c.told) {
            EXPECT_FALSE(condition) << c.typed;
            continue;
        }
        ASSERT_TRUE(condition) << c.typed;
        EXPECT_EQ(recordingConditionText(*condition), c.told) << c.typed;
    }
    const struct {
        const char* typed;
        std::optional<std::int64_t> us;
    } pre[] = {{"0", 0}, {"2,5", 2'500'000}, {"0.0000004", 0}, {"3600", 3'600'000'000}, {"3600.1", std::nullopt},
               {"-1", std::nullopt}, {"", std::nullopt}, {"1 с", std::nullopt}};
    for (const auto& p : pre)
        EXPECT_EQ(parsePreTriggerUs(p.typed), p.us) << p.typed;

    const auto absent = parseRecordingCondition("absent:4:270:1500");
    ASSERT_TRUE(absent);
    EXPECT_EQ(absent->absentUs, 1'500'000);
    EXPECT_EQ(absent->label, 0270);
}

} // namespace
} // namespace telvar5
