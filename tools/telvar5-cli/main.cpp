// telvar5-cli: the monitor's command-line twin for benches that run without
// an operator. Everything but the process's own surroundings is in runCli.
#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "CliEnvironment.h"
#include "ConsoleBuffer.h"
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
    // The program writes UTF-8: a console gets it as wide characters, whatever
    // its code page; a pipe or a file gets the bytes.
    SetConsoleOutputCP(CP_UTF8);
    std::ostream* out = &std::cout;
    std::ostream* err = &std::cerr;
    telvar5::cli::ConsoleBuffer consoleOut(GetStdHandle(STD_OUTPUT_HANDLE));
    telvar5::cli::ConsoleBuffer consoleErr(GetStdHandle(STD_ERROR_HANDLE));
    std::ostream consoleOutStream(&consoleOut);
    std::ostream consoleErrStream(&consoleErr);
    if (telvar5::cli::ConsoleBuffer::isConsole(GetStdHandle(STD_OUTPUT_HANDLE)))
        out = &consoleOutStream;
    if (telvar5::cli::ConsoleBuffer::isConsole(GetStdHandle(STD_ERROR_HANDLE)))
        err = &consoleErrStream;
#else
    std::ostream* out = &std::cout;
    std::ostream* err = &std::cerr;
#endif
    // Ctrl+C must not leave a real module transmitting: the session stops it first.
    std::signal(SIGINT, [](int) { telvar5::cli::requestInterrupt(); });
    std::signal(SIGTERM, [](int) { telvar5::cli::requestInterrupt(); });
    // UTF-8, as every file name the commands are given is read.
    const std::vector<std::string> args = telvar5::programArguments(argc, argv);
    telvar5::cli::CliEnvironment env = telvar5::cli::CliEnvironment::system();
    const int code = telvar5::cli::runCli(args, *out, *err, env);
    out->flush();
    err->flush();
    return code;
}
