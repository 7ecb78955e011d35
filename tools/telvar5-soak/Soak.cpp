#include "Soak.h"

#include <time.h>

#include <algorithm>
#include <chrono>
#include <cinttypes>
#include <cstdarg>
#include <cstdio>

#include "core/RefreshPeriod.h"
#include "core/device/BitRates.h"
#include "formats/InputGridText.h"
#include "vdrv/ConfigLoader.h"
#include "vdrv/FaultSetting.h"
#include "vdrv/TextFields.h"

namespace telvar5::soak {

namespace {

// CPU time of this thread: a tick slow on the wall clock but not here waited for the processor.
double threadCpuUs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_nsec) / 1e3;
}

// The words of SOdataTestExecute for output channel c (1..8), index k.
constexpr std::uint32_t testWord(std::uint32_t k, std::uint32_t c)
{
    return k | (c << 8) | ((255u - k) << 16) | ((255u - c) << 24);
}

} // namespace

Soak::Soak(std::uint64_t seed, const fs::path& scratch, bool traced) : rng_(seed), scratch_(scratch), traced_(traced)
{
    driver_ = std::make_shared<vdrv::VirtualDriver>(
        vdrv::parseConfigText("interface 0 serial 1021 inputs 8 outputs 8\n", scratch_), clock_);
    bus_ = std::make_unique<VirtualDeviceBus>(driver_);
    m_ = std::make_unique<Monitor>(*bus_, prompts_, time_); // reads ./TLV5frmt.stt: the scratch folder's
    setFault("seed " + std::to_string(seed));

    DeviceChoice& choice = m_->deviceChoice();
    choice.search();
    choice.beforeDialog();
    choice.FormShow();
    if (!choice.Button1Click())
        broken("the module could not be chosen");
    choice.FormClose();
    choice.afterDialog();
    m_->setRefreshPeriod(periodFromText("100", m_->run().refreshPeriodMs));
    for (int code = 0; code < 2 * kChannels; ++code)
        setFreqCode(m_->run(), code, kFastestRateCode);
    initialise();
    startAll(true);
    period();
    checkState("setup");
    start_ = soak::processFigures();
    nextFaultAt_ = periods_ + uniform(10, 30) * kPeriodsPerMinute;
    nextActionAt_ = periods_ + uniform(20, 100);
}

// ---- Time ----------------------------------------------------------------------------------

void Soak::period()
{
    clock_->advanceUs(std::int64_t{m_->run().refreshPeriodMs} * 1000);
    ++periods_;
    if (!m_->screen().timerActive)
        return;
    const double cpuStarted = threadCpuUs();
    const auto started = std::chrono::steady_clock::now();
    const TickResult tick = m_->refresh().Timer1Timer();
    const double us = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - started).count();
    const double cpuUs = threadCpuUs() - cpuStarted;
    ++ticks_;
    tickUsTotal_ += us;
    if (us > 1000)
        ++ticksOver1ms_;
    if (us > slowestUs_) {
        slowestUs_ = us;
        slowestTick_ = ticks_;
        slowestDuring_ = fault_ ? "fault " + fault_->statement : "no fault";
    }
    slowestCpuUs_ = std::max(slowestCpuUs_, cpuUs);
    paint(tick);
    checkCells();
}

void Soak::periods(int n)
{
    for (int i = 0; i < n; ++i)
        period();
}

// What the window draws after a tick: every column of the displayed channel's new cells.
void Soak::paint(const TickResult& tick)
{
    if (!tick.inputGridChanged)
        return;
    const RunState& run = m_->run();
    const InputChannelBuffer& cells = run.inputBuffer[run.curInputIndex % kChannels];
    CellText text;
    for (int j = 0; j < kInputCells; ++j)
        if (tick.storedCells.test(static_cast<std::size_t>(j)))
            for (int column = 0; column < kInputGridColumns; ++column)
                charsPainted_ +=
                    inputGridCellText(column, j, cells[j].word, cells[j].cycleNo, run.labelFormatTable, text).size();
}

// ---- Rules ---------------------------------------------------------------------------------

void Soak::broken(const char* format, ...)
{
    ++breakCount_;
    if (breaks_.size() >= kBreaksShown)
        return;
    char text[320];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    char where[64];
    std::snprintf(where, sizeof where, "tick %" PRId64 ": ", ticks_);
    breaks_.push_back(where + std::string(text));
}

// --trace: one line on stderr for every action, start and fault.
void Soak::trace(const char* format, ...)
{
    if (!traced_)
        return;
    std::fprintf(stderr, "tick %" PRId64 ", period %" PRId64 ": ", ticks_, periods_);
    va_list args;
    va_start(args, format);
    std::vfprintf(stderr, format, args);
    va_end(args);
    std::fputc('\n', stderr);
}

