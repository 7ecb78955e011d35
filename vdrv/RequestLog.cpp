#include "vdrv/RequestLog.h"

#include <algorithm>

namespace telvar5::vdrv {

RequestLog::RequestLog() : ring_(kRequestLogCapacity) {}

LogEntry& RequestLog::append()
{
    LogEntry& e = ring_[head_];
    head_ = (head_ + 1) % kRequestLogCapacity;
    size_ = std::min(size_ + 1, kRequestLogCapacity);
    e.sequence = ++sequence_;
    return e;
}

std::vector<LogEntry> RequestLog::last(std::size_t n) const
{
    n = std::min(n, size_);
    std::vector<LogEntry> out;
    out.reserve(n);
    for (std::size_t i = 0; i < n; ++i)
        out.push_back(ring_[(head_ + kRequestLogCapacity - n + i) % kRequestLogCapacity]);
    return out;
}

void RequestLog::clear()
{
    size_ = 0; // the sequence goes on, so a gap shows what was cleared
}

} // namespace telvar5::vdrv
