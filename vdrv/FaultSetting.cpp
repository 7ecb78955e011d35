#include "vdrv/FaultSetting.h"

#include <algorithm>
#include <cctype>

#include "vdrv/TextFields.h"

namespace telvar5::vdrv {

const char* const kFaultUsage =
    "  fault IFACE|all fail [REQUESTS] [all]     every matching request fails\n"
    "  fault IFACE|all fail [REQUESTS] [next] N  the next N matching requests fail\n"
    "  fault IFACE|all fail [REQUESTS] prob P    each matching request fails with probability P (0..1)\n"
    "  fault IFACE|all random [REQUESTS]         matching requests succeed with random reply bytes\n"
    "  fault IFACE|all short [REQUESTS] [BYTES]  matching requests succeed with BYTES reply bytes\n"
    "                                            (default: one fewer than the reply record)\n"
    "  fault IFACE|all slow [REQUESTS] US        matching requests return US microseconds late\n"
    "  fault IFACE|all vanish                    every request fails, the interface cannot be opened\n"
    "  fault IFACE|all restore                   a vanished module comes back, other faults stay\n"
    "  fault IFACE|all clear                     every fault goes\n"
    "  fault IFACE|all seed S                    the random draws start again from seed S\n"
    "  REQUESTS: names as in the log (ReqSIreadWord) or hex codes (0x2220EC), comma-separated;\n"
    "  absent: every request. One rule per kind: a new fail, random, short or slow replaces the\n"
    "  module's last one of that kind; rules of different kinds combine.\n";

namespace {

bool sameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size()
        && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// Bounded, printable, so a field of binary junk cannot garble a reply.
std::string shown(std::string_view field)
{
    std::string s;
    for (char c : field.substr(0, 40))
        s += std::isprint(static_cast<unsigned char>(c)) ? c : '?';
    return field.size() > 40 ? s + "..." : s;
}

std::optional<RequestMask> parseRequests(std::string_view list, std::string& error)
{
    RequestMask mask = 0;
    std::size_t pos = 0;
    for (;;) {
        const std::size_t comma = std::min(list.find(',', pos), list.size());
        const std::string_view item = list.substr(pos, comma - pos);
        const RequestInfo* info = nullptr;
        if (item.size() > 2 && item[0] == '0' && (item[1] == 'x' || item[1] == 'X')) {
            if (const auto code = parseUnsigned(item, 16))
                info = findRequest(static_cast<std::uint32_t>(*code));
        } else {
            for (const RequestInfo& row : kRequestTable) {
                if (sameName(item, row.name))
                    info = &row;
            }
        }
        if (!info) {
            error = "no request \"" + shown(item) + "\"; name requests as the log does (ReqSIreadWord) or by hex code";
            return std::nullopt;
        }
        mask |= static_cast<RequestMask>(1u << (info - kRequestTable.data()));
        if (comma == list.size())
            return mask;
        pos = comma + 1;
    }
}

// A field naming requests is neither a number nor a word of the statement.
bool namesRequests(std::string_view field)
{
    return !parseUnsigned(field, 10, UINT64_MAX) && field != "all" && field != "next" && field != "prob";
}

} // namespace

std::optional<FaultSetting> parseFaultSetting(std::span<const std::string_view> f, std::string& error)
{
    const std::string usage = "expected: fail|random|short|slow [REQUESTS] ..., vanish, restore, clear or seed S";
    if (f.empty()) {
        error = usage;
        return std::nullopt;
    }
    FaultSetting s;
    const std::string_view kind = f[0];
    std::size_t i = 1;
    const bool takesRequests = kind == "fail" || kind == "random" || kind == "short" || kind == "slow";
    if (takesRequests && i < f.size() && namesRequests(f[i])) {
        const auto mask = parseRequests(f[i], error);
        if (!mask)
            return std::nullopt;
        s.requests = *mask;
        ++i;
    }
    const std::size_t rest = f.size() - i;
    auto number = [&](std::string_view field, std::uint64_t max, const char* what) {
        const auto v = parseUnsigned(field, 10, max);
        if (!v)
            error = std::string(what) + ", not \"" + shown(field) + "\"";
        return v;
    };

    if (kind == "fail") {
        s.kind = FaultKind::Fail;
        if (rest == 0 || (rest == 1 && f[i] == "all"))
            return s;
        if (rest == 2 && f[i] == "prob") {
            const auto p = parseNumber(f[i + 1]);
            if (!p || !(*p >= 0.0 && *p <= 1.0)) {
                error = "the probability must be a number from 0 to 1, not \"" + shown(f[i + 1]) + "\"";
                return std::nullopt;
            }
            s.failMode = FailMode::Probability;
            s.probability = *p;
            return s;
        }
        if ((rest == 1 && f[i] != "next") || (rest == 2 && f[i] == "next")) {
            const auto n = number(f[f.size() - 1], UINT32_MAX, "fail takes a count of requests from 1");
            if (!n)
                return std::nullopt;
            if (*n == 0) {
                error = "fail takes a count of requests from 1";
                return std::nullopt;
            }
            s.failMode = FailMode::Count;
            s.count = static_cast<std::uint32_t>(*n);
            return s;
        }
        error = "expected: fail [REQUESTS] [all], fail [REQUESTS] [next] N or fail [REQUESTS] prob P";
        return std::nullopt;
    }
    if (kind == "random" && rest == 0) {
        s.kind = FaultKind::Random;
        return s;
    }
    if (kind == "short" && rest <= 1) {
        s.kind = FaultKind::Short;
        if (rest == 1) {
            const auto n = number(f[i], kReadWordReplySize - 1, "short takes a byte count 0..5");
            if (!n)
                return std::nullopt;
            s.shortBytes = static_cast<std::uint32_t>(*n);
        }
        return s;
    }
    if (kind == "slow" && rest == 1) {
        s.kind = FaultKind::Slow;
        const auto us = number(f[i], kMaxFaultDelayUs, "slow takes a delay of 0..10000000 microseconds");
        if (!us)
            return std::nullopt;
        s.delayUs = static_cast<std::uint32_t>(*us);
        return s;
    }
    if (kind == "seed" && rest == 1) {
        s.kind = FaultKind::Seed;
        const auto seed = f[i].starts_with("0x") ? parseUnsigned(f[i], 16, UINT64_MAX)
                                                 : number(f[i], UINT64_MAX, "seed takes a 64-bit number");
        if (!seed) {
            error = "seed takes a 64-bit number, not \"" + shown(f[i]) + "\"";
            return std::nullopt;
        }
        s.seed = *seed;
        return s;
    }
    if (rest == 0 && (kind == "vanish" || kind == "restore" || kind == "clear")) {
        s.kind = kind == "vanish" ? FaultKind::Vanish : kind == "restore" ? FaultKind::Restore : FaultKind::Clear;
        return s;
    }
    if (kind == "random" || kind == "short" || kind == "slow" || kind == "seed" || kind == "vanish"
        || kind == "restore" || kind == "clear") {
        error = "wrong fields after " + std::string(kind) + "; see fault --help";
        return std::nullopt;
    }
    error = "no fault \"" + shown(kind) + "\"; " + usage;
    return std::nullopt;
}

std::string requestListText(RequestMask requests)
{
    std::string s;
    if (requests == kEveryRequest)
        return s;
    for (std::size_t i = 0; i < kRequestTable.size(); ++i) {
        if (requests & (1u << i))
            s += (s.empty() ? "" : ",") + std::string(kRequestTable[i].name);
    }
    return s;
}

} // namespace telvar5::vdrv
