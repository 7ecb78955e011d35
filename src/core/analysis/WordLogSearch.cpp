#include "core/analysis/WordLogSearch.h"

#include <charconv>
#include <cmath>
#include <functional>

#include "formats/ArincWord.h"

namespace telvar5 {

namespace {

bool parseNumber(const std::string& text, double& out)
{
    const char* end = text.data() + text.size();
    // from_chars reads no leading "+", which the value column shows.
    const char* begin = !text.empty() && text.front() == '+' ? text.data() + 1 : text.data();
    const auto [ptr, ec] = std::from_chars(begin, end, out);
    return ec == std::errc() && ptr == end && std::isfinite(out);
}

} // namespace

std::optional<std::uint64_t> findNextSameLabel(WordLogRows& rows, std::uint64_t fromRow)
{
    WordLogEntry from;
    if (!rows.row(fromRow, from))
        return std::nullopt;
    const CaptureEntry wanted = from.entry;
    return rows.findNext(fromRow, [&wanted](const CaptureEntry& e) {
        return e.channel == wanted.channel && wordLabel(e.word) == wordLabel(wanted.word);
    });
}

std::optional<std::uint64_t> findNextSameValue(WordLogRows& rows, std::uint64_t fromRow, const WordLogRowText& text)
{
    WordLogEntry from;
    if (!rows.row(fromRow, from))
        return std::nullopt;
    const std::string value = text.value(from.entry);
    if (value.empty())
        return std::nullopt;
    return rows.findNext(fromRow, [&](const CaptureEntry& e) { return text.value(e) == value; });
}

bool parseWordLogQuery(WordLogQuery::Kind kind, const std::string& typed, WordLogQuery& out, std::string& why)
{
    std::string text;
    for (const char c : typed)
        if (c != ' ' && c != '\t')
            text += c == ',' ? '.' : c;
    if (kind == WordLogQuery::Kind::Label) {
        unsigned label = 0;
        const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), label, 8);
        if (text.empty() || text.size() > 3 || ec != std::errc() || ptr != text.data() + text.size() || label > 0377) {
            why = "Метка — восьмеричное число от 0 до 377.";
            return false;
        }
    } else {
        double value = 0;
        if (!parseNumber(text, value)) {
            why = "Значение — число, например -12,5.";
            return false;
        }
    }
    out = {kind, text};
    return true;
}

std::optional<std::uint64_t> findNextMatch(WordLogRows& rows, std::optional<std::uint64_t> afterRow,
                                           const WordLogQuery& query, const WordLogRowText& text)
{
    std::function<bool(const CaptureEntry&)> wanted;
    if (query.kind == WordLogQuery::Kind::Label) {
        unsigned label = 0;
        std::from_chars(query.text.data(), query.text.data() + query.text.size(), label, 8);
        wanted = [label](const CaptureEntry& e) { return wordLabel(e.word) == label; };
    } else {
        // A value matches when it shows as the typed number at the typed number of
        // decimals: "35000" finds 34999.7, "12.5" finds 12.46 but not 12.4.
        double typed = 0;
        parseNumber(query.text, typed);
        const std::size_t point = query.text.find('.');
        const int decimals = point == std::string::npos ? 0 : static_cast<int>(query.text.size() - point - 1);
        const double halfStep = 0.5 * std::pow(10.0, -decimals) * (1 + 1e-9);
        wanted = [&text, typed, halfStep](const CaptureEntry& e) {
            double value = 0;
            const std::string shown = text.value(e);
            return !shown.empty() && parseNumber(shown, value) && std::fabs(value - typed) <= halfStep;
        };
    }
    if (afterRow)
        return rows.findNext(*afterRow, wanted);
    WordLogEntry first;
    if (!rows.row(0, first))
        return std::nullopt;
    return wanted(first.entry) ? std::optional<std::uint64_t>(0) : rows.findNext(0, wanted);
}

} // namespace telvar5
