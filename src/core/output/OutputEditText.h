#pragma once
// The rule for text typed into the output grid: the last key must be one the
// column takes, the trimmed text must fit the column's length and convert as
// scanf's "%o" (address) or "%x" (code) would; then the number replaces the
// column's bits of the word.
#include <cstdint>
#include <string_view>

namespace telvar5 {

enum class EditOutcome : std::uint8_t {
    Stored,      // the word took the number
    Refused,     // beep; the word is unchanged
    NotEditable, // a column without typing: nothing happens
};

inline constexpr int kAddressColumn = 1;
inline constexpr int kCodeColumn = 2;

// text is the editor's whole text in Windows-1251; lastKey the character of the last key press.
EditOutcome applyOutputEditText(int column, std::string_view text, char lastKey, std::uint32_t& word);

} // namespace telvar5
