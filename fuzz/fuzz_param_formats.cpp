// A parameter formats file (".si") as any bytes, beside decimal formats from
// the same input: the loader reads at most 256 records and zeroes the channel
// of the rest, and the per-label formats built afterwards hold only formats
// whose tag a parameter format of the channel names (the first format with
// that tag, the last such record of a label winning).
//
// Input: a little-endian u16 n, n bytes of a formats settings file, then the
// parameter formats file.
#include <algorithm>
#include <cstring>
#include <memory>

#include "FuzzCheck.h"
#include "MemoryFile.h"
#include "formats/Compaction.h"
#include "formats/FormatLookup.h"
#include "formats/FormatSettingsFile.h"
#include "formats/LabelFormats.h"
#include "formats/ParamFormatsFile.h"

using namespace telvar5;

namespace {

// What the table held before the load, so the fields the loader must keep can be told apart.
constexpr std::uint8_t kBefore = 0xA5;

// found[i]: the first decimal format with record i's tag, by the plain first-match search, or -1.
void checkLabelFormats(const FormatTables& tables, const std::array<int, kFormatTableSize>& found, std::uint16_t channel)
{
    auto built = std::make_unique<LabelFormatTable>();
    for (DecimalFormat& entry : *built)
        entry.bytes.fill(kBefore);
    buildLabelFormats(*built, tables, channel);

    // The same record by record: up to the first channel 0, the last found format of a label wins.
    std::array<int, 256> expected;
    expected.fill(-1);
    for (std::size_t i = 0; i < kFormatTableSize; ++i) {
        const ParamFormatEntry& record = tables.paramFormatTable[i];
        if (record.channel() == 0)
            break;
        if (record.channel() == channel && found[i] >= 0)
            expected[record.label()] = found[i];
    }
    for (std::size_t label = 0; label < 256; ++label) {
        const DecimalFormat& entry = (*built)[label];
        if (expected[label] >= 0) {
            const DecimalFormat& format = tables.formatTable[static_cast<std::size_t>(expected[label])];
            FUZZ_CHECK(entry.bytes == format.bytes);
        } else {
            // Untouched but for the first tag byte, which marks the entry empty.
            FUZZ_CHECK(entry.tagEmpty());
            FUZZ_CHECK(std::all_of(entry.bytes.begin() + 1, entry.bytes.end(),
                                   [](std::uint8_t b) { return b == kBefore; }));
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static MemoryFile settingsFile;
    static MemoryFile paramFile;
    if (size < 2)
        return 0;
    const std::size_t settingsSize = std::min<std::size_t>(data[0] | data[1] << 8, size - 2);
    const std::uint8_t* param = data + 2 + settingsSize;
    const std::size_t paramSize = size - 2 - settingsSize;
    settingsFile.assign(data + 2, settingsSize);
    paramFile.assign(param, paramSize);

    auto tables = std::make_unique<FormatTables>();
    FUZZ_CHECK(loadFormatSettings(*tables, settingsFile.path()));
    for (ParamFormatEntry& e : tables->paramFormatTable)
        e.bytes.fill(kBefore);
    FUZZ_CHECK(loadParamFormats(*tables, paramFile.path()));

    const std::size_t records = std::min<std::size_t>((paramSize + ParamFormatEntry::kSize - 1) / ParamFormatEntry::kSize,
                                                      kFormatTableSize);
    FUZZ_CHECK(tables->paramFormatCount <= kFormatTableSize);
    FUZZ_CHECK(tables->paramFormatCount == records);
    for (std::size_t i = 0; i < kFormatTableSize; ++i) {
        const auto& bytes = tables->paramFormatTable[i].bytes;
        const std::size_t offset = i * ParamFormatEntry::kSize;
        const std::size_t stored = i < records ? std::min(ParamFormatEntry::kSize, paramSize - offset) : 0;
        // The file's bytes; past them the record keeps what it held, with its channel 0.
        FUZZ_CHECK(stored == 0 || std::memcmp(bytes.data(), param + offset, stored) == 0);
        for (std::size_t b = stored; b < ParamFormatEntry::kSize; ++b)
            FUZZ_CHECK(bytes[b] == (b == ParamFormatEntry::kChannelOffset ? 0 : kBefore));
    }

    std::array<int, kFormatTableSize> found;
    for (std::size_t i = 0; i < kFormatTableSize; ++i)
        found[i] = findFormatByTag(*tables, tables->paramFormatTable[i].formatTag());
    for (std::uint16_t channel = 1; channel <= 8; ++channel)
        checkLabelFormats(*tables, found, channel);

    // Compaction keeps only records with a label, a channel and a tag.
    compactParamFormats(*tables, tables->paramFormatCount);
    FUZZ_CHECK(tables->paramFormatCount <= records);
    for (std::size_t i = 0; i < kFormatTableSize; ++i)
        FUZZ_CHECK(tables->paramFormatTable[i].inUse() == (i < tables->paramFormatCount));
    return 0;
}
