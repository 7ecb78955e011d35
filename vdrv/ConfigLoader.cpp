#include "vdrv/ConfigLoader.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <fstream>
#include <optional>
#include <span>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#include "vdrv/ArincWord.h"
#include "vdrv/TextFields.h"

namespace telvar5::vdrv {

namespace {

constexpr std::size_t kMaxErrors = 100;
constexpr std::uintmax_t kMaxFileSize = 1u << 20;
constexpr Micros kMaxPeriodMs = 10'000;

// The fields of a line up to its comment.
std::vector<std::string_view> splitTokens(std::string_view line)
{
    const std::size_t hash = line.find('#');
    return splitFields(hash == std::string_view::npos ? line : line.substr(0, hash));
}

// A resolution may be written as a number or as a fraction, e.g. 180/32768.
std::optional<double> parseResolution(std::string_view s)
{
    const std::size_t slash = s.find('/');
    std::optional<double> v;
    if (slash == std::string_view::npos) {
        v = parseNumber(s);
    } else {
        const auto num = parseNumber(s.substr(0, slash));
        const auto den = parseNumber(s.substr(slash + 1));
        if (num && den && *den != 0.0)
            v = *num / *den;
    }
    if (!v || !(*v > 0.0))
        return std::nullopt;
    return v;
}

// Where a traffic statement put its sources, checked once the whole file is read.
struct TrafficRef {
    int line;
    int iface;
    int channel; // 1..8
};

// A wire statement, applied once the whole file is read (its interface may come later).
struct WireRef {
    int line;
    int iface;
    int output; // 1..8
    int input;  // 1..8, or kNotWired
};

// A fault statement, applied once the whole file is read (its interface may come later).
struct FaultRef {
    int line;
    int iface; // or kAllInterfaces
    FaultSetting setting;
};

class Parser {
public:
    Parser(ConfigLoadResult& result, const std::filesystem::path& baseDir)
        : result_(result), baseDir_(baseDir)
    {
    }

    void parse(std::string_view text)
    {
        int lineNo = 0;
        std::size_t pos = 0;
        while (pos <= text.size()) {
            std::size_t nl = text.find('\n', pos);
            if (nl == std::string_view::npos)
                nl = text.size();
            ++lineNo;
            statement(lineNo, splitTokens(text.substr(pos, nl - pos)));
            pos = nl + 1;
        }
        checkTraffic();
        applyWires();
        applyFaults();
        // Traffic is checked last; list every error in line order.
        std::stable_sort(result_.errors.begin(), result_.errors.end(),
                         [](const ConfigError& a, const ConfigError& b) { return a.line < b.line; });
    }

private:
    void error(int line, std::string message)
    {
        if (result_.errors.size() < kMaxErrors)
            result_.errors.push_back({line, std::move(message)});
        else if (result_.errors.size() == kMaxErrors)
            result_.errors.push_back({line, "too many errors; later ones are not listed"});
    }

    void statement(int line, const std::vector<std::string_view>& t)
    {
        if (t.empty())
            return;
        const std::string_view kw = t[0];
        if (kw == "bench-socket")
            benchSocket(line, t);
        else if (kw == "interface")
            interface(line, t);
        else if (kw == "traffic")
            traffic(line, t);
        else if (kw == "bnr")
            bnr(line, t);
        else if (kw == "discrete")
            discrete(line, t);
        else if (kw == "wire")
            wire(line, t);
        else if (kw == "fault")
            fault(line, t);
        else
            error(line, "unknown statement \"" + std::string(kw) + "\"");
    }

    void benchSocket(int line, const std::vector<std::string_view>& t)
    {
        if (t.size() != 2) {
            error(line, "expected: bench-socket PATH (no blanks in the path)");
            return;
        }
        // The file's text is UTF-8 (on Windows a narrow string would be read in
        // another code page, and bytes that are not UTF-8 make no name there).
        try {
            std::filesystem::path p{std::u8string(t[1].begin(), t[1].end())};
            if (p.is_relative())
                p = baseDir_ / p;
            result_.config.benchSocket = p.lexically_normal().string();
        } catch (const std::system_error&) {
            error(line, "bench-socket PATH is not UTF-8 text");
        }
    }

