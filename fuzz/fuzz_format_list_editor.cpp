// The decimal formats editor's grid typed into at random: key presses, cell
// texts, the bit-29 drop-down and damaged records (as a file may load them).
// A refusal leaves the whole table byte for byte as it was; an accepted text
// changes only its cell's field of its row, fits the field, and holds what the
// text reads as: bit numbers 9..29, unless tied to the other bit number.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "CountingPrompts.h"
#include "FuzzCheck.h"
#include "core/formats/FormatListEditor.h"
#include "core/formats/NumberText.h"

using namespace telvar5;

namespace {

using Editor = FormatListEditor;
constexpr int kRows[] = {-1, 0, 1, 2, 3, 256, 257}; // a few records, both ends and beyond

struct Field {
    std::size_t offset, size;
};

Field fieldOf(int column)
{
    switch (column) {
    case Editor::Tag: return {DecimalFormat::kTagOffset, DecimalFormat::kTagSize};
    case Editor::MsbBit: return {DecimalFormat::kMsbBitOffset, 1};
    case Editor::LsbBit: return {DecimalFormat::kLsbBitOffset, 1};
    case Editor::MsbWeight: return {DecimalFormat::kMsbWeightOffset, 4};
    default: return {DecimalFormat::kUnitsOffset, DecimalFormat::kUnitsSize};
    }
}

bool keyPasses(char key)
{
    const auto k = static_cast<unsigned char>(key);
    return (k >= '0' && k <= '9') || k == 3 || k == 22 || k == 13 || k == 8;
}

std::string_view upToZero(std::string_view text) { return text.substr(0, text.find('\0')); }

void checkAccepted(int column, std::string_view text, char key, const DecimalFormat& before, const DecimalFormat& after)
{
    // Only the column's field changes.
    const Field f = fieldOf(column);
    for (std::size_t i = 0; i < DecimalFormat::kSize; ++i) {
        if (i < f.offset || i >= f.offset + f.size)
            FUZZ_CHECK(after.bytes[i] == before.bytes[i]);
    }
    switch (column) {
    case Editor::Tag:
        FUZZ_CHECK(text.size() <= 8 && after.tag() == upToZero(text));
        break;
    case Editor::Units:
        FUZZ_CHECK(text.size() <= 6 && after.units() == upToZero(text));
        break;
    case Editor::MsbWeight: {
        const auto weight = readFloatPrefix(text);
        FUZZ_CHECK(keyPasses(key) && weight);
        const float stored = after.msbWeight();
        FUZZ_CHECK(std::memcmp(&stored, &*weight, sizeof stored) == 0);
        break;
    }
    case Editor::MsbBit:
    case Editor::LsbBit: {
        const auto typed = readDecimalPrefix(text);
        FUZZ_CHECK(keyPasses(key) && text.size() <= 2 && typed);
        // Read as 16 bits unsigned, then held within 9..29.
        const int limited = std::clamp<int>(static_cast<std::uint16_t>(*typed), 9, 29);
        if (column == Editor::MsbBit) {
            const int msb = after.msbBit(), lsb = before.lsbBit();
            if (lsb <= 29)
                FUZZ_CHECK(msb >= 9 && msb <= 29);
            // 29 is refused while bit 29 is the sign; otherwise below lsbBit it takes lsbBit.
            FUZZ_CHECK(msb == (limited == 29 && after.bit29IsData() == 0 ? 28 : std::max(limited, lsb)));
        } else {
            const int lsb = after.lsbBit(), msb = before.msbBit();
            if (msb >= 9 && msb <= 29)
                FUZZ_CHECK(lsb >= 9 && lsb <= 29);
            FUZZ_CHECK(lsb == std::min(limited, msb)); // above msbBit it takes msbBit
        }
        break;
    }
    default:
        FUZZ_CHECK(false); // bit 29 takes no text
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static auto run = std::make_unique<RunState>();
    run->formats = FormatTables{};
    CountingPrompts prompts;
    Editor editor(*run, prompts);
    editor.FormShow();
    FormatTables& tables = run->formats;
    char lastKey = 0;

    FuzzedDataProvider input(data, size);
    while (input.remaining_bytes() > 0) {
        const int row = input.PickValueInArray(kRows);
        DecimalFormat* record = row >= 1 && row <= 256 ? &tables.formatTable[static_cast<std::size_t>(row - 1)] : nullptr;
        const auto tablesBefore = std::make_unique<FormatTables>(tables);
        switch (input.ConsumeIntegralInRange(0, 3)) {
        case 0:
            lastKey = input.ConsumeIntegral<char>();
            editor.DrawGrid1KeyPress(lastKey);
            break;
        case 1: {
            const int column = input.ConsumeIntegralInRange(-1, Editor::kColumns);
            const std::string text = input.ConsumeRandomLengthString(12);
            const int beeps = prompts.beeps;
            if (editor.DrawGrid1SetEditText(column, row, text)) {
                FUZZ_CHECK(record);
                checkAccepted(column, text, lastKey, tablesBefore->formatTable[static_cast<std::size_t>(row - 1)],
                              *record);
                for (std::size_t i = 0; i < kFormatTableSize; ++i) {
                    if (&tables.formatTable[i] != record)
                        FUZZ_CHECK(tables.formatTable[i].bytes == tablesBefore->formatTable[i].bytes);
                }
            } else {
                FUZZ_CHECK(std::memcmp(&tables, tablesBefore.get(), sizeof tables) == 0);
                // A text refused in a cell that takes text is answered by a beep.
                if (record && column >= 0 && column < Editor::kColumns && column != Editor::Bit29)
                    FUZZ_CHECK(prompts.beeps > beeps);
            }
            break;
        }
        case 2: {
            const int item = input.ConsumeIntegralInRange(-1, 2);
            if (editor.ComboBox1Change(row, item)) {
                FUZZ_CHECK(record && record->bit29IsData() == item);
                // Bit 29 as the sign takes 29 away from msbBit.
                FUZZ_CHECK(item == 1 || record->msbBit() != 29);
            } else {
                FUZZ_CHECK(std::memcmp(&tables, tablesBefore.get(), sizeof tables) == 0);
            }
            break;
        }
        default: // a record as a damaged file leaves it
            if (record) {
                const auto bytes = input.ConsumeBytes<std::uint8_t>(DecimalFormat::kSize);
                std::copy(bytes.begin(), bytes.end(), record->bytes.begin());
            }
            break;
        }
    }
    return 0;
}
