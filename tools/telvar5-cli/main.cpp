// telvar5-cli: the monitor's command-line twin for benches that run without
// an operator. Everything but the process's own surroundings is in runCli.
#include <csignal>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "CliEnvironment.h"
#include "RunCli.h"
#include "device/PlatformDeviceBus.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

int main(int argc, char** argv)
{
#ifdef _WIN32
    // The program writes UTF-8; the console shows it as such.
    SetConsoleOutputCP(CP_UTF8);
#endif
    // Ctrl+C must not leave a real module transmitting: the session stops it first.
    std::signal(SIGINT, [](int) { telvar5::cli::requestInterrupt(); });
    std::signal(SIGTERM, [](int) { telvar5::cli::requestInterrupt(); });
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + (argc > 0 ? argc : 0));
    const std::unique_ptr<telvar5::DeviceBus> bus = telvar5::createPlatformDeviceBus();
    telvar5::cli::CliEnvironment env = telvar5::cli::CliEnvironment::system(bus.get());
    return telvar5::cli::runCli(args, std::cout, std::cerr, env);
}
