// Waveforms: their values over time and their text in the generator file.
#include <gtest/gtest.h>

#include <cmath>

#include "core/stimulus/WaveformSignal.h"

namespace telvar5 {
namespace {

TEST(WaveformTest, ValuesOverTime)
{
    struct Case {
        const char* text;
        double t;
        double value;
    };
    const Case cases[] = {
        {"const 35000", 0, 35000},        {"const -2.5", 1e6, -2.5},
        {"ramp 0 40000 60 repeat", 0, 0}, {"ramp 0 40000 60 repeat", 15, 10000},
        {"ramp 0 40000 60 repeat", 75, 10000}, // again from the start
        {"ramp 100 0 10 hold", 5, 50},    {"ramp 100 0 10 hold", 10, 0}, {"ramp 100 0 10 hold", 500, 0},
        {"sine 250 50 4 ", 0, 250},       {"sine 250 50 4", 1, 300},     {"sine 250 50 4", 3, 200},
        {"square 1 2 10", 4.9, 1},        {"square 1 2 10", 5, 2},       {"square 1 2 10", 10, 1},
        {"step 0 7 3", 2.9, 0},           {"step 0 7 3", 3, 7},          {"step 0 7 3", 1e5, 7},
        {"ramp 0 10 10 repeat", -5, 0},   // before the start: the start
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.text << " at " << c.t);
        const auto w = parseWaveform(c.text);
        ASSERT_TRUE(w.has_value());
        WaveformSignal signal(*w);
        EXPECT_NEAR(signal.valueAt(c.t), c.value, 1e-9);
    }
}

TEST(WaveformTest, RandomWalkStaysWithinItsLimitsAndRepeatsFromItsSeed)
{
    const Waveform walk = *parseWaveform("walk -10 10 50 42");
    WaveformSignal a(walk), b(walk), other(*parseWaveform("walk -10 10 50 43"));
    double largestStep = 0.0, previous = 0.0;
    bool differs = false;
    for (int tick = 0; tick <= 2000; ++tick) {
        const double t = tick * 0.1;
        const double v = a.valueAt(t);
        ASSERT_GE(v, -10.0);
        ASSERT_LE(v, 10.0);
        ASSERT_EQ(v, b.valueAt(t)); // same seed, same walk
        differs = differs || other.valueAt(t) != v;
        if (tick > 0)
            largestStep = std::max(largestStep, std::fabs(v - previous));
        previous = v;
    }
    EXPECT_TRUE(differs);
    EXPECT_LE(largestStep, 50 * 0.1 + 1e-9); // at most the rate a second
    EXPECT_GT(largestStep, 0.0);
}

TEST(WaveformTest, TextReadsBackAndBadTextIsRefused)
{
    const char* good[] = {"const 35000", "ramp 0 40000 60 repeat", "ramp -1.5 2.25 0.5 hold", "sine 250 50 30",
                          "square 0 1 10", "step 0 100 2", "walk 100 200 5 18446744073709551615",
                          "const 0.1", "const 1e-07"};
    for (const char* text : good) {
        const auto w = parseWaveform(text);
        ASSERT_TRUE(w.has_value()) << text;
        EXPECT_EQ(parseWaveform(waveformText(*w)), w) << text;
    }
    EXPECT_EQ(waveformText(*parseWaveform("const 0.1")), "const 0.1");

    const char* bad[] = {"", "saw 1 2 3", "const", "const 1 2", "const x", "const 1,5", "const nan", "const inf",
                         "ramp 0 1 0 repeat", "ramp 0 1 -2 hold", "ramp 0 1 5", "ramp 0 1 5 again",
                         "sine 0 1", "square 0 1 0", "step 0 1 -1", "walk 10 0 1 1", "walk 0 10 -1 1",
                         "walk 0 10 1 -1", "walk 0 10 1 x"};
    for (const char* text : bad)
        EXPECT_FALSE(parseWaveform(text).has_value()) << text;
}

} // namespace
} // namespace telvar5
