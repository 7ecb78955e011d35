#include "formats/LabelFormats.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace telvar5 {

namespace {

static_assert(DecimalFormat::kTagSize == 9 && ParamFormatEntry::kTagSize == 9);

// A 9-byte tag field as its text: the bytes up to the zero byte, the rest cleared. Two
// tags are equal byte for byte exactly when their keys are (a text has no zero byte).
struct TagKey {
    std::uint64_t head = 0; // bytes 0..7
    std::uint8_t last = 0;  // byte 8, set only when the text fills the whole field
    bool operator==(const TagKey&) const = default;
};

TagKey tagKey(const std::uint8_t* field)
{
    std::array<std::uint8_t, 9> text{};
    for (std::size_t i = 0; i < text.size() && field[i] != 0; ++i)
        text[i] = field[i];
    TagKey key;
    std::memcpy(&key.head, text.data(), 8);
    key.last = text[8];
    return key;
}

// The decimal formats in use by tag, the first of equal tags kept: findFormatByTag for
// every record of a channel without walking the table for each.
class FormatIndex {
public:
    explicit FormatIndex(const FormatTables& tables)
    {
        slots_.fill(kEmpty);
        const std::size_t count = std::min<std::size_t>(tables.formatCount, kFormatTableSize); // clamped
        for (std::size_t i = 0; i < count; ++i) {
            keys_[i] = tagKey(tables.formatTable[i].bytes.data() + DecimalFormat::kTagOffset);
            std::size_t s = slotOf(keys_[i]);
            while (slots_[s] != kEmpty && !(keys_[slots_[s]] == keys_[i]))
                s = (s + 1) % kSlots;
            if (slots_[s] == kEmpty) // an equal tag further on is never found
                slots_[s] = static_cast<std::int16_t>(i);
        }
    }

    // Index of the first format with the tag in this field, or -1.
    int find(const std::uint8_t* tagField) const
    {
        const TagKey key = tagKey(tagField);
        for (std::size_t s = slotOf(key);; s = (s + 1) % kSlots) {
            if (slots_[s] == kEmpty || keys_[slots_[s]] == key)
                return slots_[s];
        }
    }

private:
    static constexpr std::size_t kSlots = 2 * kFormatTableSize; // at most half full: probes end
    static constexpr std::int16_t kEmpty = -1;

    static std::size_t slotOf(const TagKey& key)
    {
        const std::uint64_t h = (key.head ^ (std::uint64_t{key.last} << 56 | key.last)) * 0x9E3779B97F4A7C15ull;
        return static_cast<std::size_t>(h >> 55); // the top 9 bits: 0..511
    }

    std::array<TagKey, kFormatTableSize> keys_;
    std::array<std::int16_t, kSlots> slots_;
};
static_assert(2 * kFormatTableSize == 512, "slotOf yields 9 bits");

} // namespace

void buildLabelFormats(LabelFormatTable& out, const FormatTables& tables, std::uint16_t channelNo)
{
    for (DecimalFormat& entry : out)
        entry.bytes[DecimalFormat::kTagOffset] = 0;

    const FormatIndex index(tables);
    for (std::size_t i = 0; i < kFormatTableSize; ++i) {
        const ParamFormatEntry& record = tables.paramFormatTable[i];
        if (record.channel() == 0)
            break;
        if (record.channel() != channelNo)
            continue;
        const int found = index.find(record.bytes.data() + ParamFormatEntry::kTagOffset);
        if (found >= 0)
            out[record.label()] = tables.formatTable[static_cast<std::size_t>(found)];
    }
}

} // namespace telvar5
