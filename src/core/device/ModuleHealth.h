#pragma once
// The module's health as the requests show it, beside the status texts a
// stopped channel shares with a dead card. Every request reports here how it
// went; a refresh tick marks the span the indicator speaks of:
// - a failed request makes the module "not answering" at once, and it stays
//   so until the first tick whose requests all succeed;
// - replies shorter than their record, with none failed, are "incomplete";
// - otherwise all is well.
// The choice and the initialisation count as failed when their reply is not
// received, and as the module's answer when it is: either settles the alarm.
// A bounded journal keeps what happened: choices, initialisations, stops,
// the first failure of a run of failures, short replies by request kind, and
// the return to health. Texts are UTF-8.
#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>

#include "formats/WriteProblem.h"
#include "protocol/Requests.h"

namespace telvar5 {

enum class HealthState { Healthy, NotAnswering, ShortReplies };

// What the alarm's tooltip tells the user to do about a module that does not answer.
// Lines short enough for a tooltip on a small screen.
inline constexpr const char* kWhatToDoText =
    "Что делать: проверьте модуль и его драйвер, затем остановите модуль\n"
    "(«Устройство» → «останов»), выберите его снова («Устройство» → «выбор»:\n"
    "модули будут найдены заново) и инициализируйте.";

struct HealthEvent {
    std::int64_t wallSeconds = 0; // seconds since the epoch, when it happened
    std::string text;
};

class ModuleHealth {
public:
    static constexpr std::size_t kJournalCapacity = 10000;

    // wallClock: seconds since the epoch (injectable for tests).
    explicit ModuleHealth(std::function<std::int64_t()> wallClock = {});

    // One request done: whether it succeeded, how many reply bytes came and
    // the room the record has, and the system's error when it failed (0: none known).
    void requestDone(std::uint32_t code, bool completed, std::uint32_t bytesReturned, std::uint32_t replySize,
                     std::uint32_t systemError);
    void tickStarted();
    void tickEnded();

    HealthState state() const { return state_; }
    std::uint64_t failedRequests() const { return failedTotal_; }
    std::uint64_t shortReplies() const { return shortTotal_; }
    // The last failure in the user's words: what failed and why.
    const std::string& lastError() const { return lastError_; }

    // The indicator's text (empty while all is well) and its tooltip.
    std::string indicatorText() const;
    std::string indicatorTip() const;

    // The journal, oldest first, and how many events were ever added (so a
    // viewer can tell which it has not shown yet).
    const std::deque<HealthEvent>& journal() const { return journal_; }
    std::uint64_t eventsAdded() const { return eventsAdded_; }
    // "ДД.ММ.ГГГГ ЧЧ:ММ:СС  text" a line, local time.
    static std::string journalLine(const HealthEvent& event);
    // The journal as UTF-8 text, a line an event, into the file (replaced
    // whole or left as it was); false when it could not be written.
    bool saveJournal(const std::string& utf8Path, WriteProblem* problem = nullptr) const;

private:
    void commandDone(std::uint32_t code, bool completed, std::uint32_t bytesReturned, std::uint32_t replySize,
                     std::uint32_t systemError);
    void note(std::string text);
    void settle();

    std::function<std::int64_t()> wallClock_;
    HealthState state_ = HealthState::Healthy;
    bool inTick_ = false;
    std::uint64_t tickFailed_ = 0;
    std::uint64_t tickShort_ = 0;
    std::uint64_t failedTotal_ = 0;
    std::uint64_t shortTotal_ = 0;
    std::uint64_t failedInRun_ = 0;
    std::string lastError_;
    std::array<bool, kRequestTable.size()> shortNoted_{}; // request kinds whose short reply the journal has, this run
    std::deque<HealthEvent> journal_;
    std::uint64_t eventsAdded_ = 0;
};

} // namespace telvar5
