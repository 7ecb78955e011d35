#include "core/stimulus/Waveform.h"

#include <array>
#include <charconv>
#include <cmath>
#include <vector>

namespace telvar5 {

namespace {

struct KindName {
    WaveformKind kind;
    std::string_view name;
    std::size_t numbers;        // numbers after the name; ramp adds repeat|hold
    std::string_view arguments; // as the help names them
};
constexpr std::array<KindName, 6> kKinds{{
    {WaveformKind::Constant, "const", 1, "A"},
    {WaveformKind::Ramp, "ramp", 3, "ОТ ДО ПЕРИОД repeat|hold"},
    {WaveformKind::Sine, "sine", 3, "ЦЕНТР АМПЛИТУДА ПЕРИОД"},
    {WaveformKind::Square, "square", 3, "A B ПЕРИОД"},
    {WaveformKind::Step, "step", 3, "A B МОМЕНТ"},
    {WaveformKind::RandomWalk, "walk", 4, "НИЖНЯЯ ВЕРХНЯЯ СКОРОСТЬ ЗЕРНО"},
}};
constexpr std::string_view kKindList = "const, ramp, sine, square, step, walk";

const KindName& kindOf(WaveformKind kind)
{
    for (const KindName& k : kKinds)
        if (k.kind == kind)
            return k;
    return kKinds[0];
}

std::vector<std::string_view> words(std::string_view text)
{
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
            ++i;
        const std::size_t start = i;
        while (i < text.size() && text[i] != ' ' && text[i] != '\t')
            ++i;
        if (i > start)
            out.push_back(text.substr(start, i - start));
    }
    return out;
}

// A finite decimal number, the whole word and nothing else, in any locale.
std::optional<double> number(std::string_view word)
{
    if (!word.empty() && word.front() == '+')
        word.remove_prefix(1);
    double v = 0.0;
    const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), v);
    if (ec != std::errc() || end != word.data() + word.size() || !std::isfinite(v))
        return std::nullopt;
    return v;
}

void appendNumber(std::string& out, double v)
{
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, v).ptr; // shortest text that reads back exactly
    out.push_back(' ');
    out.append(text, end);
}

} // namespace

std::string_view waveformKindName(WaveformKind kind) { return kindOf(kind).name; }

std::optional<WaveformKind> waveformKindNamed(std::string_view name)
{
    for (const KindName& k : kKinds)
        if (k.name == name)
            return k.kind;
    return std::nullopt;
}

std::string waveformText(const Waveform& w)
{
    std::string out(waveformKindName(w.kind));
    switch (w.kind) {
    case WaveformKind::Constant:
        appendNumber(out, w.a);
        break;
    case WaveformKind::Ramp:
        appendNumber(out, w.a);
        appendNumber(out, w.b);
        appendNumber(out, w.periodS);
        out += w.hold ? " hold" : " repeat";
        break;
    case WaveformKind::Sine:
    case WaveformKind::Square:
    case WaveformKind::Step:
        appendNumber(out, w.a);
        appendNumber(out, w.b);
        appendNumber(out, w.periodS);
        break;
    case WaveformKind::RandomWalk:
        appendNumber(out, w.a);
        appendNumber(out, w.b);
        appendNumber(out, w.rate);
        out += ' ' + std::to_string(w.seed);
        break;
    }
    return out;
}

std::optional<Waveform> parseWaveform(std::string_view text)
{
    std::string problem;
    return parseWaveform(text, problem);
}

std::optional<Waveform> parseWaveform(std::string_view text, std::string& problem)
{
    const auto refuse = [&problem](std::string why) {
        problem = std::move(why);
        return std::nullopt;
    };
    const std::vector<std::string_view> w = words(text);
    if (w.empty())
        return refuse("нет закона (" + std::string(kKindList) + ")");
    const auto kind = waveformKindNamed(w[0]);
    if (!kind)
        return refuse("неизвестный закон «" + std::string(w[0]) + "» (" + std::string(kKindList) + ")");
    const KindName& shape = kindOf(*kind);
    const std::string named = "закон " + std::string(shape.name);
    const std::size_t expected = 1 + shape.numbers + (*kind == WaveformKind::Ramp ? 1 : 0);
    if (w.size() != expected)
        return refuse(named + " ждет " + std::string(shape.arguments));

    Waveform out;
    out.kind = *kind;
    std::array<double, 3> n{};
    for (std::size_t i = 0; i < std::min<std::size_t>(shape.numbers, 3); ++i) {
        const auto v = number(w[1 + i]);
        if (!v)
            return refuse("«" + std::string(w[1 + i]) + "» — не число (числа пишутся с точкой)");
        n[i] = *v;
    }
    out.a = n[0];
    switch (*kind) {
    case WaveformKind::Constant:
        break;
    case WaveformKind::Ramp:
        if (w[4] != "repeat" && w[4] != "hold")
            return refuse(named + " кончается словом repeat или hold, а не «" + std::string(w[4]) + "»");
        out.hold = w[4] == "hold";
        [[fallthrough]];
    case WaveformKind::Sine:
    case WaveformKind::Square:
    case WaveformKind::Step:
        out.b = n[1];
        out.periodS = n[2];
        if (!(out.periodS > 0.0))
            return refuse(std::string(*kind == WaveformKind::Step ? "МОМЕНТ" : "ПЕРИОД") + " закона " +
                          std::string(shape.name) + " должен быть больше 0");
        break;
    case WaveformKind::RandomWalk: {
        out.b = n[1];
        out.rate = n[2];
        std::uint64_t seed = 0;
        const std::string_view s = w[4];
        const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), seed);
        if (out.a > out.b)
            return refuse("у закона walk НИЖНЯЯ граница больше ВЕРХНЕЙ");
        if (out.rate < 0.0)
            return refuse("СКОРОСТЬ закона walk не может быть меньше 0");
        if (ec != std::errc() || end != s.data() + s.size())
            return refuse("ЗЕРНО закона walk — целое число от 0 до 18446744073709551615, а не «" + std::string(s) +
                          "»");
        out.seed = seed;
        break;
    }
    }
    return out;
}

} // namespace telvar5