    void interface(int line, const std::vector<std::string_view>& t)
    {
        if (t.size() < 3) {
            error(line, "expected: interface I serial S inputs N outputs M, or interface I fails [ERROR]");
            return;
        }
        const auto index = parseUnsigned(t[1], 10, kMaxInterfaces - 1);
        if (!index) {
            error(line, "interface index must be 0..15");
            return;
        }
        InterfaceConfig& ic = result_.config.interfaces[*index];
        if (ic.present) {
            error(line, "interface " + std::to_string(*index) + " is already defined");
            return;
        }
        InterfaceConfig parsed;
        parsed.present = true;
        if (t[2] == "fails") {
            if (t.size() > 4) {
                error(line, "expected: interface I fails [ERROR]");
                return;
            }
            parsed.failsToOpen = true;
            if (t.size() == 4) {
                const auto code = parseUnsigned(t[3], 10, 0xFFFFFFFFu);
                if (!code || *code == 0) {
                    error(line, "the error code must be a non-zero number");
                    return;
                }
                parsed.openError = static_cast<std::uint32_t>(*code);
            }
            parsed.traffic = std::move(ic.traffic);
            ic = std::move(parsed);
            return;
        }
        bool haveSerial = false, haveInputs = false, haveOutputs = false;
        if (t.size() % 2 != 0) {
            error(line, "expected: interface I serial S inputs N outputs M");
            return;
        }
        for (std::size_t i = 2; i + 1 < t.size(); i += 2) {
            const std::string_view key = t[i];
            if (key == "serial") {
                const auto v = parseUnsigned(t[i + 1], 10, 0xFFFF);
                if (!v) {
                    error(line, "serial must be 0..65535");
                    return;
                }
                parsed.serial = static_cast<std::uint16_t>(*v);
                haveSerial = true;
            } else if (key == "inputs" || key == "outputs") {
                const auto v = parseUnsigned(t[i + 1], 10, kMaxChannels);
                if (!v) {
                    error(line, std::string(key) + " must be 0..8");
                    return;
                }
                (key == "inputs" ? parsed.inputs : parsed.outputs) = static_cast<std::uint8_t>(*v);
                (key == "inputs" ? haveInputs : haveOutputs) = true;
            } else {
                error(line, "unknown interface field \"" + std::string(key) + "\"");
                return;
            }
        }
        if (!haveSerial || !haveInputs || !haveOutputs) {
            error(line, "an interface needs serial, inputs and outputs");
            return;
        }
        parsed.traffic = std::move(ic.traffic); // traffic may come before its interface
        ic = std::move(parsed);
    }

    void traffic(int line, const std::vector<std::string_view>& t)
    {
        current_.reset();
        if (t.size() != 4) {
            error(line, "expected: traffic I CHANNEL low|mid|high");
            return;
        }
        const auto index = parseUnsigned(t[1], 10, kMaxInterfaces - 1);
        const auto channel = parseUnsigned(t[2], 10, kMaxChannels);
        const auto speed = busSpeedFromName(t[3]);
        if (!index) {
            error(line, "interface index must be 0..15");
            return;
        }
        if (!channel || *channel == 0) {
            error(line, "input channel must be 1..8");
            return;
        }
        if (!speed) {
            error(line, "bus speed must be low (12.5 kbit/s), mid (50) or high (100)");
            return;
        }
        ChannelTraffic& ct = result_.config.interfaces[*index].traffic[*channel - 1];
        if (!ct.sources.empty() && ct.speed != *speed) {
            error(line, "this channel's bus was given another speed before");
            return;
        }
        ct.speed = *speed;
        current_ = TrafficRef{line, static_cast<int>(*index), static_cast<int>(*channel)};
        refs_.push_back(*current_);
    }

