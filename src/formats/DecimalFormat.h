#pragma once
// One decimal format: 24 packed bytes, the same in memory and in the formats
// settings file. Held as raw bytes so that what follows a text's zero byte
// survives a load and a save unchanged; fields are read and written through
// the accessors below.
#include <array>
#include <cstdint>
#include <string_view>

namespace telvar5 {

class DecimalFormat {
public:
    static constexpr std::size_t kSize = 24;
    static constexpr std::size_t kTagOffset = 0, kTagSize = 9;
    static constexpr std::size_t kBit29IsDataOffset = 9;
    static constexpr std::size_t kMsbBitOffset = 10;
    static constexpr std::size_t kLsbBitOffset = 11;
    static constexpr std::size_t kMsbWeightOffset = 12;
    static constexpr std::size_t kUnitsOffset = 16, kUnitsSize = 8;

    std::array<std::uint8_t, kSize> bytes{};

    // Texts are raw Windows-1251 bytes up to the zero byte, cut at the end of
    // their field when a damaged record has no zero byte inside it.
    std::string_view tag() const;
    std::string_view units() const;
    std::uint8_t bit29IsData() const { return bytes[kBit29IsDataOffset]; }
    std::uint8_t msbBit() const { return bytes[kMsbBitOffset]; }
    std::uint8_t lsbBit() const { return bytes[kLsbBitOffset]; }
    float msbWeight() const;

    // Setters write the text and its zero byte, leaving the bytes after it as they were;
    // a text longer than the field allows (8 for the tag, 6 for units) is cut.
    void setTag(std::string_view text);
    void setUnits(std::string_view text);
    void setBit29IsData(std::uint8_t v) { bytes[kBit29IsDataOffset] = v; }
    void setMsbBit(std::uint8_t v) { bytes[kMsbBitOffset] = v; }
    void setLsbBit(std::uint8_t v) { bytes[kLsbBitOffset] = v; }
    void setMsbWeight(float v);

    bool tagEmpty() const { return bytes[kTagOffset] == 0; }
    // Complete: tag and units not empty, msbBit, lsbBit and msbWeight not zero (NaN counts as zero).
    bool complete() const;
};
static_assert(sizeof(DecimalFormat) == DecimalFormat::kSize);

} // namespace telvar5