// After every tick: the counter went up by one; a cell holds nothing (word and
// cycle 0) or a word of at least 0x10000 from a past tick; in address reception
// cell j holds a word of label j.
void Soak::checkCells()
{
    const RunState& run = m_->run();
    if (run.refreshCounter != lastCounter_ + 1)
        broken("the refresh counter went from %u to %u", lastCounter_, run.refreshCounter);
    lastCounter_ = run.refreshCounter;
    for (std::size_t ch = 0; ch < kChannels; ++ch) {
        const bool address = run.receptionMode[ch] == kReceptionAddress && !tainted_[ch];
        for (std::size_t j = 0; j < kInputCells; ++j) {
            const InputCell& cell = run.inputBuffer[ch][j];
            if (cell.word == 0) {
                if (cell.cycleNo != 0)
                    broken("input %zu cell %zu: no word but cycle %u", ch + 1, j, cell.cycleNo);
                continue;
            }
            if (cell.word < 0x10000u)
                broken("input %zu cell %zu holds %08X, a word below 0x10000", ch + 1, j, cell.word);
            if (cell.cycleNo == 0 || cell.cycleNo > run.refreshCounter)
                broken("input %zu cell %zu: cycle %u at counter %u", ch + 1, j, cell.cycleNo, run.refreshCounter);
            if (cell.cycleNo == run.refreshCounter)
                ++cellsStored_;
            if (address && (cell.word & 0xFFu) != j)
                broken("input %zu, address reception: cell %zu holds label %03o", ch + 1, j, cell.word & 0xFFu);
        }
    }
}

// After every action: sizes 1..256, the displayed channels and their titles,
// the period, the format counts, the status lines, and no error box.
void Soak::checkState(const char* after)
{
    const RunState& run = m_->run();
    const ScreenState& screen = m_->screen();
    for (std::size_t k = 0; k < kChannels; ++k)
        if (run.arraySize[k] < 1 || run.arraySize[k] > 256 || run.arraySizeCopy[k] != run.arraySize[k])
            broken("after %s: output %zu array size %u (copy %u)", after, k + 1, run.arraySize[k],
                   run.arraySizeCopy[k]);
    if (run.curInputIndex >= kChannels || run.curInputNo != run.curInputIndex + 1 || run.curOutputIndex >= kChannels
        || run.curOutputNo != run.curOutputIndex + 1)
        broken("after %s: displayed channels %u/%u and %u/%u", after, run.curInputIndex, run.curInputNo,
               run.curOutputIndex, run.curOutputNo);
    if (screen.inputTitle != "Буфер входного канала № " + std::to_string(run.curInputNo)
        || screen.outputTitle != "Массив выходных параметров канала № " + std::to_string(run.curOutputNo))
        broken("after %s: titles \"%s\", \"%s\"", after, screen.inputTitle.c_str(), screen.outputTitle.c_str());
    if (run.refreshPeriodMs != kPeriodMs)
        broken("after %s: refresh period %d ms", after, run.refreshPeriodMs);
    if (run.formats.formatCount > 256 || run.formats.paramFormatCount > 256)
        broken("after %s: %u decimal and %u parameter formats", after, run.formats.formatCount,
               run.formats.paramFormatCount);
    auto fits = [](const std::string& line, const char* prefix) {
        return line.find_first_not_of(' ') == std::string::npos || line.rfind(prefix, 0) == 0;
    };
    if (!fits(screen.statusBar2[0], "Входной канал №") || !fits(screen.statusBar2[1], "Выходной канал №"))
        broken("after %s: status lines \"%s\", \"%s\"", after, screen.statusBar2[0].c_str(),
               screen.statusBar2[1].c_str());
    for (const std::string& error : prompts_.errors)
        broken("after %s: error box \"%s\"", after, error.c_str());
    prompts_.errors.clear();
}

