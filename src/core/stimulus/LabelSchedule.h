#pragma once
// Lays out a channel's cyclic array so that each label recurs at its own
// interval. The module sends the array word after word without pause, so a
// label that should come k times a pass takes k words spread evenly over it;
// words no label needs carry a filler word. The pass (the array's length
// times the word time) is chosen so that the intervals come out as close to
// the requested ones as 256 words at most allow.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace telvar5 {

// One row of a channel as the schedule sees it.
struct ScheduledLabel {
    double intervalMs = 0.0; // 0 (or less): once per pass of the array
    int line = 0;            // how a refusal names the row (its file line)
};

struct LabelLayout {
    // The row each word of the array carries (an index into the rows), or
    // kFillerWord; empty when refused.
    std::vector<int> words;
    std::vector<double> achievedMs; // per row: the pass divided by its words in it
    std::string problem;            // empty when laid out; else why not (Russian)
};

class LabelSchedule {
public:
    static constexpr int kFillerWord = -1;
    // An interval that comes out further off than this share is refused.
    static constexpr double kTolerance = 0.10;

    explicit LabelSchedule(std::int32_t wordTimeUs, std::size_t maxWords = 256);

    // Rows without an interval keep one word each; with none of them timed
    // the array is the rows in order, one word each. At most maxWords rows.
    LabelLayout lay(std::span<const ScheduledLabel> rows) const;

private:
    struct Counts {
        std::vector<int> perRow; // words of each row in the pass
        double worst = 0.0;      // the largest relative error of a timed row
        std::size_t worstRow = 0;
    };
    // The words per row for a pass of n words, or false when n cannot hold them.
    bool countsFor(std::span<const ScheduledLabel> rows, std::size_t n, Counts& counts) const;
    double errorOf(double intervalMs, std::size_t n, int count) const;
    double passMs(std::size_t n) const;
    // The array of that many words per row; words no row takes are filler.
    static std::vector<int> place(const std::vector<int>& perRow, std::size_t length);
    // How far, in words, the most uneven gap between a row's words lies from its share.
    static double unevenness(const std::vector<int>& words, const std::vector<int>& perRow);

    std::int32_t wordTimeUs_;
    std::size_t maxWords_;
};

} // namespace telvar5