    ChannelTraffic* currentTraffic(int line)
    {
        if (!current_) {
            error(line, "a parameter needs a traffic statement before it");
            return nullptr;
        }
        ChannelTraffic& ct = result_.config.interfaces[current_->iface].traffic[current_->channel - 1];
        if (ct.sources.size() >= kMaxSourcesPerChannel) {
            error(line, "at most 32 parameters per channel");
            return nullptr;
        }
        return &ct;
    }

    // LABEL PERIOD_MS, common to both kinds of parameter.
    bool labelAndPeriod(int line, const std::vector<std::string_view>& t, TrafficSource& s)
    {
        const auto label = parseUnsigned(t[1], 8, 0377);
        if (!label) {
            error(line, "label must be octal 0..377");
            return false;
        }
        const auto period = parseUnsigned(t[2], 10, kMaxPeriodMs);
        if (!period || *period == 0) {
            error(line, "period must be 1..10000 ms");
            return false;
        }
        s.label = static_cast<std::uint8_t>(*label);
        s.periodUs = static_cast<Micros>(*period) * 1000;
        return true;
    }

    void bnr(int line, const std::vector<std::string_view>& t)
    {
        ChannelTraffic* ct = currentTraffic(line);
        if (!ct)
            return;
        if (t.size() < 7) {
            error(line, "expected: bnr LABEL PERIOD_MS BITS RESOLUTION SHAPE ARGS... [ssm S]");
            return;
        }
        TrafficSource s;
        s.kind = TrafficSource::Kind::Bnr;
        if (!labelAndPeriod(line, t, s))
            return;
        const auto bits = parseUnsigned(t[3], 10, kMaxBnrBits);
        if (!bits || *bits == 0) {
            error(line, "bits must be 1..20");
            return;
        }
        const auto res = parseResolution(t[4]);
        if (!res) {
            error(line, "resolution must be a positive number or a fraction such as 180/32768");
            return;
        }
        s.bits = static_cast<int>(*bits);
        s.resolution = *res;
        std::size_t i = 5;
        const auto shape = curveShapeFromName(t[i]);
        if (!shape) {
            error(line, "shape must be const, ramp, triangle or sine");
            return;
        }
        s.curve.shape = *shape;
        ++i;
        const std::size_t args = *shape == ValueCurve::Shape::Constant ? 1 : 3;
        if (t.size() < i + args) {
            error(line, *shape == ValueCurve::Shape::Constant ? "expected: const VALUE"
                                                              : "expected: " + std::string(t[5]) + " MIN MAX PERIOD_S");
            return;
        }
        std::optional<double> v[3];
        for (std::size_t k = 0; k < args; ++k)
            v[k] = parseNumber(t[i + k]);
        if (!v[0] || (args == 3 && (!v[1] || !v[2]))) {
            error(line, "the shape's values must be numbers");
            return;
        }
        s.curve.min = *v[0];
        s.curve.max = args == 3 ? *v[1] : *v[0];
        if (args == 3) {
            if (!(*v[2] > 0.0)) {
                error(line, "the shape's period must be positive seconds");
                return;
            }
            s.curve.periodS = *v[2];
        }
        i += args;
        if (i < t.size()) {
            const auto ssm = (t.size() == i + 2 && t[i] == "ssm") ? parseUnsigned(t[i + 1], 10, 3) : std::nullopt;
            if (!ssm) {
                error(line, "only \"ssm 0..3\" may follow the shape");
                return;
            }
            s.ssm = static_cast<std::uint8_t>(*ssm);
        }
        ct->sources.push_back(s);
    }

    void discrete(int line, const std::vector<std::string_view>& t)
    {
        ChannelTraffic* ct = currentTraffic(line);
        if (!ct)
            return;
        if (t.size() != 4) {
            error(line, "expected: discrete LABEL PERIOD_MS DATA_HEX");
            return;
        }
        TrafficSource s;
        s.kind = TrafficSource::Kind::Discrete;
        if (!labelAndPeriod(line, t, s))
            return;
        const auto data = parseUnsigned(t[3], 16, 0xFFFFFF);
        if (!data) {
            error(line, "data must be hexadecimal 0..FFFFFF (bits 9..32)");
            return;
        }
        s.data = static_cast<std::uint32_t>(*data);
        ct->sources.push_back(s);
    }

