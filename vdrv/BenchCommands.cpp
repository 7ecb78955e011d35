#include "vdrv/BenchCommands.h"

#include <charconv>
#include <cstdio>
#include <optional>
#include <string_view>
#include <vector>

#include "protocol/Requests.h"
#include "vdrv/TextFields.h"
#include "vdrv/VirtualDriver.h"

namespace telvar5::vdrv {

namespace {

constexpr std::size_t kDefaultSentWords = 64;
constexpr std::size_t kMaxInjectWords = 1024;

const char* const kHelp = "commands:\n"
                          "  modules\n"
                          "  log [N] [clear]\n"
                          "  inject IFACE CHANNEL WORD...   (words in hex)\n"
                          "  sent IFACE CHANNEL [N]         (time in us since the driver started, word, label)\n"
                          "  fault IFACE|all fail N|all\n"
                          "  fault IFACE|all vanish\n"
                          "  fault IFACE|all clear\n"
                          "  help\n";

std::string format(const char* fmt, auto... args)
{
    char buf[256];
    std::snprintf(buf, sizeof buf, fmt, args...);
    return buf;
}

std::string msText(Micros us) { return format("%.3f", static_cast<double>(us) / 1000.0); }

const char* inputCodeText(std::uint8_t code)
{
    static const char* const texts[] = {"12..14.5 kHz", "48 kHz +/-25%", "100 kHz"};
    return code <= kMaxRateCode ? texts[code] : "?";
}

const char* outputCodeText(std::uint8_t code)
{
    static const char* const texts[] = {"12.5 kHz", "50 kHz", "100 kHz"};
    return code <= kMaxRateCode ? texts[code] : "?";
}

const char* busText(BusSpeed speed)
{
    switch (speed) {
    case BusSpeed::Low: return "low 12.5 kbit/s";
    case BusSpeed::Mid: return "mid 50 kbit/s";
    case BusSpeed::High: return "high 100 kbit/s";
    }
    return "?";
}

const char* modeText(Receiver::Mode mode)
{
    switch (mode) {
    case Receiver::Mode::Stopped: return "stopped";
    case Receiver::Mode::Address: return "address reception";
    case Receiver::Mode::File: return "file reception";
    }
    return "?";
}

const char* stateText(Transmitter::State state)
{
    switch (state) {
    case Transmitter::State::Idle: return "idle";
    case Transmitter::State::Single: return "single";
    case Transmitter::State::Cyclic: return "cyclic";
    }
    return "?";
}

std::string wireText(std::uint8_t input)
{
    return input == kNotWired ? std::string("none") : format("in %u", input);
}

std::string faultText(const ModuleFaults& f)
{
    std::string s;
    if (f.vanished)
        s += " vanished;";
    if (f.failAll)
        s += " every request fails;";
    if (f.failNext)
        s += format(" the next %u requests fail;", f.failNext);
    if (!s.empty())
        s.pop_back();
    return s;
}

std::string requestName(std::uint32_t code)
{
    if (const RequestInfo* info = findRequest(code))
        return std::string(info->name);
    return format("0x%06X", code);
}

std::string hexBytes(const std::uint8_t* p, std::size_t n)
{
    std::string s;
    for (std::size_t i = 0; i < n; ++i)
        s += format(i ? " %02x" : "%02x", p[i]);
    return s;
}

class Reply {
public:
    void line(std::string s) { text_ += s + "\n"; }
    std::string ok() { return text_ + "OK\n"; }
    std::string error(const std::string& why) { return text_ + "ERROR " + why + "\n"; }

private:
    std::string text_;
};

std::string modulesCommand(VirtualDriver& driver)
{
    Reply r;
    const std::vector<ModuleSnapshot> modules = driver.modules();
    if (modules.empty())
        r.line("no interfaces configured");
    for (const ModuleSnapshot& m : modules) {
        if (m.failsToOpen) {
            r.line(format("interface %d: fails to open (error %u)", m.interfaceIndex, m.openError));
            continue;
        }
        r.line(format("interface %d: serial %u, %u inputs, %u outputs, %s, %u open handles", m.interfaceIndex,
                      m.serial, m.inputs, m.outputs, m.initialised ? "initialised" : "not initialised",
                      m.openHandles));
        for (int ch = 0; ch < m.inputs; ++ch) {
            const ReceiverSnapshot& rx = m.receivers[ch];
            std::string bus = rx.hasTraffic ? std::string("bus ") + busText(rx.busSpeed) : "no traffic";
            if (rx.busHeldBy != 0)
                bus += format(" (out %u transmits on it)", rx.busHeldBy);
            else if (rx.mode != Receiver::Mode::Stopped && rx.hasTraffic && !rx.listening)
                bus += " (rate mismatch)";
            r.line(format("  in %d: %s, code %u (%s), %s, %llu words received, last 0x%08X", ch + 1,
                          modeText(rx.mode), rx.code, inputCodeText(rx.code), bus.c_str(),
                          static_cast<unsigned long long>(rx.wordsReceived), rx.lastWord));
        }
        for (int ch = 0; ch < m.outputs; ++ch) {
            const TransmitterSnapshot& tx = m.transmitters[ch];
            r.line(format("  out %d -> %s: %s, %u words per run, code %u (%s), %llu words sent", ch + 1,
                          wireText(tx.wiredInput).c_str(), stateText(tx.state), tx.count, tx.code,
                          outputCodeText(tx.code), static_cast<unsigned long long>(tx.wordsSent)));
        }
        if (m.faults.any())
            r.line("  faults:" + faultText(m.faults));
    }
    return r.ok();
}

std::string logCommand(VirtualDriver& driver, const std::vector<std::string_view>& t)
{
    Reply r;
    std::size_t n = kRequestLogCapacity;
    bool clear = false;
    for (std::size_t i = 1; i < t.size(); ++i) {
        if (t[i] == "clear" || t[i] == "--clear") {
            clear = true;
        } else if (const auto v = parseUnsigned(t[i])) {
            n = static_cast<std::size_t>(*v);
        } else {
            return r.error("usage: log [N] [clear]");
        }
    }
    for (const LogEntry& e : driver.requestLog(n, clear)) {
        const std::size_t inShown = std::min<std::size_t>(e.inSize, kLoggedInputBytes);
        std::string line = format("#%llu %s ms if=", static_cast<unsigned long long>(e.sequence),
                                  msText(e.timeUs).c_str());
        line += e.interfaceIndex >= 0 ? std::to_string(e.interfaceIndex) : format("? (handle 0x%llx)",
                                                                              static_cast<unsigned long long>(e.handle));
        line += " " + requestName(e.code);
        line += format(" in=%u", e.inSize);
        if (inShown)
            line += ": " + hexBytes(e.in.data(), inShown) + (e.inSize > inShown ? " ..." : "");
        line += format(" out=%u/%u", e.bytesReturned, e.outSize);
        if (e.bytesReturned)
            line += ": " + hexBytes(e.reply.data(), std::min<std::size_t>(e.bytesReturned, kLoggedReplyBytes));
        line += e.ok ? " ok" : " FAILED";
        r.line(line);
    }
    if (clear)
        r.line("log cleared");
    return r.ok();
}

std::optional<int> interfaceArg(std::string_view s, bool allowAll)
{
    if (allowAll && s == "all")
        return kAllInterfaces;
    if (const auto v = parseUnsigned(s, 10, kMaxInterfaces - 1))
        return static_cast<int>(*v);
    return std::nullopt;
}

std::optional<int> channelArg(std::string_view s)
{
    const auto v = parseUnsigned(s, 10, kMaxChannels);
    if (!v || *v == 0)
        return std::nullopt;
    return static_cast<int>(*v);
}

std::string injectCommand(VirtualDriver& driver, const std::vector<std::string_view>& t)
{
    Reply r;
    if (t.size() < 4)
        return r.error("usage: inject IFACE CHANNEL WORD... (words in hex)");
    const auto iface = interfaceArg(t[1], false);
    const auto channel = channelArg(t[2]);
    if (!iface)
        return r.error("IFACE must be 0..15");
    if (!channel)
        return r.error("CHANNEL must be 1..8");
    if (t.size() - 3 > kMaxInjectWords)
        return r.error("at most 1024 words at once");
    std::vector<std::uint32_t> words;
    for (std::size_t i = 3; i < t.size(); ++i) {
        const auto w = parseUnsigned(t[i], 16);
        if (!w)
            return r.error("not a 32-bit hex word: " + std::string(t[i]));
        words.push_back(static_cast<std::uint32_t>(*w));
    }
    std::string error;
    if (!driver.injectWords(*iface, *channel, words, error))
        return r.error(error);
    r.line(format("%zu words injected on input channel %d of interface %d", words.size(), *channel, *iface));
    return r.ok();
}

std::string sentCommand(VirtualDriver& driver, const std::vector<std::string_view>& t)
{
    Reply r;
    if (t.size() < 3 || t.size() > 4)
        return r.error("usage: sent IFACE CHANNEL [N]");
    const auto iface = interfaceArg(t[1], false);
    const auto channel = channelArg(t[2]);
    const auto n = t.size() == 4 ? parseUnsigned(t[3]) : std::optional<std::uint64_t>(kDefaultSentWords);
    if (!iface)
        return r.error("IFACE must be 0..15");
    if (!channel)
        return r.error("CHANNEL must be 1..8");
    if (!n)
        return r.error("N must be a number");
    std::vector<SentWord> words;
    TransmitterSnapshot state;
    std::string error;
    if (!driver.sentWords(*iface, *channel, static_cast<std::size_t>(*n), words, state, error))
        return r.error(error);
    r.line(format("output channel %d of interface %d -> %s: %s, %u words per run, code %u (%s), %llu words sent",
                  *channel, *iface, wireText(state.wiredInput).c_str(), stateText(state.state), state.count,
                  state.code, outputCodeText(state.code), static_cast<unsigned long long>(state.wordsSent)));
    for (const SentWord& w : words)
        r.line(format("%lld us 0x%08X label %03o", static_cast<long long>(w.timeUs), w.word, w.word & 0xFFu));
    return r.ok();
}

std::string faultCommand(VirtualDriver& driver, const std::vector<std::string_view>& t)
{
    Reply r;
    const char* usage = "usage: fault IFACE|all fail N|all, fault IFACE|all vanish, fault IFACE|all clear";
    if (t.size() < 3)
        return r.error(usage);
    const auto iface = interfaceArg(t[1], true);
    if (!iface)
        return r.error("IFACE must be 0..15 or all");
    FaultAction action;
    std::uint32_t count = 0;
    if (t[2] == "fail" && t.size() == 4) {
        if (t[3] == "all") {
            action = FaultAction::FailAll;
        } else if (const auto v = parseUnsigned(t[3]); v && *v > 0) {
            action = FaultAction::FailNext;
            count = static_cast<std::uint32_t>(*v);
        } else {
            return r.error("fail takes a count above 0 or all");
        }
    } else if (t[2] == "vanish" && t.size() == 3) {
        action = FaultAction::Vanish;
    } else if (t[2] == "clear" && t.size() == 3) {
        action = FaultAction::Clear;
    } else {
        return r.error(usage);
    }
    std::string error;
    if (!driver.setFault(*iface, action, count, error))
        return r.error(error);
    return r.ok();
}

} // namespace

std::string BenchCommands::execute(const std::string& line)
{
    const std::vector<std::string_view> t = splitFields(line);
    if (t.empty())
        return Reply().error("empty command; try help");
    const std::string_view cmd = t[0];
    if (cmd == "modules" && t.size() == 1)
        return modulesCommand(driver_);
    if (cmd == "log")
        return logCommand(driver_, t);
    if (cmd == "inject")
        return injectCommand(driver_, t);
    if (cmd == "sent")
        return sentCommand(driver_, t);
    if (cmd == "fault")
        return faultCommand(driver_, t);
    if (cmd == "help")
        return std::string(kHelp) + "OK\n";
    return Reply().error("unknown command \"" + std::string(cmd) + "\"; try help");
}

} // namespace telvar5::vdrv
