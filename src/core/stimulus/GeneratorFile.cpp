#include "core/stimulus/GeneratorFile.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <fstream>
#include <iterator>

#include "formats/Cp1251.h"
#include "formats/DecimalFormat.h"
#include "formats/InputFile.h"
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

bool controlCharacter(char c) { return static_cast<unsigned char>(c) < 0x20 || c == '\x7F'; }

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// The start of a bad escape as the message shows it: the backslash, the next
// character whole (a Cyrillic letter is two bytes), and after an x up to two
// more ASCII characters.
std::string escapeShown(std::string_view rest)
{
    const auto lead = static_cast<unsigned char>(rest[1]);
    std::size_t n = 1 + (lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2);
    if (lead == 'x')
        while (n < 4 && n < rest.size() && static_cast<unsigned char>(rest[n]) > 0x20 &&
               static_cast<unsigned char>(rest[n]) < 0x7F && rest[n] != '"')
            ++n;
    return std::string(rest.substr(0, std::min(n, rest.size())));
}

// "text" with \", \\ and \xHH (a control character) inside: the UTF-8 text
// between the quotes, or nothing and why.
std::optional<std::string> takeQuoted(std::string_view& s, std::string& problem)
{
    skipBlanks(s);
    if (s.empty() || s.front() != '"') {
        problem = "имя формата не в кавычках";
        return std::nullopt;
    }
    std::string out;
    for (std::size_t i = 1; i < s.size(); ++i) {
        if (s[i] == '"') {
            s.remove_prefix(i + 1);
            if (!s.empty() && !blank(s.front())) {
                problem = "после закрывающей кавычки имени формата нет пробела";
                return std::nullopt;
            }
            return out;
        }
        if (s[i] != '\\') {
            out.push_back(s[i]);
            continue;
        }
        if (i + 1 < s.size() && (s[i + 1] == '"' || s[i + 1] == '\\')) {
            out.push_back(s[++i]);
            continue;
        }
        if (i + 3 < s.size() && s[i + 1] == 'x' && hexDigit(s[i + 2]) >= 0 && hexDigit(s[i + 3]) >= 0) {
            const char c = static_cast<char>(hexDigit(s[i + 2]) * 16 + hexDigit(s[i + 3]));
            if (c != '\0' && controlCharacter(c)) {
                out.push_back(c);
                i += 3;
                continue;
            }
        }
        if (i + 1 == s.size())
            break; // a backslash at the end of the line: the quote is missing
        problem = "неизвестная последовательность «" + escapeShown(s.substr(i)) +
                  "» в имени формата (пишутся \\\", \\\\ и \\x01..\\x1F, \\x7F)";
        return std::nullopt;
    }
    problem = "имя формата не закрыто кавычкой";
    return std::nullopt;
}

// "нет метки" for a missing word, else "метка «208» — не восьмеричное число от 0 до 377".
std::string wordProblem(std::string_view missing, std::string_view what, std::string_view word,
                        std::string_view expected)
{
    if (word.empty())
        return std::string(missing);
    return std::string(what) + " «" + std::string(word) + "» — не " + std::string(expected);
}

// The optional last column "every MS" cut off the end of the line: false
// and why when its number is no interval.
bool takeInterval(std::string_view& line, double& intervalMs, std::string& problem)
{
    std::string_view s = line;
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    const std::size_t valueAt = s.find_last_of(" \t");
    if (valueAt == std::string_view::npos)
        return true;
    std::string_view head = s.substr(0, valueAt);
    while (!head.empty() && blank(head.back()))
        head.remove_suffix(1);
    const std::size_t keyAt = head.find_last_of(" \t");
    const std::size_t keyStart = keyAt == std::string_view::npos ? 0 : keyAt + 1;
    if (head.substr(keyStart) != "every")
        return true;
    const std::string_view value = s.substr(valueAt + 1);
    double v = 0.0;
    const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), v);
    if (ec != std::errc() || end != value.data() + value.size() || !(v > 0.0 && v <= kGeneratorMaxIntervalMs)) {
        problem = "интервал «" + std::string(value) + "» — не число миллисекунд больше 0 и не больше 60000 "
                  "(числа пишутся с точкой)";
        return false;
    }
    intervalMs = v;
    line = head.substr(0, keyStart);
    return true;
}

std::optional<GeneratorRow> parseRow(std::string_view line, std::string& problem)
{
    GeneratorRow row;
    const std::string_view channelWord = takeWord(line);
    const auto channel = whole(channelWord, 10, kChannels);
    if (!channel || *channel < 1) {
        problem = wordProblem("нет канала", "канал", channelWord, "номер от 1 до 8");
        return std::nullopt;
    }
    const std::string_view labelWord = takeWord(line);
    const auto label = whole(labelWord, 8, 0377);
    if (!label) {
        problem = wordProblem("нет метки", "метка", labelWord, "восьмеричное число от 0 до 377");
        return std::nullopt;
    }
    const auto tagUtf8 = takeQuoted(line, problem);
    if (!tagUtf8)
        return std::nullopt;
    const std::string_view ssmWord = takeWord(line);
    const auto ssm = whole(ssmWord, 10, 3);
    if (!ssm) {
        problem = wordProblem("нет SSM", "SSM", ssmWord, "число от 0 до 3");
        return std::nullopt;
    }
    const auto tag = cp1251FromUtf8(*tagUtf8);
    if (!tag)
        problem = "в имени формата знак, которого нет в кодировке Windows-1251 (или текст не в UTF-8)";
    else if (tag->empty())
        problem = "пустое имя формата";
    else if (tag->size() > kMaxTagBytes)
        problem = "имя формата длиннее " + std::to_string(kMaxTagBytes) + " знаков";
    else if (tag->find('\0') != std::string::npos)
        problem = "в имени формата нулевой знак";
    if (!problem.empty())
        return std::nullopt;
    double intervalMs = 0.0;
    if (!takeInterval(line, intervalMs, problem))
        return std::nullopt;
    const auto waveform = parseWaveform(line, problem);
    if (!waveform)
        return std::nullopt;
    row.channel = static_cast<int>(*channel);
    row.label = static_cast<std::uint8_t>(*label);
    row.tag = *tag;
    row.ssm = static_cast<std::uint8_t>(*ssm);
    row.waveform = *waveform;
    row.intervalMs = intervalMs;
    return row;
}

} // namespace

