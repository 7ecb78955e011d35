#pragma once
// Searches of the sequential log, the same on a live log and on a recording:
// each gives the next row after `fromRow` that shows what is looked for.
#include <cstdint>
#include <optional>
#include <string>

#include "core/analysis/WordLogRowText.h"
#include "core/analysis/WordLogRows.h"

namespace telvar5 {

// The next row of the same label on the same channel as row fromRow.
std::optional<std::uint64_t> findNextSameLabel(WordLogRows& rows, std::uint64_t fromRow);
// The next row showing the same value as row fromRow (none when that row has no value).
std::optional<std::uint64_t> findNextSameValue(WordLogRows& rows, std::uint64_t fromRow, const WordLogRowText& text);

// What the window's search field asks for: a label typed in octal, or a value
// (a number, "," or "." as its point) compared with the value column as shown.
struct WordLogQuery {
    enum class Kind : std::uint8_t { Label, Value } kind = Kind::Label;
    std::string text;
};
// False, with `why` (Russian), when the text is no label or no number.
bool parseWordLogQuery(WordLogQuery::Kind kind, const std::string& typed, WordLogQuery& out, std::string& why);
// The first row after `afterRow` that the query finds; with no row given, from the first row on.
std::optional<std::uint64_t> findNextMatch(WordLogRows& rows, std::optional<std::uint64_t> afterRow,
                                           const WordLogQuery& query, const WordLogRowText& text);

} // namespace telvar5
