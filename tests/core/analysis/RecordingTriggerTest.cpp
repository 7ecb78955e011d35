// The conditions that start and stop a recording, fed word by word as the tick does.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <vector>

#include "core/analysis/RecordingTrigger.h"

namespace telvar5 {
namespace {

constexpr std::int64_t kMs = 1000;

struct Step {
    std::int64_t timeUs;
    std::uint8_t channel; // 0: no word, only the time after a tick
    std::uint32_t label = 0;
    std::uint32_t ssm = 0;
    std::optional<double> value = {};
};

struct Case {
    const char* name;
    RecordingCondition condition;
    std::vector<Step> steps;
    int firesAt; // the step that meets the condition, -1 for none
};

RecordingCondition cond(ConditionKind kind, double a = 0, double b = 0)
{
    RecordingCondition c;
    c.kind = kind;
    c.channel = 2;
    c.label = 0205;
    c.threshold = a;
    c.low = a;
    c.high = b;
    c.absentUs = static_cast<std::int64_t>(a) * kMs;
    return c;
}

const double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(RecordingTriggerTest, MeetsEachConditionOnceAtTheRightWord)
{
    using K = ConditionKind;
    const std::vector<Case> cases = {
        {"arrives: other channel, other label, then the label",
         cond(K::LabelArrives), {{1, 3, 0205}, {2, 2, 0204}, {3, 2, 0205}, {4, 2, 0205}}, 2},
        {"crosses upward", cond(K::ValueCrosses, 10), {{1, 2, 0205, 0, 5.0}, {2, 2, 0205, 0, 8.0}, {3, 2, 0205, 0, 12.0}}, 2},
        {"crosses downward", cond(K::ValueCrosses, 10), {{1, 2, 0205, 0, 12.0}, {2, 2, 0205, 0, 9.5}}, 1},
        {"a first value past the threshold crosses nothing", cond(K::ValueCrosses, 10), {{1, 2, 0205, 0, 12.0}, {2, 2, 0205, 0, 13.0}}, -1},
        {"a word without a value or with NaN is passed over",
         cond(K::ValueCrosses, 10), {{1, 2, 0205, 0, 5.0}, {2, 2, 0205}, {3, 2, 0205, 0, kNaN}, {4, 2, 0205, 0, 11.0}}, 3},
        {"another label's value does not count",
         cond(K::ValueCrosses, 10), {{1, 2, 0205, 0, 5.0}, {2, 2, 0206, 0, 50.0}, {3, 2, 0205, 0, 6.0}}, -1},
        {"leaves a range above; its edge is inside",
         cond(K::ValueLeavesRange, -5, 100), {{1, 2, 0205, 0, 50.0}, {2, 2, 0205, 0, 100.0}, {3, 2, 0205, 0, 100.5}}, 2},
        {"leaves a range below", cond(K::ValueLeavesRange, -5, 100), {{1, 2, 0205, 0, -5.0}, {2, 2, 0205, 0, -6.0}}, 1},
        {"a first value outside the range counts", cond(K::ValueLeavesRange, -5, 100), {{1, 2, 0205, 0, 150.0}}, 0},
        {"SSM changes; the first word changes nothing",
         cond(K::SsmChanges), {{1, 2, 0205, 3}, {2, 2, 0205, 3}, {3, 2, 0206, 0}, {4, 2, 0205, 1}}, 3},
        {"absent: exactly the time is not longer",
         cond(K::LabelAbsent, 100), {{50 * kMs, 2, 0205}, {150 * kMs, 0}, {150 * kMs + 1, 0}}, 2},
        {"absent from the arming when it never came", cond(K::LabelAbsent, 100), {{99 * kMs, 3, 0205}, {101 * kMs, 0}}, 1},
        {"absent, noticed by another label's word", cond(K::LabelAbsent, 100), {{10 * kMs, 2, 0205}, {200 * kMs, 2, 0206}}, 1},
        {"absent, noticed by the late word itself", cond(K::LabelAbsent, 100), {{10 * kMs, 2, 0205}, {300 * kMs, 2, 0205}}, 1},
        {"arriving in time keeps it from being absent",
         cond(K::LabelAbsent, 100), {{90 * kMs, 2, 0205}, {180 * kMs, 2, 0205}, {250 * kMs, 0}}, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingTrigger trigger(c.condition);
        trigger.arm(0);
        for (std::size_t i = 0; i < c.steps.size(); ++i) {
            const Step& s = c.steps[i];
            const bool now = s.channel == 0
                                 ? trigger.elapse(s.timeUs)
                                 : trigger.feed({s.timeUs, s.channel, s.label | s.ssm << 29 | 0x1234u << 10, s.value});
            EXPECT_EQ(now, static_cast<int>(i) == c.firesAt) << "step " << i;
        }
        EXPECT_EQ(trigger.met(), c.firesAt >= 0);
        if (c.firesAt >= 0) {
            EXPECT_EQ(trigger.metAtUs(), c.steps[static_cast<std::size_t>(c.firesAt)].timeUs);
        }
    }
}

TEST(RecordingTriggerTest, ArmingAgainForgetsWhatItSaw)
{
    RecordingTrigger trigger(cond(ConditionKind::SsmChanges));
    trigger.arm(0);
    trigger.feed({1, 2, 0205u | 1u << 29, {}});
    ASSERT_TRUE(trigger.feed({2, 2, 0205u | 2u << 29, {}}));
    trigger.arm(3);
    EXPECT_FALSE(trigger.met());
    // The SSM before the arming is forgotten: the first word after it changes nothing.
    EXPECT_FALSE(trigger.feed({4, 2, 0205u | 3u << 29, {}}));
    EXPECT_TRUE(trigger.feed({5, 2, 0205u | 0u << 29, {}}));
    EXPECT_EQ(trigger.metAtUs(), 5);
}

} // namespace
} // namespace telvar5
