// A capture file as any bytes: the reader never reads past them, returns only
// entries that lie whole in the file (at most (size - 64) / 20 of them), and
// names a problem exactly when the file is not a whole capture of this version
// (an entry size of 65535, every bit set, counts as damage).
#include <cstring>

#include "FuzzCheck.h"
#include "core/analysis/CaptureFile.h"
#include "protocol/ByteLayout.h"

using namespace telvar5;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const CaptureFileContents got = parseCapture(std::span(data, size));

    const bool magic = size >= 8 && std::memcmp(data, kCaptureMagic.data(), 8) == 0;
    const std::size_t headerSize = size >= 14 ? getU16(data + 10) : 0;
    const std::size_t entrySize = size >= 14 ? getU16(data + 12) : 0;
    const bool readable = magic && size >= 14 && getU16(data + 8) == kCaptureVersion && headerSize >= 64
        && entrySize >= 20 && entrySize != 0xFFFF && size >= headerSize; // all ones: a wiped field
    FUZZ_CHECK(got.headerValid == readable);
    FUZZ_CHECK(got.entries.size() <= (size < 64 ? 0 : (size - 64) / 20));
    if (!readable) {
        FUZZ_CHECK(got.entries.empty());
        FUZZ_CHECK(!got.problem.empty());
        return 0;
    }
    const std::size_t whole = (size - headerSize) / entrySize;
    FUZZ_CHECK(got.entries.size() == whole);
    FUZZ_CHECK(got.problem.empty() == ((size - headerSize) % entrySize == 0));
    // Every entry is the one its bytes hold.
    for (std::size_t i = 0; i < whole; ++i) {
        const std::uint8_t* p = data + headerSize + i * entrySize;
        const CaptureEntryBytes again = encodeCaptureEntry(got.entries[i]);
        FUZZ_CHECK(std::memcmp(again.data(), p, 18) == 0); // all but the reserved bytes
    }
    CaptureHeaderBytes header;
    std::memcpy(header.data(), data, header.size());
    FUZZ_CHECK(got.header == decodeCaptureHeader(header));
    return 0;
}
