#pragma once
// The driver's record of the requests it served: a ring allocated once, so
// logging a request costs a few stores and never allocates. A refresh tick is
// up to 2050 requests; the ring holds the last kRequestLogCapacity.
#include <array>
#include <cstdint>
#include <vector>

#include "vdrv/Clock.h"

namespace telvar5::vdrv {

inline constexpr std::size_t kRequestLogCapacity = 8192;
inline constexpr std::size_t kLoggedInputBytes = 16; // a 1032-byte record keeps its header and 2 words
inline constexpr std::size_t kLoggedReplyBytes = 6;  // the longest reply

// What a fault did to a logged request (bits of LogEntry::faults).
inline constexpr std::uint8_t kLoggedFailed = 1;   // failed by a fail rule
inline constexpr std::uint8_t kLoggedVanished = 2; // failed: the module is gone
inline constexpr std::uint8_t kLoggedRandom = 4;   // random reply bytes
inline constexpr std::uint8_t kLoggedShort = 8;    // fewer reply bytes than the record

struct LogEntry {
    std::uint64_t sequence = 0; // counts every request since the driver started
    Micros timeUs = 0;          // since the driver started
    std::uintptr_t handle = 0;
    std::int8_t interfaceIndex = -1; // -1: unknown handle
    bool ok = false;
    std::uint32_t code = 0;
    std::uint32_t inSize = 0;   // as the caller gave it
    std::uint32_t outSize = 0;  // room the caller gave
    std::uint32_t bytesReturned = 0;
    std::uint8_t faults = 0;    // kLogged... bits
    std::uint32_t delayUs = 0;  // a slow fault held the answer back this long
    std::array<std::uint8_t, kLoggedInputBytes> in{};
    std::array<std::uint8_t, kLoggedReplyBytes> reply{};
};

class RequestLog {
public:
    RequestLog();

    // Fills the next slot (the oldest one once the ring is full) and returns it.
    LogEntry& append();

    // The last n entries, oldest first.
    std::vector<LogEntry> last(std::size_t n) const;
    void clear();
    std::size_t size() const { return size_; }

private:
    std::vector<LogEntry> ring_;
    std::size_t head_ = 0;
    std::size_t size_ = 0;
    std::uint64_t sequence_ = 0;
};

} // namespace telvar5::vdrv
