#pragma once
// A DeviceBus for core tests: modules by interface index, scripted replies,
// and a record of every request sent.
#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "device/DeviceBus.h"
#include "protocol/Requests.h"

namespace telvar5::test {

// A ReqSOwordUpdate as sent: channel number, word index, word.
struct SentWordUpdate {
    std::uint16_t channelNo, index;
    std::uint32_t word;
    bool operator==(const SentWordUpdate&) const = default;
};

struct SentRequest {
    DeviceHandle handle;
    std::uint32_t code;
    std::vector<std::uint8_t> in;
    std::uint32_t outSize;
};

class FakeBus : public DeviceBus {
public:
    struct Module {
        std::uint16_t serial = 0;
        std::uint16_t configWord = makeConfigWord(8, 8);
        bool opens = true;
    };

    // Interface index -> module. Handles are 100 + index.
    std::map<std::uint32_t, Module> modules;
    std::vector<SentRequest> sent;
    std::vector<std::uint32_t> opened; // indexes tried
    bool failAll = false;
    bool siRunning = false;
    bool soRunning = false;
    // Word answered for {channel number, cell}; nullopt makes the read fail.
    std::function<std::optional<std::uint32_t>(std::uint16_t, std::uint16_t)> readWord =
        [](std::uint16_t, std::uint16_t) { return std::optional<std::uint32_t>(0); };
    // Called for every request, e.g. to let time pass as a slow driver would.
    std::function<void()> onRequest;
    // Replies one byte short while reporting success, as a faulty driver might.
    bool shortReplies = false;
    // The count a completed request reports, whatever was written: a real
    // driver may count only part of its reply, or more than the room it had.
    std::optional<std::uint32_t> reportedBytes;

    DeviceHandle openDeviceByIndex(const Guid& cls, std::uint32_t index, std::uint32_t& errorCode) override
    {
        opened.push_back(index);
        auto it = modules.find(index);
        if (!(cls == kTelvar5InterfaceClass) || it == modules.end() || !it->second.opens) {
            errorCode = 259;
            return kInvalidHandle;
        }
        errorCode = 0;
        return 100 + index;
    }

    bool control(DeviceHandle handle, std::uint32_t code, const void* in, std::uint32_t inSize, void* out,
                 std::uint32_t outSize, std::uint32_t& bytesReturned) override
    {
        if (onRequest)
            onRequest();
        const auto* bytes = static_cast<const std::uint8_t*>(in);
        sent.push_back({handle, code, std::vector<std::uint8_t>(bytes, bytes + (bytes ? inSize : 0)), outSize});
        bytesReturned = 0;
        if (failAll)
            return false;
        auto* o = static_cast<std::uint8_t*>(out);
        const Module* m = handle >= 100 && modules.count(static_cast<std::uint32_t>(handle - 100))
            ? &modules.at(static_cast<std::uint32_t>(handle - 100))
            : nullptr;
        auto put16 = [&](std::uint16_t v) {
            if (outSize >= 2) {
                o[0] = static_cast<std::uint8_t>(v);
                o[1] = static_cast<std::uint8_t>(v >> 8);
                bytesReturned = 2;
            }
        };
        // The bytes the program never reads hold 0xA5, as a driver's leftovers might.
        if (code == ReqSerialNumber && m)
            put16(m->serial);
        else if (code == ReqDeviceChoice && m)
            put16(m->configWord);
        else if (code == ReqSIstate)
            put16(siRunning ? 0xA501 : 0xA500);
        else if (code == ReqSOstate)
            put16(soRunning ? 0xA501 : 0xA500);
        else if (code == ReqSIreadWord && inSize == 6 && outSize >= 6) {
            const auto w = readWord(static_cast<std::uint16_t>(bytes[0] | bytes[1] << 8),
                                    static_cast<std::uint16_t>(bytes[4] | bytes[5] << 8));
            if (!w)
                return false;
            std::memset(o, 0xA5, 2);
            for (int i = 0; i < 4; ++i)
                o[2 + i] = static_cast<std::uint8_t>(*w >> (8 * i));
            bytesReturned = 6;
        } else if (code == ReqSerialNumber || code == ReqDeviceChoice)
            put16(0);
        else
            put16(0xA5A5);
        if (shortReplies && bytesReturned > 0)
            --bytesReturned;
        if (reportedBytes)
            bytesReturned = *reportedBytes;
        return true;
    }

    int count(std::uint32_t code) const
    {
        return static_cast<int>(std::count_if(sent.begin(), sent.end(), [code](const SentRequest& r) { return r.code == code; }));
    }
    // Requests other than the serial number queries of the search.
    int countAfterSearch() const { return static_cast<int>(sent.size()) - count(ReqSerialNumber); }
    const SentRequest* last(std::uint32_t code) const
    {
        for (auto it = sent.rbegin(); it != sent.rend(); ++it)
            if (it->code == code)
                return &*it;
        return nullptr;
    }

    // The codes of every request sent, in order.
    std::vector<std::uint32_t> codes() const
    {
        std::vector<std::uint32_t> out;
        for (const auto& r : sent)
            out.push_back(r.code);
        return out;
    }
    std::vector<SentWordUpdate> wordUpdates() const
    {
        std::vector<SentWordUpdate> out;
        for (const auto& r : sent)
            if (r.code == ReqSOwordUpdate && r.in.size() >= 8)
                out.push_back({static_cast<std::uint16_t>(r.in[0] | r.in[1] << 8),
                               static_cast<std::uint16_t>(r.in[2] | r.in[3] << 8),
                               static_cast<std::uint32_t>(r.in[4] | r.in[5] << 8 | r.in[6] << 16)
                                   | static_cast<std::uint32_t>(r.in[7]) << 24});
        return out;
    }

    std::vector<SentRequest> sentWith(std::uint32_t code) const
    {
        std::vector<SentRequest> r;
        for (const auto& s : sent)
            if (s.code == code)
                r.push_back(s);
        return r;
    }
};

} // namespace telvar5::test
