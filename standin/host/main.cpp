// telvar5-standin-host: serves the stand-in TELVAR-5 driver with the virtual
// driver library, so that programs reaching the card through SetupAPI,
// CreateFileA and DeviceIoControl are answered by the virtual module of a
// configuration file. Test equipment, Windows (wine) only.
//
//   telvar5-standin-host [--config FILE] [--journal FILE]
//
// Standard input takes the virtual driver's bench commands (modules, log,
// inject, sent, fault ...; see telvar5-bench), one a line, answered on
// standard output, and two of its own: "status" (the driver's counts) and
// "quit" (stop serving: the modules' interfaces are withdrawn).
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <thread>

#include "standin/StandInExchange.h"
#include "StandInServer.h"
#include "vdrv/BenchCommands.h"
#include "vdrv/ConfigLoader.h"
#include "vdrv/VirtualDriver.h"

using namespace telvar5;

namespace {

std::atomic<bool> g_quit{false};
HANDLE g_control = INVALID_HANDLE_VALUE;

void say(const std::string& line)
{
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

std::string statusLine()
{
    T5siStatus s{};
    DWORD returned = 0;
    if (!DeviceIoControl(g_control, T5SI_IOCTL_STATUS, nullptr, 0, &s, sizeof s, &returned, nullptr))
        return "status: the driver did not answer (error " + std::to_string(GetLastError()) + ")";
    char line[320];
    std::snprintf(line, sizeof line,
                  "status: host %s, %u modules, %u interfaces on; requests forwarded %llu, answered %llu, "
                  "timed out %llu, withdrawn %llu, refused %llu",
                  s.hostAttached ? "attached" : "detached", s.modules, s.interfacesOn,
                  static_cast<unsigned long long>(s.forwarded), static_cast<unsigned long long>(s.answered),
                  static_cast<unsigned long long>(s.timedOut), static_cast<unsigned long long>(s.withdrawn),
                  static_cast<unsigned long long>(s.refused));
    return line;
}

// Bench commands from standard input, beside the exchange loop.
void readCommands(vdrv::VirtualDriver& driver)
{
    vdrv::BenchCommands bench(driver);
    std::string line;
    while (!g_quit && std::getline(std::cin, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty())
            continue;
        if (line == "quit") {
            g_quit = true;
            CancelIoEx(g_control, nullptr); // ends the pending exchange
            say("OK quit");
            return;
        }
        if (line == "status") {
            say(statusLine());
            say("OK");
            continue;
        }
        std::fputs(bench.execute(line).c_str(), stdout);
        std::fflush(stdout);
    }
}

} // namespace

int main(int argc, char** argv)
{
    std::string configPath = "telvar5-vdrv.conf";
    std::string journalPath;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--config" && i + 1 < argc) {
            configPath = argv[++i];
        } else if (arg == "--journal" && i + 1 < argc) {
            journalPath = argv[++i];
        } else {
            std::fprintf(stderr, "usage: telvar5-standin-host [--config FILE] [--journal FILE]\n");
            return 2;
        }
    }

    const vdrv::ConfigLoadResult loaded = vdrv::loadConfigFile(configPath);
    if (!loaded.found) {
        std::fprintf(stderr, "telvar5-standin-host: no configuration file %s\n", configPath.c_str());
        return 1;
    }
    for (const vdrv::ConfigError& e : loaded.errors)
        std::fprintf(stderr, "telvar5-standin-host: %s:%d: %s\n", configPath.c_str(), e.line, e.message.c_str());
    vdrv::VirtualDriver driver(loaded);

    std::ofstream journalFile;
    if (!journalPath.empty()) {
        journalFile.open(journalPath, std::ios::out | std::ios::trunc | std::ios::binary); // lines end in \n
        if (!journalFile) {
            std::fprintf(stderr, "telvar5-standin-host: cannot write %s\n", journalPath.c_str());
            return 1;
        }
        journalFile << std::unitbuf; // a test reads it while the host runs
    }
    standin::StandInServer server(driver, journalFile.is_open() ? &journalFile : nullptr);

    // Wine starts the driver's service with its own start, which may still be
    // under way when the host is the program that started wine: wait up to 20 s.
    for (int tries = 0; tries < 200 && g_control == INVALID_HANDLE_VALUE; ++tries) {
        g_control = CreateFileA(T5SI_CONTROL_PATH_A, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
        if (g_control == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_NOT_FOUND)
            Sleep(100);
        else
            break;
    }
    if (g_control == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "telvar5-standin-host: the stand-in driver is not running (%s: error %lu)\n",
                     T5SI_CONTROL_PATH_A, GetLastError());
        return 1;
    }
    T5siAttach attach{T5SI_VERSION, 0};
    for (unsigned i = 0; i < T5SI_MAX_MODULES; ++i)
        if (loaded.config.interfaces[i].present && loaded.config.interfaces[i].failsToOpen)
            attach.unopenable |= 1u << i;
    DWORD returned = 0;
    if (!DeviceIoControl(g_control, T5SI_IOCTL_ATTACH, &attach, sizeof attach, nullptr, 0, &returned, nullptr)) {
        std::fprintf(stderr, "telvar5-standin-host: the driver refused to be served (error %lu): another host?\n",
                     GetLastError());
        return 1;
    }
    say("serving " + configPath + "; " + statusLine());

    std::thread commands(readCommands, std::ref(driver));
    commands.detach(); // blocked on standard input; the process ends it

    auto request = std::make_unique<T5siRequest>();
    auto reply = std::make_unique<T5siReply>();
    DWORD replyBytes = 0; // the first exchange carries no reply
    int status = 0;
    while (!g_quit) {
        DWORD requestBytes = 0;
        if (!DeviceIoControl(g_control, T5SI_IOCTL_EXCHANGE, reply.get(), replyBytes, request.get(),
                             sizeof(T5siRequest), &requestBytes, nullptr)) {
            const DWORD error = GetLastError();
            if (!g_quit) {
                std::fprintf(stderr, "telvar5-standin-host: the exchange failed (error %lu)\n", error);
                status = 1;
            }
            break;
        }
        replyBytes = static_cast<DWORD>(server.answer(*request, requestBytes, *reply));
    }
    CloseHandle(g_control); // the driver withdraws the interfaces
    say("stopped: " + std::to_string(server.answered()) + " requests answered, " +
        std::to_string(server.failed()) + " failed");
    std::fflush(stdout);
    std::_Exit(status); // the command thread may still wait on standard input
}
