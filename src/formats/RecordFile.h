#pragma once
// Reading and writing files of fixed-size records without a header. Nothing here
// throws: a file that cannot be opened, read or written is reported by the result.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <ios>

namespace telvar5 {

// Reads up to `size` bytes into `buffer` and returns how many came; 0 at the end
// of the file or on a failed read. A short count means the file ended inside the record.
inline std::size_t readRecordPiece(std::ifstream& in, std::uint8_t* buffer, std::size_t size)
{
    in.read(reinterpret_cast<char*>(buffer), static_cast<std::streamsize>(size));
    const std::streamsize got = in.gcount();
    return got > 0 ? static_cast<std::size_t>(got) : 0;
}

inline bool writeRecord(std::ofstream& out, const std::uint8_t* bytes, std::size_t size)
{
    out.write(reinterpret_cast<const char*>(bytes), static_cast<std::streamsize>(size));
    return static_cast<bool>(out);
}

} // namespace telvar5
