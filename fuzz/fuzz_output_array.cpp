// An output array file (".so") as any bytes: a restore takes a size of 1..256
// and the whole words the file holds, never writes past the 256 words, and a
// file without words, or one that cannot be opened, changes nothing.
#include <algorithm>
#include <memory>

#include "FuzzCheck.h"
#include "MemoryFile.h"
#include "core/output/OutputArrayFile.h"
#include "protocol/ByteLayout.h"

using namespace telvar5;

namespace {

constexpr std::uint16_t kSizeBefore = 7;

// The array before the restore; on the heap, so a write past its end meets AddressSanitizer.
std::unique_ptr<OutputWords> wordsBefore()
{
    auto words = std::make_unique<OutputWords>();
    for (std::size_t i = 0; i < words->size(); ++i)
        (*words)[i] = 0xC0DE0000u + static_cast<std::uint32_t>(i);
    return words;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static MemoryFile file;
    file.assign(data, size);
    const auto before = wordsBefore();

    auto words = wordsBefore();
    std::uint16_t arraySize = kSizeBefore;
    const ArrayRestore result = restoreOutputArray(file.path(), *words, arraySize);

    const std::uint16_t count = size >= 2 ? getU16(data) : 0;
    if (count == 0) {
        FUZZ_CHECK(result == ArrayRestore::NoWords);
        FUZZ_CHECK(arraySize == kSizeBefore && *words == *before);
        return 0;
    }
    FUZZ_CHECK(result == ArrayRestore::Restored);
    FUZZ_CHECK(arraySize >= 1 && arraySize <= kOutputWords);
    FUZZ_CHECK(arraySize == std::min<std::size_t>(count, kOutputWords));
    // The whole words of the file up to the size; the rest keep their values.
    const std::size_t whole = std::min<std::size_t>((size - 2) / 4, arraySize);
    for (std::size_t i = 0; i < kOutputWords; ++i)
        FUZZ_CHECK((*words)[i] == (i < whole ? getU32(data + 2 + 4 * i) : (*before)[i]));

    // A file that cannot be opened changes nothing either.
    std::uint16_t sizeAfter = arraySize;
    const OutputWords wordsAfter = *words;
    FUZZ_CHECK(restoreOutputArray(file.path() + "-missing", *words, sizeAfter) == ArrayRestore::CannotOpen);
    FUZZ_CHECK(sizeAfter == arraySize && *words == wordsAfter);
    return 0;
}