// At the end, with the faults cleared, the module initialised again and the
// test arrays sent whole: every output runs cyclically, every input listens,
// and each holds what its output sent.
void Soak::finalCheck()
{
    restartDevice();
    for (int tab = kChannels - 1; tab >= 0; --tab) {
        m_->outputArrays().SOChange(tab);
        period();
        m_->output().SOstopChannelExecute();
        m_->outputArrays().cbSOArrayDimChange(255);
        m_->outputArrays().SOdataTestExecute();
        m_->output().SOciclePuskExecute();
    }
    periods(20); // a 256-word array repeats every 92 ms
    for (const vdrv::ModuleSnapshot& module : driver_->modules())
        for (std::size_t k = 0; k < kChannels; ++k) {
            if (module.transmitters[k].state != vdrv::Transmitter::State::Cyclic)
                broken("at the end output %zu does not transmit cyclically", k + 1);
            if (module.receivers[k].mode == vdrv::Receiver::Mode::Stopped)
                broken("at the end input %zu does not receive", k + 1);
        }
    const RunState& run = m_->run();
    for (std::size_t ch = 0; ch < kChannels; ++ch) {
        const auto c = static_cast<std::uint32_t>(ch + 1);
        for (std::uint32_t j = 0; j < kInputCells; ++j) {
            const std::uint32_t word = run.inputBuffer[ch][j].word;
            const bool good = run.receptionMode[ch] == kReceptionAddress ? word == testWord(j, c)
                                                                         : word == testWord(word & 0xFFu, c);
            if (!good) {
                broken("at the end input %zu cell %u holds %08X, not output %u's test word", ch + 1, j, word, c);
                break;
            }
        }
    }
    checkState("the final check");
}

// ---- The driver ----------------------------------------------------------------------------

// Every 10 to 30 minutes a fault for 1 to 5 minutes; when it is cleared the user
// stops and initialises the module again, the way out of a card that played up.
void Soak::faultStep()
{
    if (!fault_) {
        if (periods_ >= nextFaultAt_)
            beginFault();
        return;
    }
    if (fault_->restoreAt >= 0 && periods_ >= fault_->restoreAt) {
        setFault("restore");
        fault_->restoreAt = -1;
    }
    if (periods_ >= fault_->clearAt) {
        setFault("clear");
        fault_.reset();
        restartDevice();
        ++actions_["device restart after a fault"];
        checkState("the end of a fault");
        nextFaultAt_ = periods_ + uniform(10, 30) * kPeriodsPerMinute;
    }
}

void Soak::beginFault()
{
    static const char* const kKinds[] = {"fail", "fail prob", "fail next", "short", "random", "slow", "vanish"};
    const std::string kind = kKinds[uniform(0, static_cast<int>(std::size(kKinds)) - 1)];
    std::string requests;
    if (kind != "vanish" && uniform(0, 2) != 0) {
        for (int n = uniform(1, 2); n > 0; --n) {
            const RequestInfo* request = nullptr;
            do // a request without a reply cannot be cut short
                request = &kRequestTable[static_cast<std::size_t>(uniform(0, static_cast<int>(kRequestTable.size()) - 1))];
            while (kind == "short" && request->outSize == 0);
            requests += (requests.empty() ? "" : ",") + std::string(request->name);
        }
    }
    Fault fault;
    const std::string head = kind.substr(0, kind.find(' ')) + (requests.empty() ? "" : " " + requests);
    if (kind == "fail prob")
        fault.statement = head + " prob 0." + std::to_string(uniform(1, 9));
    else if (kind == "fail next")
        fault.statement = head + " next " + std::to_string(uniform(1, 5000));
    else if (kind == "slow")
        fault.statement = head + " " + std::to_string(std::array{0, 0, 20, 200, 2000}[uniform(0, 4)]);
    else
        fault.statement = head;
    const std::int64_t minutes = uniform(1, 5);
    fault.clearAt = periods_ + minutes * kPeriodsPerMinute;
    if (kind == "vanish")
        fault.restoreAt = periods_ + minutes * kPeriodsPerMinute / 2;
    if (kind == "random")
        tainted_.fill(true); // any word may come into any cell
    setFault(fault.statement);
    fault_ = fault;
    ++faults_;
    ++faultKinds_[kind];
}

void Soak::setFault(const std::string& statement)
{
    const std::vector<std::string_view> fields = vdrv::splitFields(statement);
    std::string error;
    const auto setting = vdrv::parseFaultSetting(fields, error);
    if (!setting || !driver_->setFault(0, *setting, error))
        broken("fault \"%s\" refused: %s", statement.c_str(), error.c_str());
    trace("fault %s", statement.c_str());
}

// The module's counters of words sent and received, summed over resets (a new
// choice of the module clears them): called around every request that resets.
void Soak::sampleCounters()
{
    for (const vdrv::ModuleSnapshot& module : driver_->modules())
        for (std::size_t k = 0; k < kChannels; ++k) {
            auto add = [](std::uint64_t& last, std::uint64_t now, std::uint64_t& total) {
                total += now >= last ? now - last : now;
                last = now;
            };
            add(rxLast_[k], module.receivers[k].wordsReceived, wordsReceived_);
            add(txLast_[k], module.transmitters[k].wordsSent, wordsSent_);
        }
}

// ---- The run -------------------------------------------------------------------------------

