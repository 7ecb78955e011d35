#pragma once
#include <memory>

#include "device/DeviceBus.h"

namespace telvar5 {

// The platform decides the backend, here and nowhere else: the driver of the
// real module on Windows, the virtual TELVAR-5 driver on Linux.
std::unique_ptr<DeviceBus> createPlatformDeviceBus();

} // namespace telvar5
