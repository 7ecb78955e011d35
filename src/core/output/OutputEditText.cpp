#include "core/output/OutputEditText.h"

#include "core/formats/NumberText.h"

namespace telvar5 {

namespace {

bool octalDigit(unsigned char key) { return key >= '0' && key <= '7'; }
bool hexDigit(unsigned char key)
{
    return (key >= '0' && key <= '9') || (key >= 'a' && key <= 'f') || (key >= 'A' && key <= 'F');
}

// Blanks and control characters (codes up to 32) go from both ends.
std::string_view trimmed(std::string_view text)
{
    auto low = [](char c) { return static_cast<unsigned char>(c) <= 32; };
    while (!text.empty() && low(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && low(text.back()))
        text.remove_suffix(1);
    return text;
}

} // namespace

EditOutcome applyOutputEditText(int column, std::string_view text, char lastKey, std::uint32_t& word)
{
    if (column != kAddressColumn && column != kCodeColumn)
        return EditOutcome::NotEditable;
    const bool address = column == kAddressColumn;
    const auto key = static_cast<unsigned char>(lastKey);
    // Only the last key is judged, not the text: a pasted text passes on the
    // length and the conversion alone.
    if (!isEditingKey(lastKey) && !(address ? octalDigit(key) : hexDigit(key)))
        return EditOutcome::Refused;

    const std::string_view number = trimmed(text);
    const std::size_t maxLength = address ? 3 : 6;
    if (number.size() > maxLength)
        return EditOutcome::Refused;
    // Read as scanf's "%o" and "%x" read: the longest valid prefix, after a
    // sign and (for "%x") a 0x prefix.
    const auto read = address ? readOctalPrefix(number) : readHexPrefix(number);
    if (!read)
        return EditOutcome::Refused;
    const std::uint32_t value = *read;

    if (address)
        word = (word & ~0xFFu) | (value & 0xFFu);
    else
        word = (word & 0xFFu) | static_cast<std::uint32_t>(value << 8);
    return EditOutcome::Stored;
}

} // namespace telvar5
