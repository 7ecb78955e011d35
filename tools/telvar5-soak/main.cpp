// telvar5-soak: a day of the monitor's core against the virtual driver, on
// simulated time. One module with 8 inputs and 8 outputs at 100 kbit/s: every
// output sends its array cyclically onto the input of the same number, every
// input receives (address or file reception, mixed), and the refresh timer
// ticks every 100 ms of the driver's manual clock, which the core reads too.
// At seeded random moments a user edits words in the bit editor, types into the
// output grid, switches tabs, changes array sizes, stops and restarts channels
// and the module, edits both format tables, saves and restores arrays; every
// 10 to 30 minutes the driver plays up for 1 to 5 minutes (failing, short,
// random or slow replies, a vanished card), and after each fault the user
// stops and initialises the module again. The user obeys the enabled state
// of the tool buttons, as the window would make him.
//
// All along the run the rules the core promises must hold (checkCells,
// checkState, and the word checks of every action); at the end every input must
// hold its output's test array. One table sums up: ticks, simulated and wall
// time, words sent, received and stored, faults, the slowest tick, resident
// memory and open descriptors at the start (after setup) and at the end. Exit
// status 1 when a rule broke, resident memory grew by more than kRssToleranceKb
// or descriptors by more than kFdTolerance; 2 on a usage error.
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "Soak.h"

namespace fs = std::filesystem;
using telvar5::soak::kPeriodsPerHour;
using telvar5::soak::Soak;

namespace {

const char* const kUsage =
    "usage: telvar5-soak [--hours H] [--seed S] [--keep] [--quiet] [--trace]\n"
    "  Runs the monitor's core against the virtual driver for H simulated hours (default 24)\n"
    "  of 100 ms refresh ticks, with user actions and driver faults at seeded random moments,\n"
    "  in a scratch folder under $TMPDIR (kept with --keep). Prints an hourly line on stderr\n"
    "  (not with --quiet), with --trace a line for every action and fault, and a table at the\n"
    "  end. Exit status 0: every rule held and memory and descriptors stayed; 1: something\n"
    "  broke or grew; 2: usage.\n";

} // namespace

int main(int argc, char** argv)
{
    double hours = 24;
    std::uint64_t seed = 1;
    bool keep = false;
    bool progress = true;
    bool traced = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        char* end = nullptr;
        if (arg == "--hours" && i + 1 < argc) {
            hours = std::strtod(argv[++i], &end);
            if (*end != '\0' || !(hours > 0) || hours > 10'000)
                return std::fputs(kUsage, stderr), 2;
        } else if (arg == "--seed" && i + 1 < argc) {
            seed = std::strtoull(argv[++i], &end, 10);
            if (*end != '\0')
                return std::fputs(kUsage, stderr), 2;
        } else if (arg == "--keep") {
            keep = true;
        } else if (arg == "--quiet") {
            progress = false;
        } else if (arg == "--trace") {
            traced = true;
        } else {
            std::fputs(kUsage, arg == "--help" ? stdout : stderr);
            return arg == "--help" ? 0 : 2;
        }
    }

    // The formats settings file is read and written in the current folder: a scratch one.
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/telvar5-soak-XXXXXX";
    if (!mkdtemp(pattern.data()) || chdir(pattern.c_str()) != 0) {
        std::perror("telvar5-soak: scratch folder");
        return 1;
    }
    const fs::path scratch = pattern;
    std::fprintf(stderr, "telvar5-soak: scratch folder %s\n", scratch.c_str());

    const auto started = std::chrono::steady_clock::now();
    const auto ticks = static_cast<std::int64_t>(hours * kPeriodsPerHour + 0.5);
    int status = 0;
    {
        Soak soak(seed, scratch, traced);
        soak.run(ticks, progress);
        status = soak.summary(hours, seed,
                              std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
    }
    if (!keep) {
        std::error_code error;
        fs::current_path("/", error);
        fs::remove_all(scratch, error);
    }
    return status;
}
