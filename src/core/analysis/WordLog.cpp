#include "core/analysis/WordLog.h"

#include <algorithm>

#include "formats/ArincWord.h"

namespace telvar5 {

WordLog::WordLog(std::size_t capacity) : capacity_(std::max<std::size_t>(capacity, 1))
{
    clear();
}

void WordLog::clear()
{
    firstEntry_ += entries_.size();
    entries_.clear();
    rows_.clear();
    rowsDropped_ = 0;
    wordsDropped_ = 0;
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
    if (entries_.size() == capacity_) {
        const std::size_t chunk = std::max<std::size_t>(capacity_ / 16, 1);
        entries_.erase(entries_.begin(), entries_.begin() + static_cast<std::ptrdiff_t>(chunk));
        firstEntry_ += chunk;
        wordsDropped_ += chunk;
        while (!rows_.empty() && rows_.front() < firstEntry_) {
            rows_.pop_front();
            ++rowsDropped_;
        }
    }
    entries_.push_back(logged);
    if (filter_.matches(entry))
        rows_.push_back(firstEntry_ + entries_.size() - 1);
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
    rowsDropped_ = 0;
    for (std::size_t i = 0; i < entries_.size(); ++i)
        if (filter_.matches(entries_[i].entry))
            rows_.push_back(firstEntry_ + i);
}

bool WordLog::row(std::uint64_t r, WordLogEntry& out)
{
    if (r >= rows_.size())
        return false;
    out = row(static_cast<std::size_t>(r));
    return true;
}

std::optional<std::uint64_t> WordLog::findNext(std::uint64_t fromRow,
                                               const std::function<bool(const CaptureEntry&)>& wanted)
{
    for (std::uint64_t r = fromRow + 1; r < rows_.size(); ++r)
        if (wanted(row(static_cast<std::size_t>(r)).entry))
            return r;
    return std::nullopt;
}

} // namespace telvar5
