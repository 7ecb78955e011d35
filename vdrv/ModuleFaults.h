#pragma once
// The faults in force on one module, set by fault statements from the bench
// or the configuration: at most one rule of each kind (fail, random, short,
// slow), each over the requests it names, and the vanished state. Deciding
// what they do to a request is a few masks and compares, never an allocation;
// the draws come from the module's own seeded generator, so a run repeats.
#include <cstddef>
#include <cstdint>
#include <string>

#include "vdrv/FaultRandom.h"
#include "vdrv/FaultSetting.h"

namespace telvar5::vdrv {

// What the faults do to one request.
struct FaultDecision {
    bool fail = false;         // the request fails, the module never sees it
    bool vanished = false;     // ... because the module is gone
    bool random = false;       // the reply's bytes are random
    bool shortened = false;    // the reply gives shortBytes bytes only
    std::uint32_t shortBytes = 0;
    std::uint32_t delayUs = 0; // the caller gets the answer this late
};

class ModuleFaults {
public:
    static constexpr std::uint64_t kDefaultSeed = 1;

    // Whether any fault is in force: the one test on the path of a request.
    bool active() const { return active_; }
    bool vanished() const { return vanished_; }

    void apply(const FaultSetting& setting);

    // For the request at kRequestTable[requestIndex], whose reply record has
    // replySize bytes. Counts "fail next N" down and draws probabilities.
    FaultDecision decide(std::size_t requestIndex, std::size_t replySize);
    void fillRandom(std::uint8_t* bytes, std::size_t n) { random_.fill(bytes, n); }

    // The rules in force in the fault statement's own words, "; "-separated
    // ("fail ReqSIreadWord prob 0.1; slow 50"); empty when none.
    std::string describe() const;

private:
    void update();

    bool vanished_ = false;
    RequestMask failRequests_ = 0;
    FailMode failMode_ = FailMode::Always;
    std::uint32_t failsLeft_ = 0;
    double failProbability_ = 0.0;
    RequestMask randomRequests_ = 0;
    RequestMask shortRequests_ = 0;
    std::uint32_t shortBytes_ = kDefaultShortBytes;
    RequestMask slowRequests_ = 0;
    std::uint32_t delayUs_ = 0;
    bool active_ = false;
    FaultRandom random_{kDefaultSeed};
};

} // namespace telvar5::vdrv
