// The virtual driver's request entry point fed any sequence of requests:
// known and unknown codes, right and wrong record sizes, missing buffers,
// unknown handles, with the clock stepping between them. A request never
// returns more bytes than the room it was given, a failed one writes nothing,
// and a successful one returns exactly its reply record.
//
// Each request takes from the input: a handle choice, a code (a known one or
// any 32 bits), the input size and its first bytes, the output room, a clock step.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "FuzzCheck.h"
#include "protocol/ByteLayout.h"
#include "protocol/Requests.h"
#include "vdrv/ConfigLoader.h"
#include "vdrv/ManualClock.h"
#include "vdrv/VirtualDriver.h"

using namespace telvar5;
using namespace telvar5::vdrv;

namespace {

// Modules with traffic at every bus speed, loopback, a crossed wire and one that fails to open.
constexpr char kConfig[] = R"(
interface 0 serial 1021 inputs 8 outputs 8
interface 1 fails
interface 2 serial 2047 inputs 4 outputs 4
interface 3 serial 3003 inputs 2 outputs 8
traffic 0 1 low
  bnr 203 62 17 1 sine 500 35000 600
  bnr 206 125 14 0.0625 triangle 140 320 60
  discrete 270 200 600A0F
traffic 0 2 mid
  bnr 320 50 15 180/32768 ramp 0 360 240 ssm 0
traffic 0 3 high
  bnr 324 10 14 180/16384 sine -5 15 40
  bnr 325 10 14 180/16384 const -20
traffic 2 1 low
  bnr 213 500 11 0.25 const -20
wire 2 3 4
wire 2 4 3
wire 2 2 none
)";
constexpr std::uint16_t kSerials[] = {1021, 2047, 3003};
constexpr std::uint32_t kInterfaces[] = {0, 2, 3};
constexpr std::uint8_t kUntouched = 0xCD;

const ConfigLoadResult& config()
{
    static const ConfigLoadResult loaded = [] {
        ConfigLoadResult r = parseConfigText(kConfig, "/");
        FUZZ_CHECK(r.errors.empty());
        return r;
    }();
    return loaded;
}

Micros clockStep(FuzzedDataProvider& input)
{
    switch (input.ConsumeIntegralInRange(0, 3)) {
    case 0: return 0;
    case 1: return input.ConsumeIntegralInRange<Micros>(0, 3'000);          // a few words
    case 2: return input.ConsumeIntegralInRange<Micros>(0, 2'000'000);      // a refresh tick or two
    default: return input.ConsumeIntegralInRange<Micros>(0, 4'000'000'000); // a long pause
    }
}

void checkReply(std::uint32_t code, std::size_t module, const std::vector<std::uint8_t>& out)
{
    switch (code) {
    case ReqSerialNumber: FUZZ_CHECK(getU16(out.data()) == kSerials[module]); break;
    case ReqSIstate:
    case ReqSOstate: FUZZ_CHECK(out[0] <= 1 && out[1] == 0); break;
    case ReqSIreadWord: FUZZ_CHECK(getU16(out.data()) == (getU32(out.data() + 2) != 0 ? 1 : 0)); break;
    default: break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    auto clock = std::make_shared<ManualClock>();
    VirtualDriver driver(config(), clock);
    DeviceHandle handles[std::size(kInterfaces) + 1];
    for (std::size_t i = 0; i < std::size(kInterfaces); ++i) {
        std::uint32_t error = 1;
        handles[i] = driver.openDeviceByIndex(kTelvar5InterfaceClass, kInterfaces[i], error);
        FUZZ_CHECK(handles[i] != kInvalidHandle && error == 0);
    }

    FuzzedDataProvider input(data, size);
    handles[std::size(kInterfaces)] = input.ConsumeIntegral<DeviceHandle>(); // most likely no handle
    while (input.remaining_bytes() > 0) {
        const std::size_t which = input.ConsumeIntegralInRange<std::size_t>(0, std::size(kInterfaces));
        const std::uint8_t codeChoice = input.ConsumeIntegral<std::uint8_t>();
        const std::uint32_t code = codeChoice < 240 ? kRequestTable[codeChoice % kRequestTable.size()].code
                                                    : input.ConsumeIntegral<std::uint32_t>();
        const RequestInfo* info = findRequest(code);
        const bool exact = info && input.ConsumeIntegralInRange(0, 7) != 0;
        const auto inSize = exact ? info->inSize : input.ConsumeIntegralInRange<std::uint32_t>(0, 1100);
        const auto outSize = exact ? info->outSize : input.ConsumeIntegralInRange<std::uint32_t>(0, 16);
        const bool noBuffers = input.ConsumeIntegralInRange(0, 31) == 0;

        // Exactly the sizes given, on the heap: a read or write past them meets AddressSanitizer.
        std::vector<std::uint8_t> in = input.ConsumeBytes<std::uint8_t>(std::min<std::uint32_t>(inSize, 24));
        in.resize(inSize);
        for (std::size_t i = 24; i < in.size(); ++i)
            in[i] = static_cast<std::uint8_t>(i * 37);
        std::vector<std::uint8_t> out(outSize, kUntouched);
        clock->advanceUs(clockStep(input));

        std::uint32_t returned = 0xFFFFFFFFu;
        const bool ok = driver.control(handles[which], code, noBuffers || in.empty() ? nullptr : in.data(), inSize,
                                       noBuffers || out.empty() ? nullptr : out.data(), outSize, returned);
        FUZZ_CHECK(returned <= outSize);
        FUZZ_CHECK(std::all_of(out.begin() + returned, out.end(), [](std::uint8_t b) { return b == kUntouched; }));
        if (!ok) {
            FUZZ_CHECK(returned == 0);
            continue;
        }
        // The handle of the input may be one the driver gave out.
        const std::size_t module = static_cast<std::size_t>(std::find(handles, handles + std::size(kInterfaces),
                                                                      handles[which]) - handles);
        FUZZ_CHECK(info && module < std::size(kInterfaces));
        FUZZ_CHECK(inSize == info->inSize && outSize >= info->outSize && returned == info->outSize);
        checkReply(code, module, out);
    }

    // The bench's view of what the requests left: rate codes a module accepts, arrays of at most 256 words.
    for (const ModuleSnapshot& m : driver.modules()) {
        for (std::size_t ch = 0; ch < kMaxChannels; ++ch) {
            FUZZ_CHECK(m.receivers[ch].code <= kMaxRateCode && m.transmitters[ch].code <= kMaxRateCode);
            FUZZ_CHECK(m.transmitters[ch].count <= kTransmitWords);
        }
    }
    return 0;
}
