// The layout of a channel's array by label intervals: what each row gets,
// how evenly its words lie, and what is refused.
#include "core/stimulus/LabelSchedule.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace telvar5 {
namespace {

struct ScheduleCase {
    const char* name;
    std::int32_t wordTimeUs;
    std::vector<ScheduledLabel> rows;
    std::vector<int> expectedWords;     // checked when not empty
    std::vector<double> expectedMs;     // checked when not empty
    std::vector<const char*> refusal;   // parts of the refusal; empty: laid out
};

// The positions of a row's words in the array.
std::vector<std::size_t> positionsOf(const std::vector<int>& words, int row)
{
    std::vector<std::size_t> at;
    for (std::size_t i = 0; i < words.size(); ++i)
        if (words[i] == row)
            at.push_back(i);
    return at;
}

TEST(LabelScheduleTest, LaysOutOrRefuses)
{
    const std::vector<ScheduleCase> cases = {
        {"untimed rows keep the array as today", 720, {{0, 3}, {0, 4}, {0, 5}}, {0, 1, 2}, {2.16, 2.16, 2.16}, {}},
        {"exact rates share the pass", 720, {{1.44, 2}, {2.88, 3}, {0, 4}}, {}, {1.44, 2.88, 2.88}, {}},
        {"slow labels leave filler words", 360, {{20, 2}, {50, 3}, {25, 9}}, {}, {}, {}},
        {"uneven rates in a crowded pass", 360, {{1.08, 2}, {1.44, 3}, {2.5, 5}, {0, 4}}, {}, {}, {}},
        {"many labels on the slowest rate", 2880, {{25, 1}, {50, 2}, {100, 3}, {100, 4}, {200, 5}, {0, 6}}, {}, {}, {}},
        {"interval below the bus capacity", 360, {{0.36, 4}, {0.36, 7}}, {}, {}, {"Строка 4", "0.36 мс", "0.72 мс"}},
        {"interval beyond the longest pass", 360, {{5, 2}, {1000, 7}}, {}, {}, {"Строка 7", "1000 мс", "92.16 мс"}},
    };
    for (const ScheduleCase& c : cases) {
        SCOPED_TRACE(c.name);
        const LabelLayout layout = LabelSchedule(c.wordTimeUs).lay(c.rows);
        if (!c.refusal.empty()) {
            EXPECT_TRUE(layout.words.empty());
            for (const char* part : c.refusal)
                EXPECT_NE(layout.problem.find(part), std::string::npos) << layout.problem;
            continue;
        }
        ASSERT_EQ(layout.problem, "");
        ASSERT_EQ(layout.achievedMs.size(), c.rows.size());
        ASSERT_FALSE(layout.words.empty());
        ASSERT_LE(layout.words.size(), 256u);
        if (!c.expectedWords.empty()) {
            EXPECT_EQ(layout.words, c.expectedWords);
        }
        const double wordMs = c.wordTimeUs / 1000.0;
        const double passMs = static_cast<double>(layout.words.size()) * wordMs;
        for (std::size_t r = 0; r < c.rows.size(); ++r) {
            SCOPED_TRACE(r);
            if (!c.expectedMs.empty()) {
                EXPECT_NEAR(layout.achievedMs[r], c.expectedMs[r], 1e-9);
            }
            if (c.rows[r].intervalMs > 0) {
                EXPECT_LE(std::abs(layout.achievedMs[r] - c.rows[r].intervalMs), 0.1 * c.rows[r].intervalMs);
            }
            // The row's words around the cycle lie within one word time of its interval.
            const std::vector<std::size_t> at = positionsOf(layout.words, static_cast<int>(r));
            ASSERT_FALSE(at.empty());
            EXPECT_NEAR(passMs / static_cast<double>(at.size()), layout.achievedMs[r], 1e-9);
            for (std::size_t k = 0; k < at.size(); ++k) {
                const std::size_t next = k + 1 < at.size() ? at[k + 1] : at[0] + layout.words.size();
                EXPECT_LE(std::abs(static_cast<double>(next - at[k]) * wordMs - layout.achievedMs[r]), wordMs + 1e-9);
            }
        }
    }
}

} // namespace
} // namespace telvar5
