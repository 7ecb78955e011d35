#include "core/stimulus/LabelSchedule.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <queue>
#include <utility>

#include "core/stimulus/MillisecondsText.h"

namespace telvar5 {

namespace {
bool timed(const ScheduledLabel& row) { return std::isfinite(row.intervalMs) && row.intervalMs > 0.0; }
} // namespace

LabelSchedule::LabelSchedule(std::int32_t wordTimeUs, std::size_t maxWords)
    : wordTimeUs_(wordTimeUs > 0 ? wordTimeUs : 1), maxWords_(maxWords)
{
}

double LabelSchedule::passMs(std::size_t n) const { return static_cast<double>(n) * wordTimeUs_ / 1000.0; }

double LabelSchedule::errorOf(double intervalMs, std::size_t n, int count) const
{
    return std::abs(passMs(n) / count - intervalMs) / intervalMs;
}

bool LabelSchedule::countsFor(std::span<const ScheduledLabel> rows, std::size_t n, Counts& counts) const
{
    counts.perRow.assign(rows.size(), 1);
    std::size_t used = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (timed(rows[i])) {
            const double ideal = passMs(n) / rows[i].intervalMs;
            counts.perRow[i] = static_cast<int>(std::max(1.0, std::min(std::round(ideal), static_cast<double>(n - rows.size() + 1))));
        }
        used += static_cast<std::size_t>(counts.perRow[i]);
    }
    // Too many words for the pass: take one at a time from the row that
    // suffers least by it.
    using Candidate = std::pair<double, std::size_t>; // the error after taking one, the row
    std::priority_queue<Candidate, std::vector<Candidate>, std::greater<>> cheapest;
    const auto offer = [&](std::size_t i) {
        if (timed(rows[i]) && counts.perRow[i] > 1)
            cheapest.emplace(errorOf(rows[i].intervalMs, n, counts.perRow[i] - 1), i);
    };
    if (used > n)
        for (std::size_t i = 0; i < rows.size(); ++i)
            offer(i);
    while (used > n) {
        if (cheapest.empty())
            return false;
        const std::size_t i = cheapest.top().second;
        cheapest.pop();
        --counts.perRow[i];
        --used;
        offer(i);
    }
    counts.worst = 0.0;
    counts.worstRow = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (!timed(rows[i]))
            continue;
        const double e = errorOf(rows[i].intervalMs, n, counts.perRow[i]);
        if (e > counts.worst) {
            counts.worst = e;
            counts.worstRow = i;
        }
    }
    return true;
}

std::vector<int> LabelSchedule::place(const std::vector<int>& perRow, std::size_t length)
{
    // The most frequent rows first, each at the offset where its words, a
    // pass divided by its count apart, find their places free; a word whose
    // place is taken (only in a crowded pass) goes to the nearest free one.
    // Words no row takes are filler.
    std::vector<int> words(length, kFillerWord);
    std::vector<std::size_t> order(perRow.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return perRow[a] > perRow[b]; });
    const auto placeOf = [length](std::size_t offset, std::size_t j, std::size_t count) {
        return (offset + j * length / count) % length;
    };
    for (const std::size_t r : order) {
        const auto count = static_cast<std::size_t>(perRow[r]);
        std::size_t bestOffset = 0;
        std::size_t fewestTaken = count + 1;
        for (std::size_t offset = 0; offset < (length + count - 1) / count && fewestTaken > 0; ++offset) {
            std::size_t taken = 0;
            for (std::size_t j = 0; j < count; ++j)
                taken += words[placeOf(offset, j, count)] != kFillerWord ? 1 : 0;
            if (taken < fewestTaken) {
                fewestTaken = taken;
                bestOffset = offset;
            }
        }
        for (std::size_t j = 0; j < count; ++j) {
            const std::size_t want = placeOf(bestOffset, j, count);
            for (std::size_t d = 0; d < length; ++d) {
                const std::size_t later = (want + d) % length;
                const std::size_t earlier = (want + length - d) % length;
                const std::size_t free = words[later] == kFillerWord ? later : earlier;
                if (words[free] == kFillerWord) {
                    words[free] = static_cast<int>(r);
                    break;
                }
            }
        }
    }
    return words;
}

double LabelSchedule::unevenness(const std::vector<int>& words, const std::vector<int>& perRow)
{
    // The largest distance, in words, of a gap between a row's words from the pass divided by their count.
    std::vector<std::size_t> first(perRow.size(), words.size()), last(perRow.size(), 0);
    double worst = 0.0;
    const auto n = static_cast<double>(words.size());
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (words[i] == kFillerWord)
            continue;
        const auto r = static_cast<std::size_t>(words[i]);
        if (first[r] != words.size())
            worst = std::max(worst, std::abs(static_cast<double>(i - last[r]) - n / perRow[r]));
        else
            first[r] = i;
        last[r] = i;
    }
    for (std::size_t r = 0; r < perRow.size(); ++r)
        if (first[r] != words.size())
            worst = std::max(worst, std::abs(static_cast<double>(first[r]) + n - static_cast<double>(last[r]) - n / perRow[r]));
    return worst;
}

LabelLayout LabelSchedule::lay(std::span<const ScheduledLabel> rows) const
{
    LabelLayout out;
    if (rows.empty())
        return out;
    if (rows.size() > maxWords_) {
        out.problem = "Строка " + std::to_string(rows[maxWords_].line) + ": в массиве канала не больше " +
            std::to_string(maxWords_) + " слов.";
        return out;
    }
    bool anyTimed = false;
    for (const ScheduledLabel& row : rows)
        anyTimed = anyTimed || timed(row);

    // Among the passes that meet every interval, the one whose words lie
    // most evenly, then the closest; when none meets them, the closest, for
    // the refusal.
    std::size_t length = rows.size();
    Counts best;
    countsFor(rows, length, best); // one word a row always fits
    std::vector<int> words = place(best.perRow, length);
    double uneven = unevenness(words, best.perRow);
    for (std::size_t n = rows.size() + 1; anyTimed && n <= maxWords_; ++n) {
        Counts c;
        if (!countsFor(rows, n, c))
            continue;
        const bool meets = c.worst <= kTolerance, bestMeets = best.worst <= kTolerance;
        if (!meets) {
            if (!bestMeets && c.worst < best.worst - 1e-9) {
                best = std::move(c);
                length = n;
            }
            continue;
        }
        std::vector<int> laid = place(c.perRow, n);
        const double u = unevenness(laid, c.perRow);
        if (!bestMeets || u < uneven - 1e-9 || (u < uneven + 1e-9 && c.worst < best.worst - 1e-9)) {
            best = std::move(c);
            length = n;
            words = std::move(laid);
            uneven = u;
        }
    }
    out.achievedMs.resize(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i)
        out.achievedMs[i] = passMs(length) / best.perRow[i];
    if (best.worst > kTolerance) {
        const ScheduledLabel& row = rows[best.worstRow];
        out.problem = "Строка " + std::to_string(row.line) + ": интервал " + millisecondsText(row.intervalMs) +
            " мс не выдержать с точностью 10 % (массив не длиннее " + std::to_string(maxWords_) +
            " слов по " + millisecondsText(wordTimeUs_ / 1000.0) + " мс); ближайший возможный — " +
            millisecondsText(out.achievedMs[best.worstRow]) + " мс.";
        return out;
    }
    out.words = std::move(words);
    return out;
}

} // namespace telvar5
