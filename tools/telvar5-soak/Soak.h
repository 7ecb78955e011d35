#pragma once
// The soak's session: the monitor's core on the virtual driver, both on one
// simulated clock, a user who acts at seeded random moments and a driver that
// plays up now and then; the rules checked all along and the figures kept for
// the closing table. Soak.cpp holds time, rules, faults and the table;
// UserActions.cpp what the user does.
#include <array>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "ProcessFigures.h"
#include "core/Monitor.h"
#include "device/virtual/VirtualDeviceBus.h"
#include "vdrv/ManualClock.h"
#include "vdrv/VirtualDriver.h"

namespace telvar5::soak {

namespace fs = std::filesystem;

inline constexpr std::int32_t kPeriodMs = 100;
inline constexpr std::int64_t kPeriodsPerMinute = 60'000 / kPeriodMs;
inline constexpr std::int64_t kPeriodsPerHour = 60 * kPeriodsPerMinute;
inline constexpr int kFastestRateCode = 2; // 100 kbit/s
// A day of ticks may move the allocator's heap by some pages; a leak of one
// small allocation a tick (864,000 of them) goes far beyond.
inline constexpr long kRssToleranceKb = 1024;
inline constexpr long kFdTolerance = 0;
inline constexpr std::size_t kBreaksShown = 20;

// The core reads the time the driver's clock says: one simulated time, moved by
// the soak's periods and by the waits of a slow driver.
class DriverTime final : public MonotonicClock {
public:
    explicit DriverTime(const vdrv::ManualClock& clock) : clock_(clock) {}
    std::int64_t nowUs() const override { return clock_.nowUs(); }

private:
    const vdrv::ManualClock& clock_;
};

// The user at the message boxes and file dialogs: always "Да", the file named beforehand.
class SoakPrompts final : public UserPrompts {
public:
    std::int64_t beeps = 0;
    std::vector<std::string> errors; // error boxes not yet looked at
    std::optional<std::string> fileToOpen;
    std::optional<std::string> fileToSave;

    bool askYesNo(const std::string&, const std::string&) override { return true; }
    void beep() override { ++beeps; }
    void showError(const std::string&, const std::string& text) override { errors.push_back(text); }
    std::optional<std::string> askOpenFileName(const FileDialogOptions&) override { return fileToOpen; }
    std::optional<std::string> askSaveFileName(const FileDialogOptions&) override { return fileToSave; }
};

// A fault in force: its statement and when it is lifted (in refresh periods).
struct Fault {
    std::string statement;
    std::int64_t restoreAt = -1; // vanish: the card comes back here, the fault is cleared later
    std::int64_t clearAt = 0;
};

class Soak {
public:
    Soak(std::uint64_t seed, const fs::path& scratch, bool traced);
    void run(std::int64_t ticks, bool progress);
    int summary(double hours, std::uint64_t seed, double wallSeconds) const;

private:
    // Time.
    void period();
    void periods(int n);
    void paint(const TickResult& tick);
    // Rules.
    void broken(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void trace(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void checkCells();
    void checkState(const char* after);
    void finalCheck();
    // The user.
    int uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng_); }
    bool can(Control c) { return m_->screen().commands.enabled(c); }
    void act();
    void initialise();
    void startAll(bool testArrays);
    void startReception(bool file);
    void restartDevice();
    void switchTabs();
    void restartInput();
    void outputSession();
    void editWordBits();
    void typeIntoGrid();
    void changeArraySize();
    void saveAndRestoreArray();
    void editDecimalFormats();
    void editParamFormats();
    // The driver.
    void faultStep();
    void beginFault();
    void setFault(const std::string& statement);
    void sampleCounters();

    std::mt19937_64 rng_;
    fs::path scratch_;
    bool traced_ = false;
    std::shared_ptr<vdrv::ManualClock> clock_ = std::make_shared<vdrv::ManualClock>();
    DriverTime time_{*clock_};
    std::shared_ptr<vdrv::VirtualDriver> driver_;
    std::unique_ptr<VirtualDeviceBus> bus_;
    SoakPrompts prompts_;
    std::unique_ptr<Monitor> m_;

    std::int64_t periods_ = 0;
    std::int64_t ticks_ = 0;
    std::uint32_t lastCounter_ = 0;
    double tickUsTotal_ = 0;
    double slowestUs_ = 0;
    std::int64_t slowestTick_ = 0;
    std::string slowestDuring_;
    double slowestCpuUs_ = 0;
    std::int64_t ticksOver1ms_ = 0;
    std::uint64_t cellsStored_ = 0;
    std::uint64_t charsPainted_ = 0;
    std::array<std::uint64_t, kChannels> rxLast_{}, txLast_{};
    std::uint64_t wordsReceived_ = 0, wordsSent_ = 0;
    std::map<std::string, int> faultKinds_;
    int faults_ = 0;
    std::map<std::string, std::int64_t> actions_;
    std::int64_t disabledPresses_ = 0;
    std::vector<std::string> breaks_;
    std::int64_t breakCount_ = 0;
    std::optional<Fault> fault_;
    std::int64_t nextFaultAt_ = 0;
    std::int64_t nextActionAt_ = 0;
    std::array<bool, kChannels> tainted_{}; // a random reply or a failed start may have put any word there
    int formatSerial_ = 0;
    ProcessFigures start_, end_;
};

} // namespace telvar5::soak