void Soak::run(std::int64_t ticks, bool progress)
{
    const auto started = std::chrono::steady_clock::now();
    std::int64_t nextReportAt = periods_ + kPeriodsPerHour;
    while (ticks_ < ticks) {
        period();
        faultStep();
        if (periods_ >= nextActionAt_) {
            act();
            nextActionAt_ = periods_ + uniform(20, 100);
        }
        if (progress && periods_ >= nextReportAt) {
            nextReportAt += kPeriodsPerHour;
            sampleCounters();
            const ProcessFigures now = soak::processFigures();
            std::fprintf(stderr,
                         "hour %3" PRId64 ": %9" PRId64 " ticks, %6.0f s wall, RSS %ld kB, %ld fds, slowest tick "
                         "%.0f us, %d faults, %" PRId64 " broken\n",
                         periods_ / kPeriodsPerHour, ticks_,
                         std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count(), now.rssKb,
                         now.fds, slowestUs_, faults_, breakCount_);
        }
    }
    if (fault_) {
        setFault("clear");
        fault_.reset();
    }
    finalCheck();
    sampleCounters();
    end_ = soak::processFigures();
}

int Soak::summary(double hours, std::uint64_t seed, double wallSeconds) const
{
    const bool memoryGrew = end_.rssKb - start_.rssKb > kRssToleranceKb;
    const bool fdsGrew = end_.fds - start_.fds > kFdTolerance;
    const double simulated = static_cast<double>(clock_->nowUs()) / 1e6;
    std::string faultKinds, actions;
    for (const auto& [kind, n] : faultKinds_)
        faultKinds += (faultKinds.empty() ? "" : ", ") + kind + " " + std::to_string(n);
    std::int64_t actionCount = 0;
    for (const auto& [name, n] : actions_)
        actionCount += n;
    auto row = [](const char* figure, const std::string& value) { std::printf("| %-30s | %s\n", figure, value.c_str()); };
    auto text = [](const char* format, auto... args) {
        char line[256];
        std::snprintf(line, sizeof line, format, args...);
        return std::string(line);
    };
    std::printf("telvar5-soak: %.2f simulated hours at %d ms, seed %" PRIu64 "\n", hours, kPeriodMs, seed);
    std::printf("| %-30s | %s\n|--------------------------------|--------------------------------------------\n",
                "figure", "value");
    row("ticks (Timer1Timer)", text("%" PRId64 " (in %" PRId64 " refresh periods)", ticks_, periods_));
    row("simulated time", text("%.1f h (%.0f s)", simulated / 3600, simulated));
    row("wall time", text("%.1f s", wallSeconds));
    row("slowest tick", text("%.0f us (tick %" PRId64 ", %s)", slowestUs_, slowestTick_, slowestDuring_.c_str()));
    row("slowest tick, thread CPU", text("%.0f us", slowestCpuUs_));
    row("mean tick", text("%.1f us (%" PRId64 " ticks over 1 ms)",
                          ticks_ ? tickUsTotal_ / static_cast<double>(ticks_) : 0.0, ticksOver1ms_));
    row("words sent (outputs 1..8)", text("%" PRIu64, wordsSent_));
    row("words received (inputs 1..8)", text("%" PRIu64, wordsReceived_));
    row("words stored in the cells", text("%" PRIu64 " (%" PRIu64 " characters painted)", cellsStored_, charsPainted_));
    row("faults applied", text("%d (%s)", faults_, faultKinds.c_str()));
    row("user actions", text("%" PRId64 " (%" PRId64 " presses skipped: button disabled)", actionCount, disabledPresses_));
    for (const auto& [name, n] : actions_)
        row(("  " + name).c_str(), text("%" PRId64, n));
    row("resident memory (VmRSS)", text("%ld kB at start, %ld kB at end (%+ld kB; tolerance %ld kB)%s", start_.rssKb,
                                        end_.rssKb, end_.rssKb - start_.rssKb, kRssToleranceKb,
                                        memoryGrew ? " GREW" : ""));
    row("peak resident memory", text("%ld kB", end_.peakRssKb));
    row("open file descriptors", text("%ld at start, %ld at end (tolerance %ld)%s", start_.fds, end_.fds, kFdTolerance,
                                      fdsGrew ? " GREW" : ""));
    row("broken rules", text("%" PRId64, breakCount_));
    for (const std::string& b : breaks_)
        std::printf("  %s\n", b.c_str());
    const bool passed = !memoryGrew && !fdsGrew && breakCount_ == 0;
    std::printf("%s\n", passed ? "PASS" : "FAIL");
    return passed ? 0 : 1;
}

} // namespace telvar5::soak
