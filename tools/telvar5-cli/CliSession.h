#pragma once
// One invocation of telvar5-cli: the monitor's core on the chosen driver, with
// the answers of nobody at the bench. The commands run one after another on
// it, so the module stays chosen and initialised between them; at the end the
// session stops what is still transmitting and resets the module, as the
// window does when it closes.
#include <bitset>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "CliEnvironment.h"
#include "CliPrompts.h"
#include "RequestWatch.h"
#include "TickBudget.h"
#include "core/Monitor.h"

namespace telvar5::cli {

class CliSession {
public:
    CliSession(CliEnvironment& env, std::ostream& out, std::ostream& err);
    CliSession(const CliSession&) = delete;
    CliSession& operator=(const CliSession&) = delete;

    Monitor& monitor() { return *monitor_; }
    RunState& run() { return monitor_->run(); }

    // A whole line of data (ending in '\n') to stdout, handed over at once.
    // Throws CliError when it could not be written (see stdoutFailure).
    void writeLine(std::string_view line);
    // stdout itself, for a command that writes more than lines (export --csv -).
    std::ostream& out() { return out_; }
    // One line for the user on stderr, after "telvar5-cli: ".
    void note(std::string_view text);

    // --- The module ---------------------------------------------------------------
    // The modules found; the search runs once per invocation.
    const ModuleTable& modules();
    // The modules of the search that are there but would not open, one line
    // each: "модуль с порядковым № 0 не открывается (ошибка 5)".
    std::vector<std::string> unopenedModules();
    // Chooses (and so resets) the module of that ordinal number, or the first
    // one found. Throws NoModule when there is none, when the one asked for
    // would not open, or, without an ordinal number, when a module before the
    // first one found would not open (another is taken only when asked for);
    // RequestFailed when it does not answer.
    void choose(std::optional<std::uint32_t> ordinal, std::string_view command);
    // The chosen module's line: "TELVAR-5: серийный № 1021; порядковый № 0".
    const std::string& chosenLine() { return monitor_->screen().statusBar1[0]; }
    // Initialises the chosen module with the 16 bit-rate codes.
    void initialise(const FreqCodes& codes, std::string_view command);
    // Before a command that needs an initialised module: the first module, codes 0, said on stderr.
    void ensureInitialised(std::string_view command);
    // Throws BadArgument when the module lacks that input or output channel.
    void requireInput(int channel, std::string_view command);
    void requireOutput(int channel, std::string_view command);

    // --- Requests ---------------------------------------------------------------------
    std::uint64_t failureMark() const { return watch_.failures(); }
    // Throws RequestFailed, naming the request, when one failed since the mark.
    void expectAnswered(std::uint64_t mark, std::string_view command) const;

    void startReception(int channel, std::uint16_t mode, std::string_view command);
    void stopReception(int channel, std::string_view command);
    // Loads a parameter formats file (.si); throws FileError when it cannot be opened.
    void loadParamFormats(const std::string& path, std::string_view command);
    // Says once per invocation, on stderr, that no decimal format is in force
    // (TLV5frmt.stt missing, unreadable or empty), so values and units stay empty.
    void warnWithoutDecimalFormats(std::string_view command);

    // --- Time --------------------------------------------------------------------------
    std::int64_t nowUs() const { return env_.clock->nowUs(); }
    // Throws Interrupted once the user asked the program to end.
    void sleepUntil(std::int64_t untilUs);
    void stopIfInterrupted() const;
    bool interrupted() const { return env_.interrupted && env_.interrupted(); }
    std::int64_t wallClockUs() const;
    const UtcOffsetOf& utcOffset() const { return env_.utcOffset; }
    // Runs the refresh cycle at the period until the budget is spent or `finished`
    // (when given) says so after a tick, calling the kept stimuli's afterTick
    // and then afterTick after every tick. Throws RequestFailed when every
    // request of a tick failed: the module stopped answering; and at the end
    // when some requests of the ticks failed, naming the tick of the first.
    void runTicks(std::int32_t periodMs, const TickBudget& budget, const std::function<void()>& afterTick,
                  std::string_view command, const std::function<bool()>& finished = {});

    // --- Outputs -----------------------------------------------------------------------
    // A cyclic output left running for the later commands; finish() stops it.
    void keepCyclic(int channel) { cyclic_.set(static_cast<std::size_t>(channel - 1)); }
    void stopOutput(int channel, std::string_view command);
    // Throws BadArgument when the generator or a replay holds the output channel.
    void requireNoStimulus(int channel, std::string_view command);

    // --- Stimuli -------------------------------------------------------------------------
    // A generator or a replay that moves with the refresh ticks of every later
    // command. `afterTick` follows each of those ticks; `stop` stops it and says
    // what it did, at the end of the invocation or before another module is
    // chosen, and must do nothing when it was stopped already.
    struct KeptStimulus {
        std::function<void()> afterTick;
        std::function<void()> stop;
    };
    void keepStimulus(KeptStimulus stimulus) { stimuli_.push_back(std::move(stimulus)); }
    // End of the invocation: stops the cyclic outputs still running and resets
    // the module. Returns whether there was a module to reset; throws
    // RequestFailed when the module refused.
    bool finish();

private:
    void releaseModule();
    void stopStimuli();

    CliEnvironment& env_;
    std::ostream& out_;
    std::ostream& err_;
    RequestWatch watch_;
    CliPrompts prompts_;
    std::unique_ptr<Monitor> monitor_;
    bool searched_ = false;
    bool initialised_ = false;
    bool formatsWarned_ = false;
    std::bitset<kChannels> cyclic_;
    std::vector<KeptStimulus> stimuli_;
};

} // namespace telvar5::cli
