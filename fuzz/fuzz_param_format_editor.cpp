// The parameter formats editor's grid typed into at random: key presses, cell
// texts, tags copied by a double click, damaged records (as a file may load
// them). A refusal leaves the tables byte for byte as they were; an accepted
// text changes only its cell's field: the label the octal text reads as, at
// most 0377, or the channel the text reads as, held within 1..8.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "CountingPrompts.h"
#include "FuzzCheck.h"
#include "core/formats/NumberText.h"
#include "core/formats/ParamFormatEditor.h"

using namespace telvar5;

namespace {

using Editor = ParamFormatEditor;
constexpr int kRows[] = {-1, 0, 1, 2, 3, 256, 257}; // a few records, both ends and beyond

bool editingKey(unsigned char k) { return k == 3 || k == 22 || k == 13 || k == 8; }

bool sameBytesBut(const ParamFormatEntry& a, const ParamFormatEntry& b, std::size_t from, std::size_t to)
{
    for (std::size_t i = 0; i < ParamFormatEntry::kSize; ++i) {
        if ((i < from || i >= to) && a.bytes[i] != b.bytes[i])
            return false;
    }
    return true;
}

void checkAccepted(int column, std::string_view text, char key, const ParamFormatEntry& before,
                   const ParamFormatEntry& after)
{
    const auto k = static_cast<unsigned char>(key);
    if (column == Editor::Label) {
        const auto typed = readOctalPrefix(text);
        FUZZ_CHECK(((k >= '0' && k <= '7') || editingKey(k)) && text.size() <= 3 && typed);
        FUZZ_CHECK(after.label() == std::min<unsigned>(static_cast<std::uint16_t>(*typed), 0377));
        FUZZ_CHECK(sameBytesBut(before, after, ParamFormatEntry::kLabelOffset, ParamFormatEntry::kLabelOffset + 1));
    } else {
        FUZZ_CHECK(column == Editor::Channel);
        const auto typed = readDecimalPrefix(text);
        FUZZ_CHECK(((k >= '1' && k <= '8') || editingKey(k)) && text.size() <= 1 && typed);
        FUZZ_CHECK(after.channel() >= 1 && after.channel() <= 8 && after.channel() == std::clamp(*typed, 1, 8));
        FUZZ_CHECK(sameBytesBut(before, after, ParamFormatEntry::kChannelOffset, ParamFormatEntry::kChannelOffset + 1));
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
        ParamFormatEntry* record =
            row >= 1 && row <= 256 ? &tables.paramFormatTable[static_cast<std::size_t>(row - 1)] : nullptr;
        const auto tablesBefore = std::make_unique<FormatTables>(tables);
        const auto unchanged = [&] { return std::memcmp(&tables, tablesBefore.get(), sizeof tables) == 0; };
        switch (input.ConsumeIntegralInRange(0, 4)) {
        case 0:
            lastKey = input.ConsumeIntegral<char>();
            editor.DrawGrid2KeyPress(lastKey);
            break;
        case 1: {
            const int column = input.ConsumeIntegralInRange(-1, Editor::kParamColumns);
            const std::string text = input.ConsumeRandomLengthString(6);
            const int beeps = prompts.beeps;
            if (editor.DrawGrid2SetEditText(column, row, text)) {
                FUZZ_CHECK(record);
                const std::size_t index = static_cast<std::size_t>(row - 1);
                checkAccepted(column, text, lastKey, tablesBefore->paramFormatTable[index], *record);
                for (std::size_t i = 0; i < kFormatTableSize; ++i) {
                    if (i != index)
                        FUZZ_CHECK(tables.paramFormatTable[i].bytes == tablesBefore->paramFormatTable[i].bytes);
                }
            } else {
                FUZZ_CHECK(unchanged());
                if (record && (column == Editor::Label || column == Editor::Channel))
                    FUZZ_CHECK(prompts.beeps > beeps);
            }
            break;
        }
        case 2: { // a double click copies the tag of a decimal format into the current row
            const int formatRow = input.PickValueInArray(kRows);
            editor.DrawGrid1MouseDown(input.ConsumeIntegralInRange(-1, 0), input.ConsumeIntegralInRange(-1, 0));
            if (editor.DrawGrid1DblClick(formatRow, row)) {
                FUZZ_CHECK(record && formatRow >= 1 && formatRow <= 256);
                const std::string_view tag = tables.formatTable[static_cast<std::size_t>(formatRow - 1)].tag();
                FUZZ_CHECK(record->formatTag() == tag.substr(0, 8));
                FUZZ_CHECK(record->label() == tablesBefore->paramFormatTable[static_cast<std::size_t>(row - 1)].label());
                FUZZ_CHECK(record->channel() == tablesBefore->paramFormatTable[static_cast<std::size_t>(row - 1)].channel());
            } else {
                FUZZ_CHECK(unchanged());
            }
            break;
        }
        case 3: // a parameter format as a damaged file leaves it
            if (record) {
                const auto bytes = input.ConsumeBytes<std::uint8_t>(ParamFormatEntry::kSize);
                std::copy(bytes.begin(), bytes.end(), record->bytes.begin());
            }
            break;
        default: // a decimal format as a damaged file leaves it, for the double click to copy
            if (record) {
                const auto bytes = input.ConsumeBytes<std::uint8_t>(DecimalFormat::kSize);
                std::copy(bytes.begin(), bytes.end(), tables.formatTable[static_cast<std::size_t>(row - 1)].bytes.begin());
            }
            break;
        }
    }
    return 0;
}