    void wire(int line, const std::vector<std::string_view>& t)
    {
        current_.reset(); // parameters after a wire statement belong to no bus
        if (t.size() != 4) {
            error(line, "expected: wire I OUTPUT INPUT, or wire I OUTPUT none");
            return;
        }
        const auto index = parseUnsigned(t[1], 10, kMaxInterfaces - 1);
        const auto output = parseUnsigned(t[2], 10, kMaxChannels);
        const bool none = t[3] == "none";
        const auto input = none ? std::optional<std::uint64_t>(kNotWired) : parseUnsigned(t[3], 10, kMaxChannels);
        if (!index) {
            error(line, "interface index must be 0..15");
            return;
        }
        if (!output || *output == 0) {
            error(line, "output channel must be 1..8");
            return;
        }
        if (!input || (!none && *input == 0)) {
            error(line, "input channel must be 1..8 or none");
            return;
        }
        const WireRef w{line, static_cast<int>(*index), static_cast<int>(*output), static_cast<int>(*input)};
        for (const WireRef& other : wires_) {
            if (other.iface != w.iface)
                continue;
            if (other.output == w.output) {
                error(line, "output " + std::to_string(w.output) + " of interface " + std::to_string(w.iface)
                                + " is wired on line " + std::to_string(other.line) + " already");
                return;
            }
            // A bus carries one transmitter.
            if (w.input != kNotWired && other.input == w.input) {
                error(line, "input " + std::to_string(w.input) + " of interface " + std::to_string(w.iface)
                                + " is wired to output " + std::to_string(other.output) + " on line "
                                + std::to_string(other.line) + " already; an input takes one output");
                return;
            }
        }
        wires_.push_back(w);
    }

    void fault(int line, const std::vector<std::string_view>& t)
    {
        current_.reset(); // parameters after a fault statement belong to no bus
        if (t.size() < 3) {
            error(line, "expected: fault I|all fail|random|short|slow|vanish|seed ...");
            return;
        }
        const auto index = t[1] == "all" ? std::optional<std::uint64_t>(kMaxInterfaces)
                                         : parseUnsigned(t[1], 10, kMaxInterfaces - 1);
        if (!index) {
            error(line, "interface index must be 0..15 or all");
            return;
        }
        std::string why;
        const auto setting = parseFaultSetting(std::span(t).subspan(2), why);
        if (!setting) {
            error(line, why);
            return;
        }
        const int iface = *index == kMaxInterfaces ? kAllInterfaces : static_cast<int>(*index);
        faults_.push_back({line, iface, *setting});
    }

    // In file order, onto the modules they name.
    void applyFaults()
    {
        for (const FaultRef& f : faults_) {
            if (f.iface == kAllInterfaces) {
                for (InterfaceConfig& ic : result_.config.interfaces) {
                    if (ic.present && !ic.failsToOpen)
                        ic.faults.push_back(f.setting);
                }
                continue;
            }
            InterfaceConfig& ic = result_.config.interfaces[f.iface];
            if (!ic.present)
                error(f.line, "interface " + std::to_string(f.iface) + " is not defined");
            else if (ic.failsToOpen)
                error(f.line, "interface " + std::to_string(f.iface) + " fails to open; it has no module to fault");
            else
                ic.faults.push_back(f.setting);
        }
    }

