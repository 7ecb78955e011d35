#pragma once
// One bench command to the virtual driver a test runs: through its bench
// socket where the platform has one, and on Windows, which has none, straight
// to the driver's command interpreter, so that the same test runs there too.
#include <string>

#include "vdrv/BenchCommands.h"
#include "vdrv/BenchReply.h"
#ifndef _WIN32
#include "vdrv/BenchClient.h"
#endif

namespace telvar5::test {

inline vdrv::BenchReply benchLine([[maybe_unused]] vdrv::VirtualDriver& driver,
                                  [[maybe_unused]] const std::string& socketPath, const std::string& line)
{
#ifdef _WIN32
    return vdrv::parseBenchReply(vdrv::BenchCommands(driver).execute(line));
#else
    return vdrv::sendBenchCommand(socketPath, line);
#endif
}

} // namespace telvar5::test
