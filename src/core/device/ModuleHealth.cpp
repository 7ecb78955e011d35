#include "core/device/ModuleHealth.h"

#include <chrono>
#include <cstdio>
#include <ctime>

#include "core/device/RequestFailureText.h"
#include "formats/ReplaceFile.h"
#include "protocol/Requests.h"

namespace telvar5 {

namespace {

std::int64_t systemSeconds()
{
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

std::string requestName(std::uint32_t code)
{
    if (const RequestInfo* info = findRequest(code))
        return std::string(info->name);
    char text[24];
    std::snprintf(text, sizeof text, "запрос 0x%06X", code);
    return text;
}

} // namespace

ModuleHealth::ModuleHealth(std::function<std::int64_t()> wallClock)
    : wallClock_(wallClock ? std::move(wallClock) : systemSeconds)
{
}

void ModuleHealth::requestDone(std::uint32_t code, bool completed, std::uint32_t bytesReturned,
                               std::uint32_t replySize, std::uint32_t systemError)
{
    if (code == ReqDeviceChoice || code == ReqDeviceInitialization) {
        commandDone(code, completed, bytesReturned, replySize, systemError);
        return;
    }
    if (code == ReqDeviceReset)
        note("останов");

    if (!completed) {
        ++failedTotal_;
        ++failedInRun_;
        tickFailed_ += inTick_;
        lastError_ = requestFailureText(code, requestFailureReason(false, 0, replySize, systemError));
        if (state_ != HealthState::NotAnswering)
            note("модуль не отвечает: " + lastError_);
        state_ = HealthState::NotAnswering;
        return;
    }
    if (bytesReturned >= replySize)
        return;
    ++shortTotal_;
    tickShort_ += inTick_;
    const RequestInfo* info = findRequest(code);
    const std::size_t kind = info ? static_cast<std::size_t>(info - kRequestTable.data()) : shortNoted_.size();
    if (kind < shortNoted_.size() && !shortNoted_[kind]) {
        shortNoted_[kind] = true;
        note("неполный ответ: " + requestName(code) + " (" + std::to_string(bytesReturned) + " из " +
             std::to_string(replySize) + " байт)");
    }
    if (state_ == HealthState::Healthy)
        state_ = HealthState::ShortReplies;
}

// The choice and the initialisation are told with their outcome. A reply that
// does not reach what the program reads of it (the channel counts) fails the
// command as an unanswered request does; a command that went through shows the
// module answers again.
void ModuleHealth::commandDone(std::uint32_t code, bool completed, std::uint32_t bytesReturned,
                               std::uint32_t replySize, std::uint32_t systemError)
{
    const std::string what = code == ReqDeviceChoice ? "выбор модуля (сброс)" : "инициализация";
    if (replyReceived(code, completed, bytesReturned, replySize)) {
        note(what);
        if (state_ == HealthState::NotAnswering)
            note("модуль снова отвечает после " + std::to_string(failedInRun_) + " отказов");
        failedInRun_ = 0;
        shortNoted_.fill(false);
        state_ = HealthState::Healthy;
        return;
    }
    ++failedTotal_;
    ++failedInRun_;
    lastError_ = requestFailureText(code, requestFailureReason(completed, bytesReturned, replySize, systemError));
    note(what + " не выполнен" + (code == ReqDeviceChoice ? "" : "а") + ": " + lastError_);
    state_ = HealthState::NotAnswering;
}

void ModuleHealth::tickStarted()
{
    inTick_ = true;
    tickFailed_ = 0;
    tickShort_ = 0;
}

void ModuleHealth::tickEnded()
{
    inTick_ = false;
    if (tickFailed_ == 0)
        settle();
}

// A tick without a failure: the run of failures, if any, is over.
void ModuleHealth::settle()
{
    const HealthState next = tickShort_ == 0 ? HealthState::Healthy : HealthState::ShortReplies;
    if (state_ == HealthState::NotAnswering)
        note("модуль снова отвечает после " + std::to_string(failedInRun_) + " отказов" +
             (next == HealthState::ShortReplies ? "; ответы неполные" : ""));
    else if (state_ == HealthState::ShortReplies && next == HealthState::Healthy)
        note("ответы снова полные");
    if (next == HealthState::Healthy)
        shortNoted_.fill(false);
    failedInRun_ = 0;
    state_ = next;
}

std::string ModuleHealth::indicatorText() const
{
    switch (state_) {
    case HealthState::NotAnswering: return "модуль не отвечает";
    case HealthState::ShortReplies: return "ответы неполные";
    case HealthState::Healthy: break;
    }
    return {};
}

std::string ModuleHealth::indicatorTip() const
{
    switch (state_) {
    case HealthState::NotAnswering:
        return "Модуль не отвечает: " + lastError_ + ".\nОтказов подряд: " + std::to_string(failedInRun_) +
               ", всего: " + std::to_string(failedTotal_) + ".\n" + kWhatToDoText;
    case HealthState::ShortReplies:
        return "Неполных ответов всего: " + std::to_string(shortTotal_);
    case HealthState::Healthy: break;
    }
    return {};
}

void ModuleHealth::note(std::string text)
{
    if (journal_.size() == kJournalCapacity)
        journal_.pop_front();
    journal_.push_back({wallClock_(), std::move(text)});
    ++eventsAdded_;
}

bool ModuleHealth::saveJournal(const std::string& utf8Path, WriteProblem* problem) const
{
    std::string text;
    for (const HealthEvent& event : journal_)
        text += journalLine(event) + "\n";
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    return replaceFile(pathFromUtf8(utf8Path), std::span<const std::uint8_t>(bytes, text.size()), problem);
}

std::string ModuleHealth::journalLine(const HealthEvent& event)
{
    const auto seconds = static_cast<std::time_t>(event.wallSeconds);
    const std::tm* local = std::localtime(&seconds); // one thread: the window's
    char stamp[32] = "??.??.???? ??:??:??";
    if (local)
        std::strftime(stamp, sizeof stamp, "%d.%m.%Y %H:%M:%S", local);
    return std::string(stamp) + "  " + event.text;
}

} // namespace telvar5
