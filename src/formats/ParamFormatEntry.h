#pragma once
// One parameter format: 11 packed bytes {label, channel, formatTag[9]}, the same
// in memory and in a parameter formats file.
#include <array>
#include <cstdint>
#include <string_view>

namespace telvar5 {

class ParamFormatEntry {
public:
    static constexpr std::size_t kSize = 11;
    static constexpr std::size_t kLabelOffset = 0;
    static constexpr std::size_t kChannelOffset = 1;
    static constexpr std::size_t kTagOffset = 2, kTagSize = 9;

    std::array<std::uint8_t, kSize> bytes{};

    std::uint8_t label() const { return bytes[kLabelOffset]; }
    std::uint8_t channel() const { return bytes[kChannelOffset]; }
    std::string_view formatTag() const; // cut at the field's end if no zero byte
    void setLabel(std::uint8_t v) { bytes[kLabelOffset] = v; }
    void setChannel(std::uint8_t v) { bytes[kChannelOffset] = v; }
    void setFormatTag(std::string_view text); // at most 8 bytes plus the zero byte
    bool inUse() const; // label, channel and tag all set
};
static_assert(sizeof(ParamFormatEntry) == ParamFormatEntry::kSize);

} // namespace telvar5
