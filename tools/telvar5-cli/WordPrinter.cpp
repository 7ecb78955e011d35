#include "WordPrinter.h"

#include <cstdio>
#include <utility>

#include "formats/ArincWord.h"
#include "formats/CellText.h"
#include "formats/CsvField.h"
#include "formats/DecimalText.h"
#include "formats/WordText.h"

namespace telvar5::cli {

namespace {

// Column widths of the text format; a longer value only pushes the units right.
constexpr const char* kTextHeader = "    tick      time_us cell label   code     word ssm                   binary"
                                    "            value units    wall_time\n";
// Units hold at most eight characters: padded to them, the wall-clock column stays aligned.
constexpr std::size_t kUnitsWidth = 8;

std::size_t characters(const std::string& utf8)
{
    std::size_t n = 0;
    for (const char c : utf8)
        n += (static_cast<unsigned char>(c) & 0xC0u) != 0x80u; // continuation bytes add none
    return n;
}

std::string jsonString(const std::string& text)
{
    std::string out = "\"";
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out.push_back('\\');
            out.push_back(c);
        } else if (u < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", u);
            out += escape;
        } else {
            out.push_back(c);
        }
    }
    return out + "\"";
}

std::string wordHex(std::uint32_t word)
{
    char text[12];
    std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(word));
    return text;
}

std::string labelOctal(std::uint32_t word)
{
    CellText text;
    return std::string(addressText(word, text));
}

std::string codeHex(std::uint32_t word)
{
    CellText text;
    return std::string(codeHexText(word, text));
}

std::string binary(std::uint32_t word)
{
    CellText text;
    return std::string(codeBinaryText(word, text));
}

// "00".."11", as the grid's SSM column shows it without its blanks.
std::string ssmBits(std::uint32_t word)
{
    CellText text;
    return std::string(ssmText(word, text).substr(1, 2));
}

} // namespace

WordPrinter::WordPrinter(WordFormat format, const LabelFormatTable& labelFormats, std::int64_t startUnixUs,
                         UtcOffsetOf zone)
    : format_(format), labelFormats_(labelFormats), startUnixUs_(startUnixUs), wallTime_(std::move(zone))
{
    for (std::size_t label = 0; label < units_.size(); ++label) {
        if (labelFormats_[label].tagEmpty())
            continue;
        units_[label] = unitsUtf8(labelFormats_[label]);
    }
}

std::optional<WordFormat> WordPrinter::formatNamed(std::string_view name)
{
    if (name == "text")
        return WordFormat::Text;
    if (name == "csv")
        return WordFormat::Csv;
    if (name == "jsonl")
        return WordFormat::Jsonl;
    return std::nullopt;
}

std::string WordPrinter::header() const
{
    switch (format_) {
    case WordFormat::Text: return kTextHeader;
    case WordFormat::Csv: return "time_us,tick,channel,cell,label,word,ssm,value,units,binary,wall_time\n";
    case WordFormat::Jsonl: break;
    }
    return {};
}

std::string WordPrinter::line(const CaptureEntry& entry) const
{
    // The value as the capture CSV writes it: sign, then "%f" whatever the locale.
    std::string value;
    std::string units;
    const std::uint32_t label = wordLabel(entry.word);
    if (!labelFormats_[label].tagEmpty()) {
        char digits[kSignedValueRoom];
        value.assign(digits, putSignedValue(digits, decimalValue(entry.word, labelFormats_[label])));
        units = units_[label];
    }
    const std::string wallTime =
        wallTime_.text(wallClockOfEntryUs(startUnixUs_, static_cast<std::uint64_t>(entry.timeUs)));
    switch (format_) {
    case WordFormat::Text: return textLine(entry, value, units, wallTime);
    case WordFormat::Csv: return csvLine(entry, value, units, wallTime);
    case WordFormat::Jsonl: break;
    }
    return jsonLine(entry, value, units, wallTime);
}

std::string WordPrinter::textLine(const CaptureEntry& e, const std::string& value, const std::string& units,
                                  const std::string& wallTime) const
{
    char head[160];
    std::snprintf(head, sizeof head, "%8u %12lld %4u   %3s %6s %8s  %2s %24s %16s", static_cast<unsigned>(e.tick),
                  static_cast<long long>(e.timeUs), static_cast<unsigned>(e.cell), labelOctal(e.word).c_str(),
                  codeHex(e.word).c_str(), wordHex(e.word).c_str(), ssmBits(e.word).c_str(),
                  binary(e.word).c_str(), value.c_str());
    const std::size_t width = characters(units);
    return std::string(head) + " " + units + std::string(width < kUnitsWidth ? kUnitsWidth - width : 0, ' ') + " " +
           wallTime + "\n";
}

std::string WordPrinter::csvLine(const CaptureEntry& e, const std::string& value, const std::string& units,
                                 const std::string& wallTime) const
{
    return std::to_string(e.timeUs) + "," + std::to_string(e.tick) + "," + std::to_string(e.channel) + "," +
           std::to_string(e.cell) + "," + labelOctal(e.word) + "," + wordHex(e.word) + "," +
           std::to_string(wordSsm(e.word)) + "," + value + "," + csvField(units) + "," + binary(e.word) + "," + wallTime + "\n";
}

std::string WordPrinter::jsonLine(const CaptureEntry& e, const std::string& value, const std::string& units,
                                  const std::string& wallTime) const
{
    // JSON numbers take no plus sign.
    const std::string number = value.empty() ? "null" : value[0] == '+' ? value.substr(1) : value;
    return "{\"tick\":" + std::to_string(e.tick) + ",\"time_us\":" + std::to_string(e.timeUs) +
           ",\"channel\":" + std::to_string(e.channel) + ",\"cell\":" + std::to_string(e.cell) +
           ",\"label\":\"" + labelOctal(e.word) + "\",\"code\":\"" + codeHex(e.word) + "\",\"word\":\"" +
           wordHex(e.word) + "\",\"ssm\":" + std::to_string(wordSsm(e.word)) + ",\"binary\":\"" +
           binary(e.word) + "\",\"value\":" + number + ",\"units\":" + (value.empty() ? "null" : jsonString(units)) +
           ",\"wall_time\":\"" + wallTime + "\"}\n";
}

} // namespace telvar5::cli
