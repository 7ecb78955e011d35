#pragma once
// Builders and a scratch directory for the format tests.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "formats/DecimalFormat.h"
#include "formats/ParamFormatEntry.h"

namespace telvar5::test {

inline DecimalFormat makeFormat(std::string_view tag, std::uint8_t bit29IsData, std::uint8_t msbBit,
                                std::uint8_t lsbBit, float msbWeight, std::string_view units)
{
    DecimalFormat f;
    f.setTag(tag);
    f.setBit29IsData(bit29IsData);
    f.setMsbBit(msbBit);
    f.setLsbBit(lsbBit);
    f.setMsbWeight(msbWeight);
    f.setUnits(units);
    return f;
}

inline ParamFormatEntry makeParam(std::uint8_t label, std::uint8_t channel, std::string_view tag)
{
    ParamFormatEntry e;
    e.setLabel(label);
    e.setChannel(channel);
    e.setFormatTag(tag);
    return e;
}

// A fresh directory under the system's temporary directory, removed at the end.
class ScratchDir {
public:
    ScratchDir()
    {
        std::random_device rd;
        path_ = std::filesystem::temp_directory_path() / ("telvar5-formats-" + std::to_string(rd()));
        std::filesystem::create_directories(path_);
    }
    ~ScratchDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

inline void writeBytes(const std::filesystem::path& file, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<std::uint8_t> readBytes(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Bytes 0, 1, 2, ... cycling through 1..250, so every record differs and no byte is zero.
inline std::vector<std::uint8_t> patternBytes(std::size_t count)
{
    std::vector<std::uint8_t> bytes(count);
    for (std::size_t i = 0; i < count; ++i)
        bytes[i] = static_cast<std::uint8_t>(1 + i % 250);
    return bytes;
}

} // namespace telvar5::test
