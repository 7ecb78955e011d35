// Text typed into the output grid: whatever the key, column and text, a word
// that takes the text holds the number the text reads as in its column's bits
// (octal address in bits 1..8, hex code in bits 9..32), the text fitting the
// column, and nothing else of the word changes; a refusal changes nothing.
#include <fuzzer/FuzzedDataProvider.h>

#include <cctype>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "core/formats/NumberText.h"
#include "core/output/OutputEditText.h"

using namespace telvar5;

namespace {

// The cell's text without the blanks and control characters at its ends.
std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= 32)
        text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= 32)
        text.remove_suffix(1);
    return text;
}

// Ctrl+C, Ctrl+V, Enter and Backspace pass in either column.
bool editingKey(unsigned char key) { return key == 3 || key == 22 || key == 13 || key == 8; }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    std::uint32_t word = input.ConsumeIntegral<std::uint32_t>();
    while (input.remaining_bytes() > 0) {
        const int column = input.ConsumeIntegralInRange<int>(-1, 4);
        const char key = input.ConsumeIntegral<char>();
        const std::string text = input.ConsumeRandomLengthString(16);

        const std::uint32_t before = word;
        const EditOutcome outcome = applyOutputEditText(column, text, key, word);
        if (column != kAddressColumn && column != kCodeColumn)
            FUZZ_CHECK(outcome == EditOutcome::NotEditable);
        if (outcome != EditOutcome::Stored) {
            FUZZ_CHECK(word == before);
            continue;
        }
        const std::string_view number = trimmed(text);
        const auto k = static_cast<unsigned char>(key);
        if (column == kAddressColumn) {
            FUZZ_CHECK(editingKey(k) || (k >= '0' && k <= '7'));
            const auto value = readOctalPrefix(number);
            FUZZ_CHECK(number.size() <= 3 && value);
            FUZZ_CHECK((word & 0xFFu) == (*value & 0xFFu));
            FUZZ_CHECK((word & ~0xFFu) == (before & ~0xFFu));
        } else {
            FUZZ_CHECK(editingKey(k) || std::isxdigit(k));
            const auto value = readHexPrefix(number);
            FUZZ_CHECK(number.size() <= 6 && value);
            FUZZ_CHECK(word >> 8 == (*value & 0xFFFFFFu));
            FUZZ_CHECK((word & 0xFFu) == (before & 0xFFu));
        }
    }
    return 0;
}