std::string badLinesText(std::span<const GeneratorBadLine> badLines, std::string_view separator, std::size_t shown)
{
    std::string text;
    for (std::size_t i = 0; i < badLines.size() && i < shown; ++i) {
        if (i > 0)
            text += separator;
        text += "строка " + std::to_string(badLines[i].line) + ": " + badLines[i].reason;
    }
    if (badLines.size() > shown)
        text += std::string(separator) + "и еще строк с ошибками: " + std::to_string(badLines.size() - shown);
    return text;
}

std::string generatorText(std::span<const GeneratorRow> rows)
{
    std::string out(kMagic);
    out += ' ' + std::to_string(kGeneratorFileVersion) + "\n";
    out += "# channel label(octal) \"tag\" ssm waveform: const A | ramp A B PERIOD_S repeat|hold |\n"
           "#   sine CENTRE AMPLITUDE PERIOD_S | square A B PERIOD_S | step A B AT_S | walk LOW HIGH RATE SEED\n"
           "#   [every INTERVAL_MS]  (without it: once per pass of the array)\n";
    CellText label;
    for (const GeneratorRow& row : rows) {
        out += std::to_string(row.channel) + ' ' + std::string(addressText(row.label, label)) + " \"";
        for (const char c : utf8FromCp1251(row.tag)) {
            if (controlCharacter(c)) { // a line end would cut the row, a tab would not show
                constexpr char kHex[] = "0123456789ABCDEF";
                out += "\\x";
                out.push_back(kHex[static_cast<unsigned char>(c) >> 4]);
                out.push_back(kHex[static_cast<unsigned char>(c) & 0xF]);
                continue;
            }
            if (c == '"' || c == '\\')
                out.push_back('\\');
            out.push_back(c);
        }
        out += "\" " + std::to_string(row.ssm) + ' ' + waveformText(row.waveform);
        if (row.intervalMs > 0.0) {
            char interval[32];
            const auto end = std::to_chars(interval, interval + sizeof interval, row.intervalMs).ptr; // reads back exactly
            out += " every " + std::string(interval, end);
        }
        out += '\n';
    }
    return out;
}

GeneratorFileContents parseGeneratorText(std::string_view text, std::bitset<kChannels> laidOut)
{
    GeneratorFileContents out;
    std::array<std::size_t, kChannels> perChannel{};
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
        std::string problem;
        const auto row = parseRow(rest, problem);
        if (!row) {
            out.badLines.push_back({lineNo, std::move(problem)});
            continue;
        }
        // A channel's array holds 256 words: rows beyond them could not be laid out.
        const auto ch = static_cast<std::size_t>(row->channel - 1);
        if (laidOut.test(ch) && perChannel[ch] >= kGeneratorRowsPerChannel) {
            out.badLines.push_back({lineNo, "больше " + std::to_string(kGeneratorRowsPerChannel) +
                                                " строк для канала " + std::to_string(row->channel)});
            continue;
        }
        ++perChannel[ch];
        out.rows.push_back(*row);
        out.rowLines.push_back(lineNo);
    }
    if (!headerSeen)
        out.problem = "Файл генератора пуст.";
    return out;
}

GeneratorFileContents readGeneratorFile(const std::filesystem::path& file, std::bitset<kChannels> laidOut)
{
    GeneratorFileContents out;
    std::uintmax_t size = 0;
    std::ifstream in;
    switch (openInputFile(in, file, &size)) {
    case InputProblem::None: break;
    case InputProblem::Folder: out.problem = "Это папка, а не файл генератора."; return out;
    case InputProblem::NotRegular:
        out.problem = "Это не обычный файл (канал, устройство или сокет), а файл генератора читается только с диска.";
        return out;
    case InputProblem::Missing:
    case InputProblem::Unreadable: out.problem = "Не удалось открыть файл генератора."; return out;
    }
    if (size > kMaxFileBytes) {
        out.problem = "Файл слишком велик для файла генератора (" + std::to_string(size) + " байт).";
        return out;
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return parseGeneratorText(text, laidOut);
}

bool writeGeneratorFile(const std::filesystem::path& file, std::span<const GeneratorRow> rows, WriteProblem* problem)
{
    const std::string text = generatorText(rows);
    return replaceFile(file, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()), problem);
}

} // namespace telvar5
