// The virtual driver's configuration text as any bytes: errors name lines of
// the text in order, interfaces have at most 8 channels each way, traffic sits
// only on inputs a module has, wires join an output to one input at most. Then
// a driver built from it runs a short session, so whatever the parser accepts
// (parameters, curves, faults) is something the module model can run.
#include <algorithm>
#include <memory>
#include <string_view>

#include "FuzzCheck.h"
#include "protocol/ByteLayout.h"
#include "protocol/Requests.h"
#include "vdrv/ArincWord.h"
#include "vdrv/ConfigLoader.h"
#include "vdrv/ManualClock.h"
#include "vdrv/VirtualDriver.h"

using namespace telvar5;
using namespace telvar5::vdrv;

namespace {

void checkInterface(const InterfaceConfig& ic)
{
    FUZZ_CHECK(ic.inputs <= kMaxChannels && ic.outputs <= kMaxChannels);
    const bool hasModule = ic.present && !ic.failsToOpen;
    for (int ch = 0; ch < kMaxChannels; ++ch) {
        const auto& sources = ic.traffic[static_cast<std::size_t>(ch)].sources;
        FUZZ_CHECK(sources.size() <= kMaxSourcesPerChannel);
        FUZZ_CHECK(sources.empty() || (hasModule && ch < ic.inputs));
        for (const TrafficSource& s : sources) {
            FUZZ_CHECK(s.periodUs >= 1'000 && s.periodUs <= 10'000'000);
            FUZZ_CHECK(s.kind == TrafficSource::Kind::Discrete
                       || (s.bits >= 1 && s.bits <= kMaxBnrBits && s.resolution > 0.0 && s.ssm <= 3));
        }
    }
    if (!hasModule) {
        FUZZ_CHECK(ic.faults.empty());
        return;
    }
    std::array<bool, kMaxChannels> taken{};
    for (int out = 0; out < ic.outputs; ++out) {
        const std::uint8_t in = ic.wires[static_cast<std::size_t>(out)];
        if (in == kNotWired)
            continue;
        FUZZ_CHECK(in <= ic.inputs && !taken[in - 1u]); // an input takes one output
        taken[in - 1u] = true;
    }
}

// Request with exact records; the answer must be the whole reply or nothing.
template <std::size_t In, std::size_t Out>
bool request(VirtualDriver& driver, DeviceHandle h, std::uint32_t code, const std::array<std::uint8_t, In>& in,
             std::array<std::uint8_t, Out>& out)
{
    std::uint32_t returned = 0;
    const bool ok = driver.control(h, code, In ? in.data() : nullptr, In, Out ? out.data() : nullptr, Out, returned);
    FUZZ_CHECK(returned <= Out && (ok || returned == 0));
    return ok;
}

// Every channel at the given rate code, receiving and transmitting, over an hour of module time.
void runSession(VirtualDriver& driver, ManualClock& clock, DeviceHandle h, const InterfaceConfig& ic, std::uint8_t rate)
{
    ShortReply reply{};
    request(driver, h, ReqDeviceChoice, std::array<std::uint8_t, 0>{}, reply);
    FreqCodes codes;
    codes.fill(rate);
    request(driver, h, ReqDeviceInitialization, codes, reply);
    OutputRecordBytes record{};
    for (std::uint16_t ch = 1; ch <= ic.inputs; ++ch)
        request(driver, h, ch % 2 ? ReqSIaddressPusk : ReqSIfilePusk, receptionStartRecord(ch), reply);
    for (std::uint16_t ch = 1; ch <= ic.outputs; ++ch) {
        putU16(record.data(), ch);
        putU16(record.data() + 2, static_cast<std::uint16_t>(ch * 3)); // words per run
        for (std::size_t i = 0; i < kOutputWords; ++i)
            putU32(record.data() + kOutputHeaderSize + 4 * i, 0x60000000u | static_cast<std::uint32_t>(i));
        request(driver, h, ReqSOciclePusk, record, reply);
    }
    for (const Micros step : {Micros{0}, Micros{3'000}, Micros{250'000}, Micros{3'600'000'000}, Micros{1'000}}) {
        clock.advanceUs(step);
        for (std::uint16_t ch = 1; ch <= ic.inputs; ++ch) {
            request(driver, h, ReqSIstate, channelRecord(ch), reply);
            for (const TrafficSource& s : ic.traffic[ch - 1u].sources) {
                ReadWordReply word{};
                // Faults may give random or short replies; without them a word read is flagged new.
                if (request(driver, h, ReqSIreadWord, readWordRecord(ch, s.label), word) && ic.faults.empty())
                    FUZZ_CHECK(getU16(word.data()) == (getU32(word.data() + 2) != 0 ? 1 : 0));
            }
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    ConfigLoadResult loaded = parseConfigText(text, "/telvar5-fuzz");

    const int lines = static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
    for (std::size_t i = 0; i < loaded.errors.size(); ++i) {
        FUZZ_CHECK(loaded.errors[i].line >= 1 && loaded.errors[i].line <= lines);
        FUZZ_CHECK(i == 0 || loaded.errors[i - 1].line <= loaded.errors[i].line);
        FUZZ_CHECK(!loaded.errors[i].message.empty());
    }
    for (const InterfaceConfig& ic : loaded.config.interfaces)
        checkInterface(ic);

    // No socket: many fuzzing processes must not bind one.
    loaded.config.benchSocket.clear();
    auto clock = std::make_shared<ManualClock>();
    VirtualDriver driver(loaded, clock);
    const std::uint8_t rate = size > 0 ? static_cast<std::uint8_t>(data[size - 1] % 3) : 0;
    for (std::uint32_t i = 0; i < kMaxInterfaces; ++i) {
        const InterfaceConfig& ic = loaded.config.interfaces[i];
        std::uint32_t error = 0;
        const DeviceHandle h = driver.openDeviceByIndex(kTelvar5InterfaceClass, i, error);
        FUZZ_CHECK((h == kInvalidHandle) == (error != 0));
        if (!ic.present)
            FUZZ_CHECK(h == kInvalidHandle && error == kErrorNoMoreItems);
        else if (ic.failsToOpen)
            FUZZ_CHECK(error == ic.openError);
        if (h != kInvalidHandle)
            runSession(driver, *clock, h, ic, rate);
    }
    return 0;
}