    // Output k goes to input k when the module has it and no wire statement
    // took that input for another output; wire statements say the rest.
    void applyWires()
    {
        std::array<std::array<bool, kMaxChannels>, kMaxInterfaces> stated{};
        std::array<std::array<bool, kMaxChannels>, kMaxInterfaces> taken{};
        for (const WireRef& w : wires_) {
            const InterfaceConfig& ic = result_.config.interfaces[w.iface];
            std::string problem;
            if (!ic.present)
                problem = "interface " + std::to_string(w.iface) + " is not defined";
            else if (ic.failsToOpen)
                problem = "interface " + std::to_string(w.iface) + " fails to open; it has no outputs to wire";
            else if (w.output > ic.outputs)
                problem = "interface " + std::to_string(w.iface) + " has no output channel " + std::to_string(w.output);
            else if (w.input > ic.inputs)
                problem = "interface " + std::to_string(w.iface) + " has no input channel " + std::to_string(w.input);
            if (!problem.empty()) {
                error(w.line, problem);
                continue;
            }
            stated[w.iface][w.output - 1] = true;
            if (w.input != kNotWired)
                taken[w.iface][w.input - 1] = true;
            result_.config.interfaces[w.iface].wires[w.output - 1] = static_cast<std::uint8_t>(w.input);
        }
        for (int i = 0; i < kMaxInterfaces; ++i) {
            InterfaceConfig& ic = result_.config.interfaces[i];
            for (int out = 0; out < kMaxChannels; ++out) {
                if (!stated[i][out])
                    ic.wires[out] = out < ic.inputs && !taken[i][out] ? static_cast<std::uint8_t>(out + 1) : kNotWired;
            }
        }
    }

    // Traffic may be given before its interface; it is checked at the end.
    void checkTraffic()
    {
        for (const TrafficRef& r : refs_) {
            InterfaceConfig& ic = result_.config.interfaces[r.iface];
            std::string problem;
            if (!ic.present)
                problem = "interface " + std::to_string(r.iface) + " is not defined";
            else if (ic.failsToOpen)
                problem = "interface " + std::to_string(r.iface) + " fails to open; its traffic is never seen";
            else if (r.channel > ic.inputs)
                problem = "interface " + std::to_string(r.iface) + " has no input channel " + std::to_string(r.channel);
            if (!problem.empty()) {
                error(r.line, problem);
                ic.traffic[r.channel - 1].sources.clear();
            }
        }
        // Traffic left on channels of absent interfaces is dropped with them.
        for (InterfaceConfig& ic : result_.config.interfaces) {
            if (!ic.present || ic.failsToOpen)
                ic.traffic = {};
        }
    }

    ConfigLoadResult& result_;
    std::filesystem::path baseDir_;
    std::optional<TrafficRef> current_;
    std::vector<TrafficRef> refs_;
    std::vector<WireRef> wires_;
    std::vector<FaultRef> faults_;
};

} // namespace

ConfigLoadResult parseConfigText(std::string_view text, const std::filesystem::path& baseDir)
{
    ConfigLoadResult result;
    result.found = true;
    Parser(result, baseDir).parse(text);
    return result;
}

ConfigLoadResult loadConfigFile(const std::filesystem::path& path)
{
    ConfigLoadResult result;
    result.path = path.string();
    std::error_code ec;
    if (!std::filesystem::exists(path, ec))
        return result;
    result.found = true;
    if (!std::filesystem::is_regular_file(path, ec)) {
        result.errors.push_back({0, "not a regular file"});
        return result;
    }
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec || size > kMaxFileSize) {
        result.errors.push_back({0, ec ? "cannot read the file size" : "file larger than 1 MiB"});
        return result;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        result.errors.push_back({0, "cannot open the file"});
        return result;
    }
    std::ostringstream text;
    text << in.rdbuf();
    std::filesystem::path dir = std::filesystem::absolute(path, ec).parent_path();
    if (ec)
        dir = path.parent_path();
    ConfigLoadResult parsed = parseConfigText(text.str(), dir);
    parsed.path = result.path;
    return parsed;
}

std::filesystem::path findInstalledConfig()
{
    std::error_code ec;
    if (std::filesystem::exists(kConfigFileName, ec))
        return std::filesystem::absolute(kConfigFileName, ec);
    if (std::filesystem::exists(kSystemConfigPath, ec))
        return kSystemConfigPath;
    return {};
}

} // namespace telvar5::vdrv
