#include "core/stimulus/GeneratorFile.h"

#include <array>
#include <charconv>
#include <fstream>
#include <iterator>

#include "formats/Cp1251.h"
#include "formats/DecimalFormat.h"
#include "formats/ReplaceFile.h"
#include "formats/WordText.h"

namespace telvar5 {

namespace {

constexpr std::string_view kMagic = "TELVAR5-GEN";
// A generator file is a few kilobytes; anything far larger is not one.
constexpr std::uintmax_t kMaxFileBytes = 1u << 20;
constexpr std::size_t kMaxTagBytes = DecimalFormat::kTagSize - 1;

bool blank(char c) { return c == ' ' || c == '\t'; }

void skipBlanks(std::string_view& s)
{
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
}

std::string_view takeWord(std::string_view& s)
{
    skipBlanks(s);
    std::size_t n = 0;
    while (n < s.size() && !blank(s[n]))
        ++n;
    const std::string_view word = s.substr(0, n);
    s.remove_prefix(n);
    return word;
}

std::optional<unsigned> whole(std::string_view word, int base, unsigned max)
{
    unsigned v = 0;
    const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), v, base);
    if (word.empty() || ec != std::errc() || end != word.data() + word.size() || v > max)
        return std::nullopt;
    return v;
}

// "text" with \" and \\ inside; the UTF-8 text between the quotes.
std::optional<std::string> takeQuoted(std::string_view& s)
{
    skipBlanks(s);
    if (s.empty() || s.front() != '"')
        return std::nullopt;
    std::string out;
    for (std::size_t i = 1; i < s.size(); ++i) {
        if (s[i] == '"') {
            s.remove_prefix(i + 1);
            if (!s.empty() && !blank(s.front()))
                return std::nullopt;
            return out;
        }
        if (s[i] == '\\' && i + 1 < s.size() && (s[i + 1] == '"' || s[i + 1] == '\\'))
            ++i;
        out.push_back(s[i]);
    }
    return std::nullopt;
}

std::optional<GeneratorRow> parseRow(std::string_view line)
{
    GeneratorRow row;
    const auto channel = whole(takeWord(line), 10, 8);
    const auto label = whole(takeWord(line), 8, 0377);
    const auto tagUtf8 = takeQuoted(line);
    const auto ssm = whole(takeWord(line), 10, 3);
    if (!channel || *channel < 1 || !label || !tagUtf8 || !ssm)
        return std::nullopt;
    const auto tag = cp1251FromUtf8(*tagUtf8);
    if (!tag || tag->empty() || tag->size() > kMaxTagBytes || tag->find('\0') != std::string::npos)
        return std::nullopt;
    const auto waveform = parseWaveform(line);
    if (!waveform)
        return std::nullopt;
    row.channel = static_cast<int>(*channel);
    row.label = static_cast<std::uint8_t>(*label);
    row.tag = *tag;
    row.ssm = static_cast<std::uint8_t>(*ssm);
    row.waveform = *waveform;
    return row;
}

} // namespace

std::string generatorText(std::span<const GeneratorRow> rows)
{
    std::string out(kMagic);
    out += ' ' + std::to_string(kGeneratorFileVersion) + "\n";
    out += "# channel label(octal) \"tag\" ssm waveform: const A | ramp A B PERIOD_S repeat|hold |\n"
           "#   sine CENTRE AMPLITUDE PERIOD_S | square A B PERIOD_S | step A B AT_S | walk LOW HIGH RATE SEED\n";
    CellText label;
    for (const GeneratorRow& row : rows) {
        out += std::to_string(row.channel) + ' ' + std::string(addressText(row.label, label)) + " \"";
        for (const char c : utf8FromCp1251(row.tag)) {
            if (c == '"' || c == '\\')
                out.push_back('\\');
            out.push_back(c);
        }
        out += "\" " + std::to_string(row.ssm) + ' ' + waveformText(row.waveform) + '\n';
    }
    return out;
}

GeneratorFileContents parseGeneratorText(std::string_view text)
{
    GeneratorFileContents out;
    std::array<std::size_t, 8> perChannel{};
    bool headerSeen = false;
    int lineNo = 0;
    // Notepad begins a UTF-8 file with a byte-order mark, and a file passed
    // between systems may end its lines in CR CR LF: both are read as text.
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    while (!text.empty()) {
        const std::size_t eol = text.find('\n');
        std::string_view line = text.substr(0, eol);
        text.remove_prefix(eol == std::string_view::npos ? text.size() : eol + 1);
        ++lineNo;
        while (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        std::string_view rest = line;
        skipBlanks(rest);
        if (rest.empty() || rest.front() == '#')
            continue;
        if (!headerSeen) {
            const std::string_view magic = takeWord(rest);
            const auto version = whole(takeWord(rest), 10, 0xFFFF);
            skipBlanks(rest);
            if (magic != kMagic || !version || !rest.empty()) {
                out.problem = "Это не файл генератора параметров: первая строка должна быть \"TELVAR5-GEN 1\".";
                return out;
            }
            if (*version != static_cast<unsigned>(kGeneratorFileVersion)) {
                out.problem = "Файл генератора версии " + std::to_string(*version) + "; эта программа читает версию "
                    + std::to_string(kGeneratorFileVersion) + ".";
                return out;
            }
            headerSeen = true;
            continue;
        }
        const auto row = parseRow(rest);
        // A channel's array holds 256 words: rows beyond them could not be laid out.
        if (!row || perChannel[static_cast<std::size_t>(row->channel - 1)] >= 256) {
            out.badLines.push_back(lineNo);
            continue;
        }
        ++perChannel[static_cast<std::size_t>(row->channel - 1)];
        out.rows.push_back(*row);
    }
    if (!headerSeen)
        out.problem = "Файл генератора пуст.";
    return out;
}

GeneratorFileContents readGeneratorFile(const std::filesystem::path& file)
{
    GeneratorFileContents out;
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(file, ec);
    std::ifstream in(file, std::ios::binary);
    if (ec || !in.is_open()) {
        out.problem = "Не удалось открыть файл генератора.";
        return out;
    }
    if (size > kMaxFileBytes) {
        out.problem = "Файл слишком велик для файла генератора (" + std::to_string(size) + " байт).";
        return out;
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return parseGeneratorText(text);
}

bool writeGeneratorFile(const std::filesystem::path& file, std::span<const GeneratorRow> rows)
{
    const std::string text = generatorText(rows);
    return replaceFile(file, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

} // namespace telvar5
