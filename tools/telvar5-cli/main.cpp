// telvar5-cli: the monitor's command-line twin for benches that run without
// an operator. Everything but the process's own surroundings is in runCli.
#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "CliEnvironment.h"
#include "RunCli.h"
#include "core/ProgramArguments.h"

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
    // UTF-8, as every file name the commands are given is read.
    const std::vector<std::string> args = telvar5::programArguments(argc, argv);
    telvar5::cli::CliEnvironment env = telvar5::cli::CliEnvironment::system();
    return telvar5::cli::runCli(args, std::cout, std::cerr, env);
}
