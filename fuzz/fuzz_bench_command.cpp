// The bench socket's reading of a command line, fed any bytes: a line gives a
// command or a reason, never both; a reason is one printable line of bounded
// length (it goes back as "ERROR <reason>"); a command's arguments are within
// their ranges; blanks around the line change nothing; a fault's request list
// reads back as the same requests.
#include <algorithm>
#include <array>
#include <cctype>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "vdrv/BenchCommandParser.h"
#include "vdrv/DriverConfig.h"

using namespace telvar5::vdrv;

namespace {

void checkFault(const FaultSetting& f)
{
    FUZZ_CHECK(f.requests != 0 && (f.requests & ~kEveryRequest) == 0);
    switch (f.kind) {
    case FaultKind::Fail:
        FUZZ_CHECK(f.failMode != FailMode::Count || f.count >= 1);
        FUZZ_CHECK(f.failMode != FailMode::Probability || (f.probability >= 0.0 && f.probability <= 1.0));
        break;
    case FaultKind::Short: FUZZ_CHECK(f.shortBytes == kDefaultShortBytes || f.shortBytes <= 5); break;
    case FaultKind::Slow: FUZZ_CHECK(f.delayUs <= kMaxFaultDelayUs); break;
    default: break;
    }
    if (f.requests != kEveryRequest) {
        const std::string list = requestListText(f.requests);
        const std::array<std::string_view, 2> fields{"random", list};
        std::string error;
        const auto again = parseFaultSetting(fields, error);
        FUZZ_CHECK(again && again->requests == f.requests);
    }
}

void checkCommand(const BenchCommand& c)
{
    using Kind = BenchCommand::Kind;
    if (c.kind == Kind::Inject || c.kind == Kind::Sent) {
        FUZZ_CHECK(c.interfaceIndex >= 0 && c.interfaceIndex < kMaxInterfaces);
        FUZZ_CHECK(c.channel >= 1 && c.channel <= kMaxChannels);
    }
    if (c.kind == Kind::Inject)
        FUZZ_CHECK(!c.words.empty() && c.words.size() <= kMaxInjectWords);
    if (c.kind == Kind::Sent)
        FUZZ_CHECK(c.count.has_value());
    if (c.kind == Kind::Fault) {
        FUZZ_CHECK(c.interfaceIndex == kAllInterfaces || (c.interfaceIndex >= 0 && c.interfaceIndex < kMaxInterfaces));
        checkFault(c.fault);
    }
}

bool sameCommand(const BenchCommand& a, const BenchCommand& b)
{
    const FaultSetting& f = a.fault;
    const FaultSetting& g = b.fault;
    return a.kind == b.kind && a.interfaceIndex == b.interfaceIndex && a.channel == b.channel && a.count == b.count
        && a.clearLog == b.clearLog && a.words == b.words && f.kind == g.kind && f.requests == g.requests
        && f.failMode == g.failMode && f.count == g.count && f.probability == g.probability
        && f.shortBytes == g.shortBytes && f.delayUs == g.delayUs && f.seed == g.seed;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string line(reinterpret_cast<const char*>(data), size);
    const BenchParseResult result = parseBenchCommand(line);
    if (result.command) {
        FUZZ_CHECK(result.error.empty());
        checkCommand(*result.command);
    } else {
        FUZZ_CHECK(!result.error.empty() && result.error.size() <= 200);
        FUZZ_CHECK(std::all_of(result.error.begin(), result.error.end(),
                               [](char c) { return std::isprint(static_cast<unsigned char>(c)); }));
    }

    const BenchParseResult padded = parseBenchCommand(" \t" + line + "\r ");
    FUZZ_CHECK(padded.command.has_value() == result.command.has_value() && padded.error == result.error);
    FUZZ_CHECK(!result.command || sameCommand(*padded.command, *result.command));
    return 0;
}
