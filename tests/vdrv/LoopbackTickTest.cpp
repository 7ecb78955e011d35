// The monitor's heaviest refresh tick with every output looped back stays a
// plain function call per request, without a single allocation. (Its cost is
// measured in bench/, not here.)
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

#include "VdrvRig.h"

namespace {
std::atomic<bool> gCounting{false};
std::atomic<std::size_t> gAllocations{0};
} // namespace

namespace {
void* countedAlloc(std::size_t size) noexcept
{
    if (gCounting.load(std::memory_order_relaxed))
        gAllocations.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(size != 0 ? size : 1);
}
} // namespace

// Every allocation of this test program passes here, so a tick can count them.
// All plain forms are replaced together, so each delete meets its own new.
void* operator new(std::size_t size)
{
    if (void* p = countedAlloc(size))
        return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return countedAlloc(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return countedAlloc(size); }
// Not inlined, so the compiler never pairs a new expression with this free.
[[gnu::noinline]] void operator delete(void* p) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete[](void* p) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete(void* p, std::size_t) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

namespace telvar5::vdrv::test {
namespace {

constexpr Micros kRefreshPeriodUs = 100'000;

std::string busyConfig()
{
    // Every input also has a busy scenario, silent while its output transmits.
    std::string text = "interface 0 serial 1021 inputs 8 outputs 8\n";
    for (int ch = 1; ch <= 8; ++ch) {
        text += "traffic 0 " + std::to_string(ch) + " high\n";
        for (int label = 0200; label < 0214; ++label) {
            char octal[8];
            std::snprintf(octal, sizeof octal, "%o", static_cast<unsigned>(label));
            text += std::string("  bnr ") + octal + " 25 17 1 sine 0 30000 60\n";
        }
    }
    return text;
}

TEST(LoopbackTick, EveryOutputLoopedBackAtFullSpeedIsReadWithoutAllocation)
{
    VdrvRig rig(busyConfig());
    const DeviceHandle h = rig.open(0);
    FreqCodes fast{};
    fast.fill(2); // 100 kbit/s everywhere
    rig.initialise(h, fast);
    for (std::uint16_t ch = 1; ch <= 8; ++ch) {
        ch % 2 ? rig.startAddress(h, ch) : rig.startFile(h, ch);
        std::vector<std::uint32_t> words(256);
        for (std::uint32_t i = 0; i < 256; ++i)
            words[i] = 0x60000000u | (ch << 16) | (i << 8) | i; // label i
        rig.cyclic(h, ch, words);
    }

    const std::array<std::uint8_t, 2> stateRecord{1, 0};
    std::array<std::uint8_t, 2> stateReply{};
    std::array<std::uint8_t, 6> readRecord{};
    std::array<std::uint8_t, 6> readReply{};
    std::uint32_t returned = 0;
    // One tick as the monitor sends it: the states of the shown channels, then every cell of every input.
    auto tick = [&]() {
        std::size_t fresh = 0;
        rig.bus->control(h, ReqSIstate, stateRecord.data(), 2, stateReply.data(), 2, returned);
        rig.bus->control(h, ReqSOstate, stateRecord.data(), 2, stateReply.data(), 2, returned);
        for (std::uint16_t ch = 1; ch <= 8; ++ch) {
            for (std::uint16_t cell = 0; cell < 256; ++cell) {
                readRecord = readWordRecord(ch, cell);
                rig.bus->control(h, ReqSIreadWord, readRecord.data(), 6, readReply.data(), 6, returned);
                fresh += readWordReplyWord(readReply) != 0 ? 1 : 0;
            }
        }
        return fresh;
    };

    rig.clock->advanceUs(kRefreshPeriodUs);
    tick(); // the first tick after the starts
    constexpr int kTicks = 101;
    std::size_t allocations = 0;
    for (int i = 0; i < kTicks; ++i) {
        rig.clock->advanceUs(kRefreshPeriodUs);
        gAllocations = 0;
        gCounting = true;
        const std::size_t fresh = tick();
        gCounting = false;
        allocations += gAllocations;
        // 277 or 278 words per input in 100 ms cover every label and every file cell.
        ASSERT_EQ(fresh, 8u * 256u) << "tick " << i;
    }
    EXPECT_EQ(allocations, 0u);
    const ModuleSnapshot m = rig.snapshot(0);
    for (int ch = 0; ch < 8; ++ch)
        EXPECT_EQ(m.receivers[ch].wordsReceived, m.transmitters[ch].wordsSent) << ch + 1;
}

} // namespace
} // namespace telvar5::vdrv::test
