#pragma once
// Stand-ins for the driver and the user in the widget tests: a bus with
// modules by interface index that records every request, and prompts that
// answer Yes or No and count the beeps.
#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "app/UserPrompts.h"
#include "device/DeviceBus.h"
#include "device/Requests.h"

namespace telvar5::widgets_test {

struct Request {
    DeviceHandle handle;
    std::uint32_t code;
    std::vector<std::uint8_t> in;
};

class FakeBus : public DeviceBus {
public:
    struct Module {
        std::uint16_t serial = 0;
        std::uint16_t configWord = makeConfigWord(8, 8);
    };
    // Interface index -> module; handles are 100 + index.
    std::map<std::uint32_t, Module> modules;
    std::vector<Request> sent;

    DeviceHandle openDeviceByIndex(const Guid& cls, std::uint32_t index, std::uint32_t& errorCode) override
    {
        const auto it = modules.find(index);
        if (!(cls == kTelvar5InterfaceClass) || it == modules.end()) {
            errorCode = 2;
            return kInvalidHandle;
        }
        errorCode = 0;
        return 100 + index;
    }

    bool control(DeviceHandle handle, std::uint32_t code, const void* in, std::uint32_t inSize, void* out,
                 std::uint32_t outSize, std::uint32_t& bytesReturned) override
    {
        const auto* bytes = static_cast<const std::uint8_t*>(in);
        sent.push_back({handle, code, std::vector<std::uint8_t>(bytes, bytes + (bytes ? inSize : 0))});
        bytesReturned = 0;
        if (out && outSize)
            std::memset(out, 0, outSize);
        const auto it = modules.find(static_cast<std::uint32_t>(handle - 100));
        if (it == modules.end())
            return false;
        std::uint16_t reply = 0;
        if (code == ReqSerialNumber)
            reply = it->second.serial;
        else if (code == ReqDeviceChoice)
            reply = it->second.configWord;
        if (out && outSize >= 2) {
            std::memcpy(out, &reply, 2); // little-endian host
            bytesReturned = 2;
        }
        return true;
    }

    int count(std::uint32_t code) const
    {
        return static_cast<int>(std::count_if(sent.begin(), sent.end(), [code](const Request& r) { return r.code == code; }));
    }
    // Requests other than the serial number queries of the search.
    int countAfterSearch() const { return static_cast<int>(sent.size()) - count(ReqSerialNumber); }
    const Request* last(std::uint32_t code) const
    {
        for (auto it = sent.rbegin(); it != sent.rend(); ++it)
            if (it->code == code)
                return &*it;
        return nullptr;
    }
};

class FakePrompts : public UserPrompts {
public:
    bool answerYes = true;
    int questions = 0;
    int beeps = 0;
    std::string lastTitle;
    std::string lastText;

    bool askYesNo(const std::string& title, const std::string& text) override
    {
        ++questions;
        lastTitle = title;
        lastText = text;
        return answerYes;
    }
    void beep() override { ++beeps; }
};

} // namespace telvar5::widgets_test
