// telvar5-cli: the monitor's command-line twin for benches that run without
// an operator. Everything but the process's own surroundings is in runCli.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "CliEnvironment.h"
#include "ConsoleBuffer.h"
#include "RunCli.h"
#include "StdoutFailure.h"
#include "core/ProgramArguments.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
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
#ifndef _WIN32
    // A closed pipe and a file grown past its limit fail the write instead of
    // killing the program, so the session still stops and resets the module.
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    // UTF-8, as every file name the commands are given is read.
    const std::vector<std::string> args = telvar5::programArguments(argc, argv);
    telvar5::cli::CliEnvironment env = telvar5::cli::CliEnvironment::system();
    int code = telvar5::cli::runCli(args, *out, *err, env);
    // What stdout still holds reaches the file or pipe only now: a run that
    // went well fails if it does not.
    errno = 0;
    out->flush();
    bool written = static_cast<bool>(*out);
    if (out == &std::cout) {
        written = std::fflush(stdout) == 0 && written;
        // A file system that writes back late (NFS) tells its failure at the
        // close: of a copy, as the library still flushes stdout at exit.
#ifdef _WIN32
        const int copy = _dup(_fileno(stdout));
        written = (copy < 0 || _close(copy) == 0) && written;
#else
        const int copy = ::dup(fileno(stdout));
        written = (copy < 0 || ::close(copy) == 0) && written;
#endif
    }
    if (!written && code == 0) {
        const telvar5::cli::CliError failure = telvar5::cli::stdoutFailure(errno);
        *err << "telvar5-cli: " << failure.what() << "\n";
        code = static_cast<int>(failure.code());
    }
    err->flush();
    return code;
}
