#include "core/stimulus/StimulusOutput.h"

#include <algorithm>

#include "protocol/Requests.h"

namespace telvar5 {

StimulusOutput::StimulusOutput(RunState& run, OutputArrays& arrays, OutputControl& control)
    : run_(run), arrays_(arrays), control_(control)
{
}

bool StimulusOutput::freeFor(std::size_t ch, StimulusOwner owner) const
{
    const StimulusOwner holder = owners_[ch % kChannels];
    return holder == StimulusOwner::None || holder == owner;
}

void StimulusOutput::release(StimulusOwner owner)
{
    for (StimulusOwner& holder : owners_)
        if (holder == owner)
            holder = StimulusOwner::None;
}

bool StimulusOutput::startCyclic(std::size_t ch, std::span<const std::uint32_t> words, StimulusOwner owner)
{
    ch %= kChannels;
    if (words.empty() || words.size() > kOutputWords || !freeFor(ch, owner))
        return false;
    // The start goes through the window's own commands on that channel, then
    // the channel the user was looking at is shown again.
    const int shown = run_.curOutputIndex % kChannels;
    arrays_.SOChange(static_cast<int>(ch));
    OutputRecord& record = run_.outputRecord[ch];
    std::copy(words.begin(), words.end(), record.words.begin());
    const auto size = static_cast<std::uint16_t>(words.size());
    run_.arrayChanged[ch] = true; // laid out by a stimulus: no file holds it
    run_.arraySize[ch] = size;
    run_.arraySizeCopy[ch] = size;
    laidWords_[ch] = record.words;
    laidSize_[ch] = size;
    const bool started = control_.startCyclic();
    arrays_.SOChange(shown);
    if (started)
        owners_[ch] = owner;
    return started;
}

void StimulusOutput::stop(std::size_t ch)
{
    ch %= kChannels;
    const int shown = run_.curOutputIndex % kChannels;
    arrays_.SOChange(static_cast<int>(ch));
    control_.SOstopChannelExecute();
    arrays_.SOChange(shown);
}

bool StimulusOutput::holdsUnsavedArray(std::size_t ch) const
{
    ch %= kChannels;
    if (!run_.arrayChanged[ch])
        return false;
    // A cleared array (cleared by hand, or by a new choice of the module) holds nothing to lose.
    const auto& words = run_.outputRecord[ch].words;
    if (std::all_of(words.begin(), words.end(), [](std::uint32_t w) { return w == 0; }))
        return false;
    return laidSize_[ch] == 0 || run_.arraySize[ch] != laidSize_[ch] || run_.outputRecord[ch].words != laidWords_[ch];
}

std::string StimulusOutput::replaceUnsavedQuestion(std::bitset<kChannels> channels) const
{
    std::string list;
    int count = 0;
    for (std::size_t ch = 0; ch < kChannels; ++ch) {
        if (!channels.test(ch) || !holdsUnsavedArray(ch))
            continue;
        list += (count++ ? ", " : "") + std::to_string(ch + 1);
    }
    if (count == 0)
        return {};
    return count == 1 ? "Массив выходного канала " + list + " изменен и не сохранен в файле. Заменить его?"
                      : "Массивы выходных каналов " + list + " изменены и не сохранены в файле. Заменить их?";
}

bool StimulusOutput::setWord(std::size_t ch, std::uint16_t index, std::uint32_t word)
{
    ch %= kChannels;
    index %= kOutputWords;
    std::uint32_t& held = run_.outputRecord[ch].words[index];
    if (held == word)
        return false;
    held = word;
    if (laidSize_[ch] != 0)
        laidWords_[ch][index] = word;
    if (!transmitting(ch))
        return false;
    control_.updateWord(ch, index);
    ++wordsSent_;
    return true;
}

} // namespace telvar5
