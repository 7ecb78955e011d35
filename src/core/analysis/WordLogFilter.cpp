#include "core/analysis/WordLogFilter.h"

#include "formats/ArincWord.h"

namespace telvar5 {

namespace {

bool isSeparator(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == ',' || c == ';';
}

// The labels whose three octal digits start with `item`: none when it is no such start.
std::bitset<256> labelsStartingWith(std::string_view item)
{
    std::bitset<256> labels;
    if (item.size() > 3)
        return labels;
    unsigned start = 0;
    for (const char c : item) {
        if (c < '0' || c > '7')
            return labels;
        start = start * 8 + static_cast<unsigned>(c - '0');
    }
    const unsigned span = 1u << (3 * (3 - item.size())); // labels sharing those digits
    for (unsigned label = start * span; label < (start + 1) * span && label < 256; ++label)
        labels.set(label);
    return labels;
}

} // namespace

void WordLogFilter::setLabels(std::string_view text)
{
    std::bitset<256> labels;
    bool anyItem = false;
    std::size_t i = 0;
    while (i < text.size()) {
        if (isSeparator(text[i])) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < text.size() && !isSeparator(text[end]))
            ++end;
        labels |= labelsStartingWith(text.substr(i, end - i));
        anyItem = true;
        i = end;
    }
    labels_ = anyItem ? labels : std::bitset<256>().set();
}

bool WordLogFilter::keepsEverything() const noexcept
{
    return channels_.all() && labels_.all() && sdi_.all() && ssm_.all() && parity_ == ParityFilter::Any
        && fromUs_ == std::numeric_limits<std::int64_t>::min() && toUs_ == std::numeric_limits<std::int64_t>::max();
}

bool WordLogFilter::matches(const CaptureEntry& e) const noexcept
{
    // A damaged file's channel number shows only while no channel is left out.
    const bool known = e.channel >= 1 && e.channel <= kChannelCount;
    if (known ? !channels_.test(e.channel - 1u) : !channels_.all())
        return false;
    if (!labels_.test(wordLabel(e.word)) || !sdi_.test(wordSdi(e.word)) || !ssm_.test(wordSsm(e.word)))
        return false;
    if (parity_ != ParityFilter::Any && wordParityOdd(e.word) != (parity_ == ParityFilter::Odd))
        return false;
    return e.timeUs >= fromUs_ && e.timeUs <= toUs_;
}

} // namespace telvar5
