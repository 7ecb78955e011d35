#pragma once
// The physical values of one (input channel, label) pair over time, for a
// trend plot: a ring of points of fixed size allocated when the pair is
// chosen, fed from the capture ring through a cursor of its own.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/analysis/CaptureRing.h"
#include "formats/DecimalFormat.h"

namespace telvar5 {

struct TrendPoint {
    std::int64_t timeUs = 0; // capture time
    double value = 0.0;      // the decoded value with its sign
    bool operator==(const TrendPoint&) const = default;
};

struct TrendValueRange {
    double min = 0.0;
    double max = 0.0;
    bool operator==(const TrendValueRange&) const = default;
};

class TrendSeries {
public:
    static constexpr std::size_t kDefaultCapacity = 65536;

    // Nothing is read until the first feed().
    TrendSeries(std::uint8_t channelNo, std::uint8_t label, const DecimalFormat& format,
                std::size_t capacity = kDefaultCapacity);

    std::uint8_t channelNo() const noexcept { return channelNo_; }
    std::uint8_t label() const noexcept { return label_; }
    const DecimalFormat& format() const noexcept { return format_; }

    // On the thread of the tick: takes the words of its channel and label the
    // ring published since the last call; the first call takes all the history
    // the ring still holds. If the ring went round past the cursor, reading
    // resumes at the oldest entry held. Values a damaged format makes infinite
    // or NaN are left out.
    void feed(const CaptureRing& ring);

    // Entries (of any channel) the ring overwrote before this series read them.
    std::uint64_t missed() const noexcept { return missed_; }

    // Points added since the series was made, those the ring of points let go of included:
    // a plot that mirrors the series takes the last added() - (what it took before) of them.
    std::uint64_t added() const noexcept { return added_; }

    std::size_t size() const noexcept { return size_; }
    std::size_t capacity() const noexcept { return points_.size(); }
    // Point i in time order, 0 the oldest held; i must be below size().
    const TrendPoint& point(std::size_t i) const noexcept { return points_[(start_ + i) % points_.size()]; }

    // The lowest and the highest value within [fromUs, toUs], if a point lies there.
    std::optional<TrendValueRange> valueRange(std::int64_t fromUs, std::int64_t toUs) const noexcept;

private:
    void add(const TrendPoint& p) noexcept;
    // The first point index whose time is not below t (size() if none).
    std::size_t lowerBound(std::int64_t t) const noexcept;
    std::size_t upperBound(std::int64_t t) const noexcept;

    std::uint8_t channelNo_;
    std::uint8_t label_;
    DecimalFormat format_;
    std::vector<TrendPoint> points_;
    std::size_t start_ = 0;
    std::size_t size_ = 0;
    std::uint64_t added_ = 0;
    std::uint64_t next_ = 0; // the next capture entry to read
    bool fed_ = false;
    std::uint64_t missed_ = 0;
};

} // namespace telvar5
