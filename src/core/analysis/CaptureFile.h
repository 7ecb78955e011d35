#pragma once
// The capture file that "Запись" writes and "Экспорт CSV" reads: a 64-byte
// header, then one 20-byte entry per stored word, little-endian, every field
// written byte by byte. The layout is described in docs/capture-format.md.
#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>
#include <vector>

#include "core/analysis/CaptureEntry.h"
#include "formats/InputFile.h"
#include "protocol/Requests.h"

namespace telvar5 {

inline constexpr std::array<std::uint8_t, 8> kCaptureMagic = {'T', 'L', 'V', '5', 'C', 'A', 'P', 0};
inline constexpr std::uint16_t kCaptureVersion = 1;
inline constexpr std::size_t kCaptureHeaderSize = 64;
inline constexpr std::size_t kCaptureEntrySize = 20;

using CaptureHeaderBytes = std::array<std::uint8_t, kCaptureHeaderSize>;
using CaptureEntryBytes = std::array<std::uint8_t, kCaptureEntrySize>;

struct CaptureHeader {
    std::uint32_t serialNo = 0;       // the module's serial number
    FreqCodes freqCodes{};            // bit-rate codes: inputs 1..8, then outputs 1..8
    std::int32_t refreshPeriodMs = 0;
    std::int64_t startUnixUs = 0;     // wall clock (Unix epoch, UTC, microseconds) of time_us = 0
    bool operator==(const CaptureHeader&) const = default;
};

struct CaptureFileContents {
    bool headerValid = false;          // a header of a version and layout this program reads
    CaptureHeader header;
    std::uint16_t version = 0;         // as the file states it, once the magic matched
    std::vector<CaptureEntry> entries; // every complete entry, also of a damaged file
    std::string problem;               // empty for a whole file, else for the user (Russian)
};

CaptureHeaderBytes encodeCaptureHeader(const CaptureHeader& header);
// The header's fields only; parseCapture judges the magic, version and sizes.
CaptureHeader decodeCaptureHeader(const CaptureHeaderBytes& bytes);

CaptureEntryBytes encodeCaptureEntry(const CaptureEntry& entry);
CaptureEntry decodeCaptureEntry(std::span<const std::uint8_t, kCaptureEntrySize> bytes);

// What a file's first bytes say about it. Header and entries of a later
// version may grow by fields appended at their ends: such a file is read, the
// extra bytes skipped. The version rises only when a field changes its
// meaning, and a version this program does not know is refused.
struct CaptureLayout {
    bool readable = false;     // a header of a version and layout this program reads
    CaptureHeader header;      // valid when readable
    std::uint16_t version = 0; // as the file states it, once the magic matched
    std::size_t headerSize = 0;
    std::size_t entrySize = 0;
    std::uint64_t entries = 0; // complete entries the file holds
    std::size_t tailBytes = 0; // bytes of a last entry cut short
    std::string problem;       // empty for a whole file, else for the user (Russian)
};

// Judges a file of fileSize bytes from its first bytes (up to kCaptureHeaderSize of them).
CaptureLayout judgeCaptureHeader(std::span<const std::uint8_t> first, std::uint64_t fileSize);
// Why reading stopped inside an entry: `whole` entries read, `tailBytes` of the next.
std::string captureCutEntryText(std::uint64_t whole, std::size_t tailBytes, std::size_t entrySize);

// Why a capture file could not be opened, as the readers say it.
std::string captureOpenProblemText(InputProblem problem);
// Opens a capture for reading entry by entry: `in` is left open after the
// header when the layout is readable, closed otherwise; the layout's problem
// says why (or what is wrong with a readable but damaged file).
CaptureLayout openCaptureStream(std::ifstream& in, const std::filesystem::path& file);

CaptureFileContents parseCapture(std::span<const std::uint8_t> bytes);
// Reads the file in pieces: memory grows with its entries, never beyond what its size holds.
// Only a regular file is opened (see openInputFile).
CaptureFileContents readCaptureFile(const std::filesystem::path& file);

} // namespace telvar5
