#include "vdrv/ModuleFaults.h"

#include <algorithm>
#include <cstdio>

namespace telvar5::vdrv {

void ModuleFaults::apply(const FaultSetting& s)
{
    switch (s.kind) {
    case FaultKind::Fail:
        failRequests_ = s.failMode == FailMode::Count && s.count == 0 ? 0 : s.requests;
        failMode_ = s.failMode;
        failsLeft_ = s.count;
        failProbability_ = s.probability;
        break;
    case FaultKind::Random: randomRequests_ = s.requests; break;
    case FaultKind::Short:
        shortRequests_ = s.requests;
        shortBytes_ = s.shortBytes;
        break;
    case FaultKind::Slow:
        slowRequests_ = s.delayUs != 0 ? s.requests : 0;
        delayUs_ = s.delayUs;
        break;
    case FaultKind::Vanish: vanished_ = true; break;
    case FaultKind::Restore: vanished_ = false; break;
    case FaultKind::Clear: {
        const FaultRandom random = random_; // the draws go on where they were
        *this = ModuleFaults{};
        random_ = random;
        break;
    }
    case FaultKind::Seed: random_.reseed(s.seed); break;
    }
    update();
}

void ModuleFaults::update()
{
    active_ = vanished_ || failRequests_ != 0 || randomRequests_ != 0 || shortRequests_ != 0 || slowRequests_ != 0;
}

FaultDecision ModuleFaults::decide(std::size_t requestIndex, std::size_t replySize)
{
    FaultDecision d;
    const RequestMask bit = static_cast<RequestMask>(1u << requestIndex);
    if (slowRequests_ & bit)
        d.delayUs = delayUs_;
    if (vanished_) {
        d.fail = d.vanished = true;
        return d;
    }
    if (failRequests_ & bit) {
        switch (failMode_) {
        case FailMode::Always: d.fail = true; break;
        case FailMode::Probability: d.fail = random_.chance(failProbability_); break;
        case FailMode::Count:
            d.fail = true;
            if (--failsLeft_ == 0) {
                failRequests_ = 0;
                update();
            }
            break;
        }
        if (d.fail)
            return d;
    }
    if (replySize == 0) // nothing to garble or cut
        return d;
    d.random = (randomRequests_ & bit) != 0;
    if (shortRequests_ & bit) {
        d.shortened = true;
        d.shortBytes = static_cast<std::uint32_t>(std::min<std::size_t>(shortBytes_, replySize - 1));
    }
    return d;
}

std::string ModuleFaults::describe() const
{
    std::string s;
    auto rule = [&s](const char* kind, RequestMask requests, const std::string& tail) {
        const std::string list = requestListText(requests);
        s += std::string(s.empty() ? "" : "; ") + kind + (list.empty() ? "" : " " + list) + tail;
    };
    if (vanished_)
        s += "vanish";
    if (failRequests_ != 0) {
        char tail[64];
        switch (failMode_) {
        case FailMode::Always: std::snprintf(tail, sizeof tail, " all"); break;
        case FailMode::Count: std::snprintf(tail, sizeof tail, " next %u", failsLeft_); break;
        case FailMode::Probability: std::snprintf(tail, sizeof tail, " prob %g", failProbability_); break;
        }
        rule("fail", failRequests_, tail);
    }
    if (randomRequests_ != 0)
        rule("random", randomRequests_, "");
    if (shortRequests_ != 0)
        rule("short", shortRequests_, shortBytes_ == kDefaultShortBytes ? "" : " " + std::to_string(shortBytes_));
    if (slowRequests_ != 0)
        rule("slow", slowRequests_, " " + std::to_string(delayUs_));
    return s;
}

} // namespace telvar5::vdrv
