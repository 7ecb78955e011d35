#include "core/analysis/WordLog.h"

#include <algorithm>

#include "formats/ArincWord.h"

namespace telvar5 {

WordLog::WordLog()
{
    clear();
}

void WordLog::clear()
{
    entries_.clear();
    rows_.clear();
    for (auto& channel : lastUs_)
        channel.fill(-1);
    lost_ = 0;
}

void WordLog::append(const CaptureEntry& entry)
{
    WordLogEntry logged{entry, -1};
    if (entry.channel >= 1 && entry.channel <= kChannels) {
        std::int64_t& last = lastUs_[entry.channel - 1u][wordLabel(entry.word)];
        // A time running backwards (a damaged file) gives no interval rather than a negative one.
        if (last >= 0 && entry.timeUs >= last)
            logged.sinceSameLabelUs = entry.timeUs - last;
        last = entry.timeUs;
    }
    entries_.push_back(logged);
    if (filter_.matches(entry))
        rows_.push_back(entries_.size() - 1);
}

std::size_t WordLog::follow(const CaptureRing& ring, std::size_t limit)
{
    // Past the ring's head: another ring (a new capture) now feeds the log.
    if (!ringCursor_ || *ringCursor_ > ring.head())
        ringCursor_ = ring.oldest();
    std::size_t appended = 0;
    while (appended < limit && *ringCursor_ < ring.head()) {
        copyBuffer_.resize(std::min<std::size_t>(limit - appended, 4096));
        const CaptureRange got = ring.copy(*ringCursor_, copyBuffer_);
        lost_ += got.first - *ringCursor_;
        for (std::size_t i = 0; i < got.count; ++i)
            append(copyBuffer_[i]);
        appended += got.count;
        *ringCursor_ = got.first + got.count;
        if (got.count == 0)
            break;
    }
    return appended;
}

void WordLog::setFilter(const WordLogFilter& filter)
{
    filter_ = filter;
    rows_.clear();
    for (std::size_t i = 0; i < entries_.size(); ++i)
        if (filter_.matches(entries_[i].entry))
            rows_.push_back(i);
}

std::optional<std::size_t> WordLog::findNext(std::size_t fromRow,
                                             const std::function<bool(const CaptureEntry&)>& wanted) const
{
    for (std::size_t r = fromRow + 1; r < rows_.size(); ++r)
        if (wanted(entries_[rows_[r]].entry))
            return r;
    return std::nullopt;
}

std::optional<std::size_t> WordLog::findNextLabel(std::size_t fromRow) const
{
    if (fromRow >= rows_.size())
        return std::nullopt;
    const CaptureEntry& from = row(fromRow).entry;
    return findNext(fromRow, [&from](const CaptureEntry& e) {
        return e.channel == from.channel && wordLabel(e.word) == wordLabel(from.word);
    });
}

std::optional<std::size_t> WordLog::findNextValue(std::size_t fromRow, const WordLogRowText& text) const
{
    if (fromRow >= rows_.size())
        return std::nullopt;
    const std::string value = text.value(row(fromRow).entry);
    if (value.empty())
        return std::nullopt;
    return findNext(fromRow, [&](const CaptureEntry& e) { return text.value(e) == value; });
}

} // namespace telvar5
