#include "vdrv/BenchCommands.h"

#include <cstdio>
#include <vector>

#include "protocol/Requests.h"
#include "vdrv/BenchCommandParser.h"
#include "vdrv/TextFields.h"
#include "vdrv/VirtualDriver.h"

namespace telvar5::vdrv {

namespace {

const char* const kHelp = "commands:\n"
                          "  modules\n"
                          "  log [N] [clear]\n"
                          "  inject IFACE CHANNEL WORD...   (words in hex)\n"
                          "  sent IFACE CHANNEL [N]         (time in us since the driver started, word, label)\n"
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

std::string requestName(std::uint32_t code)
{
    if (const RequestInfo* info = findRequest(code))
        return std::string(info->name);
    return format("0x%06X", code);
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
        if (m.faults.active())
            r.line("  faults: " + m.faults.describe());
    }
    return r.ok();
}

// What a fault did to the request, after its outcome.
std::string faultNote(const LogEntry& e)
{
    std::string s;
    auto add = [&s](const std::string& what) { s += (s.empty() ? " fault: " : ", ") + what; };
    if (e.faults & kLoggedVanished)
        add("vanished");
    if (e.faults & kLoggedFailed)
        add("failed");
    if (e.faults & kLoggedRandom)
        add("random");
    if (e.faults & kLoggedShort)
        add(format("short %u bytes", e.bytesReturned));
    if (e.delayUs != 0)
        add(format("delayed %u us", e.delayUs));
    return s;
}

std::string logCommand(VirtualDriver& driver, const BenchCommand& c)
{
    Reply r;
    for (const LogEntry& e : driver.requestLog(c.count.value_or(kRequestLogCapacity), c.clearLog)) {
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
        r.line(line + faultNote(e));
    }
    if (c.clearLog)
        r.line("log cleared");
    return r.ok();
}

std::string injectCommand(VirtualDriver& driver, const BenchCommand& c)
{
    Reply r;
    std::string error;
    if (!driver.injectWords(c.interfaceIndex, c.channel, c.words, error))
        return r.error(error);
    r.line(format("%zu words injected on input channel %d of interface %d", c.words.size(), c.channel,
                  c.interfaceIndex));
    return r.ok();
}

std::string sentCommand(VirtualDriver& driver, const BenchCommand& c)
{
    Reply r;
    std::vector<SentWord> words;
    TransmitterSnapshot state;
    std::string error;
    if (!driver.sentWords(c.interfaceIndex, c.channel, c.count.value_or(kDefaultSentWords), words, state, error))
        return r.error(error);
    r.line(format("output channel %d of interface %d -> %s: %s, %u words per run, code %u (%s), %llu words sent",
                  c.channel, c.interfaceIndex, wireText(state.wiredInput).c_str(), stateText(state.state),
                  state.count, state.code, outputCodeText(state.code),
                  static_cast<unsigned long long>(state.wordsSent)));
    for (const SentWord& w : words)
        r.line(format("%lld us 0x%08X label %03o", static_cast<long long>(w.timeUs), w.word, w.word & 0xFFu));
    return r.ok();
}

// Answers with the faults now in force on the modules it touched.
std::string faultCommand(VirtualDriver& driver, const BenchCommand& c)
{
    Reply r;
    std::string error;
    if (!driver.setFault(c.interfaceIndex, c.fault, error))
        return r.error(error);
    for (const ModuleSnapshot& m : driver.modules()) {
        if (m.failsToOpen || (c.interfaceIndex != kAllInterfaces && m.interfaceIndex != c.interfaceIndex))
            continue;
        const std::string faults = m.faults.describe();
        r.line(format("interface %d faults: %s", m.interfaceIndex, faults.empty() ? "none" : faults.c_str()));
    }
    return r.ok();
}

} // namespace

std::string BenchCommands::execute(const std::string& line)
{
    const BenchParseResult parsed = parseBenchCommand(line);
    if (!parsed.command)
        return Reply().error(parsed.error);
    const BenchCommand& c = *parsed.command;
    switch (c.kind) {
    case BenchCommand::Kind::Modules: return modulesCommand(driver_);
    case BenchCommand::Kind::Log: return logCommand(driver_, c);
    case BenchCommand::Kind::Inject: return injectCommand(driver_, c);
    case BenchCommand::Kind::Sent: return sentCommand(driver_, c);
    case BenchCommand::Kind::Fault: return faultCommand(driver_, c);
    case BenchCommand::Kind::Help: return std::string(kHelp) + kFaultUsage + "OK\n";
    }
    return Reply().error("unknown command");
}

} // namespace telvar5::vdrv
