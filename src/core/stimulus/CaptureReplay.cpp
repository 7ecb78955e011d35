#include "core/stimulus/CaptureReplay.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/RefreshPeriod.h"

namespace telvar5 {

namespace {

constexpr double kMinSpeed = 0.01;
constexpr double kMaxSpeed = 100.0;
constexpr std::int64_t kInt64Max = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kInt64Min = std::numeric_limits<std::int64_t>::min();

// Times come from the file as it is: a damaged one may hold any 64 bits, so
// sums and differences saturate instead of overflowing.
std::int64_t addSaturated(std::int64_t a, std::int64_t b)
{
    if (b > 0 && a > kInt64Max - b)
        return kInt64Max;
    if (b < 0 && a < kInt64Min - b)
        return kInt64Min;
    return a + b;
}

std::int64_t subSaturated(std::int64_t a, std::int64_t b)
{
    if (b == kInt64Min)
        return a >= 0 ? kInt64Max : a - b;
    return addSaturated(a, -b);
}

} // namespace

CaptureReplay::CaptureReplay(const RunState& run, StimulusOutput& output) : run_(run), output_(output)
{
    indexOfLabel_.fill(-1);
}

std::bitset<kChannels> CaptureReplay::channelsIn(const std::filesystem::path& capture, std::string& problem)
{
    std::bitset<kChannels> channels;
    problem.clear();
    CaptureReader reader;
    if (!reader.open(capture)) {
        problem = reader.problem();
        return channels;
    }
    CaptureEntry entry{};
    while (reader.next(entry) && !channels.all())
        if (entry.channel >= 1 && entry.channel <= kChannels)
            channels.set(entry.channel - 1u);
    // A file cut inside its last entry plays its whole entries: the channels, and the damage named.
    // One without a whole entry has only its damage to name.
    const bool damagedEmpty = reader.entryCount() == 0 && !reader.problem().empty();
    problem = channels.none() && !damagedEmpty ? "В файле записи нет ни одного слова входных каналов 1..8."
                                               : reader.problem();
    return channels;
}

std::string CaptureReplay::start(const ReplaySettings& settings, std::int64_t nowUs)
{
    if (running_)
        return "Воспроизведение уже идет: сначала остановите его.";
    if (!std::isfinite(settings.speed) || settings.speed < kMinSpeed || settings.speed > kMaxSpeed)
        return "Скорость воспроизведения должна быть от 0,01 до 100.";
    if (settings.fromChannel < 1 || settings.fromChannel > kChannels)
        return "Входной канал записи должен быть от 1 до 8.";
    if (!run_.deviceChosen || run_.deviceHandle == kNoDevice || run_.deviceHandle == kInvalidHandle)
        return "Модуль не выбран.";
    if (settings.toChannel < 1 || settings.toChannel > kChannels
        || static_cast<std::uint32_t>(settings.toChannel) > run_.soChannelCount)
        return "У модуля нет выходного канала " + std::to_string(settings.toChannel) + ".";
    const auto ch = static_cast<std::size_t>(settings.toChannel - 1);
    if (!output_.freeFor(ch, StimulusOwner::Replay))
        return "Выходной канал " + std::to_string(settings.toChannel) + " занят генератором параметров.";

    settings_ = settings;
    if (!reader_.open(settings.capture))
        return reader_.problem();
    const std::int32_t periodMs = std::clamp(reader_.header().refreshPeriodMs, 1, kMaxRefreshPeriodMs);
    lapGapUs_ = std::int64_t{periodMs} * 1000;
    if (std::string reason = scan(); !reason.empty()) {
        reader_.close();
        return reason;
    }

    std::vector<std::uint32_t> words;
    words.reserve(labels_.size());
    for (std::uint8_t label : labels_)
        words.push_back(pending_[label]);
    if (!output_.startCyclic(ch, words, StimulusOwner::Replay)) {
        reader_.close();
        return "Модуль не принял пуск выходного канала " + std::to_string(settings.toChannel) + ".";
    }

    reader_.rewind();
    lapTimeline_ = {};
    haveAhead_ = false;
    touched_.reset();
    lapOffsetUs_ = 0;
    takenInLap_ = 0;
    startUs_ = nowUs;
    running_ = true;
    return {};
}

std::string CaptureReplay::scan()
{
    labels_.clear();
    indexOfLabel_.fill(-1);
    progress_ = {};
    lapEntries_ = 0;
    CaptureEntry entry{};
    Timeline timeline;
    while (nextOfChannel(entry)) {
        const std::uint8_t label = static_cast<std::uint8_t>(entry.word & 0xFFu);
        if (lapEntries_++ == 0)
            firstUs_ = entry.timeUs;
        // Times going back (a damaged file) play at once: the lap lasts up to its latest entry.
        progress_.lengthUs = std::max(progress_.lengthUs, playedUs(entry.timeUs, timeline));
        if (indexOfLabel_[label] < 0) {
            indexOfLabel_[label] = static_cast<std::int16_t>(labels_.size());
            labels_.push_back(label);
            pending_[label] = entry.word;
        }
    }
    if (lapEntries_ == 0)
        return "В записи нет слов входного канала " + std::to_string(settings_.fromChannel) + ".";
    progress_.gapsCut = timeline.gapsCut;
    progress_.cutUs = timeline.cutUs;
    return {};
}

std::int64_t CaptureReplay::playedUs(std::int64_t timeUs, Timeline& timeline) const
{
    // Measured from the latest time so far: a time that went back and came again is no jump.
    if (timeline.started && settings_.longestGapUs > 0) {
        const std::int64_t jump = subSaturated(timeUs, timeline.latestUs);
        if (jump > settings_.longestGapUs && jump > lapGapUs_) {
            timeline.cutUs = addSaturated(timeline.cutUs, jump - lapGapUs_);
            ++timeline.gapsCut;
        }
    }
    timeline.latestUs = timeline.started ? std::max(timeline.latestUs, timeUs) : timeUs;
    timeline.started = true;
    return subSaturated(subSaturated(timeUs, firstUs_), timeline.cutUs);
}

void CaptureReplay::stop()
{
    if (!running_)
        return;
    running_ = false;
    reader_.close();
    if (output_.transmitting(channelIndex()))
        output_.stop(channelIndex());
    output_.release(StimulusOwner::Replay);
}

bool CaptureReplay::nextOfChannel(CaptureEntry& entry)
{
    while (reader_.next(entry))
        if (entry.channel == settings_.fromChannel)
            return true;
    return false;
}

std::int64_t CaptureReplay::replayUs(std::int64_t nowUs) const
{
    const std::int64_t elapsed = std::max<std::int64_t>(0, subSaturated(nowUs, startUs_));
    const double scaled = static_cast<double>(elapsed) * settings_.speed;
    // Far beyond any capture, and still far from overflowing the sums below.
    constexpr double kFar = 4.0e18;
    return scaled >= kFar ? static_cast<std::int64_t>(kFar) : std::llround(scaled);
}

bool CaptureReplay::nextLap(std::int64_t reachedUs)
{
    // No loop, or a file that lost the channel's entries since the start.
    if (!settings_.loop || takenInLap_ == 0) {
        reader_.close(); // nothing more to read: the capture may be moved or removed
        progress_.finished = true;
        progress_.positionUs = progress_.lengthUs;
        return false;
    }
    const std::int64_t lapUs = addSaturated(progress_.lengthUs, lapGapUs_);
    ++progress_.lap;
    lapOffsetUs_ = addSaturated(lapOffsetUs_, lapUs);
    // Laps wholly past (a short capture at a high speed, a late tick) end
    // where any lap ends, every label at its last value: count them only.
    const std::int64_t behind = subSaturated(reachedUs, lapOffsetUs_);
    if (behind >= lapUs) {
        const std::int64_t skipped = behind / lapUs;
        constexpr std::int64_t kMostLaps = std::numeric_limits<std::uint32_t>::max();
        progress_.lap += static_cast<std::uint32_t>(std::min(skipped, kMostLaps));
        progress_.entriesApplied += static_cast<std::uint64_t>(skipped) * lapEntries_;
        lapOffsetUs_ = addSaturated(lapOffsetUs_, skipped * lapUs);
    }
    reader_.rewind();
    lapTimeline_ = {};
    takenInLap_ = 0;
    return true;
}

std::bitset<kChannels> CaptureReplay::tick(std::int64_t nowUs)
{
    std::bitset<kChannels> changed;
    if (!running_)
        return changed;
    const std::size_t ch = channelIndex();
    if (!output_.transmitting(ch)) {
        running_ = false;
        reader_.close();
        output_.release(StimulusOwner::Replay);
        return changed;
    }
    if (progress_.finished)
        return changed;

    const std::int64_t reachedUs = replayUs(nowUs);
    for (;;) {
        if (!haveAhead_) {
            if (!(haveAhead_ = nextOfChannel(ahead_))) {
                if (!nextLap(reachedUs))
                    break;
                continue;
            }
            aheadPlayedUs_ = playedUs(ahead_.timeUs, lapTimeline_);
        }
        const std::int64_t dueUs = addSaturated(lapOffsetUs_, aheadPlayedUs_);
        if (dueUs > reachedUs)
            break;
        const std::uint8_t label = static_cast<std::uint8_t>(ahead_.word & 0xFFu);
        // A label missing from the array came from a file changed since the start: it has no word to go to.
        if (indexOfLabel_[label] >= 0) {
            pending_[label] = ahead_.word;
            touched_.set(label);
        }
        ++progress_.entriesApplied;
        ++takenInLap_;
        haveAhead_ = false;
    }

    if (touched_.any()) {
        for (std::uint8_t label : labels_) {
            if (!touched_.test(label))
                continue;
            if (output_.setWord(ch, static_cast<std::uint16_t>(indexOfLabel_[label]), pending_[label])) {
                ++progress_.wordsSent;
                changed.set(ch);
            }
        }
        touched_.reset();
    }
    if (!progress_.finished)
        progress_.positionUs = std::clamp<std::int64_t>(subSaturated(reachedUs, lapOffsetUs_), 0, progress_.lengthUs);
    return changed;
}

} // namespace telvar5
