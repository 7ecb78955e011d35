#include "device/windows/WinDeviceBus.h"

#include <windows.h>
#include <setupapi.h>

#include <cstdlib>

namespace telvar5 {

namespace {

// The layouts this backend relies on: SetupAPI packs its records to 1 byte in
// a 32-bit program and to 8 bytes in a 64-bit one.
static_assert(sizeof(SP_DEVICE_INTERFACE_DATA) == (sizeof(void*) == 8 ? 32 : 28));
static_assert(sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A) == (sizeof(void*) == 8 ? 8 : 5));

GUID toWinGuid(const Guid& g)
{
    GUID w{};
    w.Data1 = g.data1;
    w.Data2 = g.data2;
    w.Data3 = g.data3;
    for (std::size_t i = 0; i < g.data4.size(); ++i)
        w.Data4[i] = g.data4[i];
    return w;
}

HANDLE toWinHandle(DeviceHandle h) { return reinterpret_cast<HANDLE>(h); }
DeviceHandle fromWinHandle(HANDLE h) { return reinterpret_cast<DeviceHandle>(h); }

// A failure must never read as success (error 0), even if the system left no
// last error behind.
std::uint32_t lastErrorOfFailure()
{
    const DWORD error = GetLastError();
    return error != 0 ? static_cast<std::uint32_t>(error) : static_cast<std::uint32_t>(ERROR_GEN_FAILURE);
}

// The device information set is released on every way out, failures included.
class DeviceInfoSet {
public:
    explicit DeviceInfoSet(HDEVINFO set) : set_(set) {}
    ~DeviceInfoSet()
    {
        if (valid())
            SetupDiDestroyDeviceInfoList(set_);
    }
    DeviceInfoSet(const DeviceInfoSet&) = delete;
    DeviceInfoSet& operator=(const DeviceInfoSet&) = delete;

    bool valid() const { return set_ != INVALID_HANDLE_VALUE; }
    HDEVINFO get() const { return set_; }

private:
    HDEVINFO set_;
};

class DetailBuffer {
public:
    explicit DetailBuffer(std::size_t size) : data_(std::calloc(1, size)) {}
    ~DetailBuffer() { std::free(data_); }
    DetailBuffer(const DetailBuffer&) = delete;
    DetailBuffer& operator=(const DetailBuffer&) = delete;

    bool valid() const { return data_ != nullptr; }
    auto* detail() const { return static_cast<PSP_DEVICE_INTERFACE_DETAIL_DATA_A>(data_); }

private:
    void* data_;
};

} // namespace

DeviceHandle WinDeviceBus::openDeviceByIndex(const Guid& interfaceClass, std::uint32_t index,
                                             std::uint32_t& errorCode)
{
    const GUID classGuid = toWinGuid(interfaceClass);

    DeviceInfoSet set(SetupDiGetClassDevsA(&classGuid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE));
    if (!set.valid()) {
        errorCode = lastErrorOfFailure();
        return kInvalidHandle;
    }

    // The record sizes are those of this build's structures: 28 and 5 for a
    // 32-bit program, 32 and 8 for a 64-bit one. SetupAPI rejects any other
    // value with ERROR_INVALID_USER_BUFFER, so fixed 32-bit numbers would make
    // a 64-bit build find no module at all.
    SP_DEVICE_INTERFACE_DATA interfaceData{};
    interfaceData.cbSize = sizeof(SP_DEVICE_INTERFACE_DATA);
    if (!SetupDiEnumDeviceInterfaces(set.get(), nullptr, &classGuid, index, &interfaceData)) {
        errorCode = lastErrorOfFailure();
        return kInvalidHandle;
    }

    // First ask for the size only; this call "fails" with ERROR_INSUFFICIENT_BUFFER
    // by design, so only a missing size counts as a failure.
    DWORD required = 0;
    SetupDiGetDeviceInterfaceDetailA(set.get(), &interfaceData, nullptr, 0, &required, nullptr);
    if (required == 0) {
        errorCode = lastErrorOfFailure();
        return kInvalidHandle;
    }
    if (required < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A))
        required = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);

    DetailBuffer buffer(required);
    if (!buffer.valid()) {
        errorCode = ERROR_NOT_ENOUGH_MEMORY; // 8
        return kInvalidHandle;
    }
    buffer.detail()->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
    if (!SetupDiGetDeviceInterfaceDetailA(set.get(), &interfaceData, buffer.detail(), required, nullptr,
                                          nullptr)) {
        errorCode = lastErrorOfFailure();
        return kInvalidHandle;
    }

    const HANDLE handle = CreateFileA(buffer.detail()->DevicePath, GENERIC_READ | GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        errorCode = lastErrorOfFailure();
        return kInvalidHandle;
    }
    errorCode = 0;
    return fromWinHandle(handle);
}

bool WinDeviceBus::control(DeviceHandle handle, std::uint32_t code, const void* in, std::uint32_t inSize,
                           void* out, std::uint32_t outSize, std::uint32_t& bytesReturned)
{
    DWORD returned = 0;
    const BOOL ok = DeviceIoControl(toWinHandle(handle), code, const_cast<void*>(in), inSize, out, outSize,
                                    &returned, nullptr);
    bytesReturned = static_cast<std::uint32_t>(returned);
    if (ok == FALSE)
        lastError_ = lastErrorOfFailure();
    return ok != FALSE;
}

void WinDeviceBus::closeDevice(DeviceHandle handle)
{
    if (handle != kNoDevice && handle != kInvalidHandle)
        CloseHandle(toWinHandle(handle));
}

} // namespace telvar5
