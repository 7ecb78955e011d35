// telvar5-bench: talks to the bench socket of the virtual TELVAR-5 driver
// running inside a program (the monitor), or checks a driver configuration.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "vdrv/BenchClient.h"
#include "vdrv/BenchCommandParser.h"
#include "vdrv/ConfigLoader.h"

namespace {

using namespace telvar5::vdrv;

enum ExitCode { kOk = 0, kFailed = 1, kUsage = 2, kNoDriver = 3 };

const char* const kUsageText =
    "usage: telvar5-bench [-c CONFIG | -s SOCKET] COMMAND [ARGS...]\n"
    "\n"
    "Talks to the virtual TELVAR-5 driver of a running program through its bench socket.\n"
    "Without -c or -s the socket is the one named in ./telvar5-vdrv.conf\n"
    "(else /etc/telvar5/telvar5-vdrv.conf).\n"
    "\n"
    "commands:\n"
    "  modules                       list the modules: serial, channel counts, initialised?,\n"
    "                                state and bit-rate code of every channel, the input\n"
    "                                each output is wired to (\"out 1 -> in 1\")\n"
    "  log [N] [--clear]             print the request log (only the last N requests), then clear it\n"
    "  inject IFACE CHANNEL WORD...  words (hex) arrive now on input CHANNEL (1..8) of interface IFACE\n"
    "  sent IFACE CHANNEL [N]        the last N words (default 64) sent by output CHANNEL, one a\n"
    "                                line: time (us since the driver started), hex word, octal label\n"
    "  fault IFACE|all KIND ...      a fault on the module (or every module): failing, random,\n"
    "                                short or slow replies, a vanished card; `fault --help` lists them\n"
    "  check                         parse the configuration and print its errors\n"
    "\n"
    "IFACE is the interface index 0..15.\n"
    "exit codes: 0 done, 1 the command failed, 2 usage error, 3 no driver reachable\n";

int usage(const char* why)
{
    if (why)
        std::fprintf(stderr, "telvar5-bench: %s\n\n", why);
    std::fputs(kUsageText, stderr);
    return kUsage;
}

std::filesystem::path configPathFor(const std::string& option)
{
    if (!option.empty())
        return option;
    return findInstalledConfig();
}

int check(const std::filesystem::path& path)
{
    if (path.empty()) {
        std::fprintf(stderr, "telvar5-bench: no configuration: neither ./%s nor %s exists\n", kConfigFileName,
                     kSystemConfigPath);
        return kFailed;
    }
    const ConfigLoadResult loaded = loadConfigFile(path);
    if (!loaded.found) {
        std::fprintf(stderr, "telvar5-bench: %s: no such file\n", path.c_str());
        return kFailed;
    }
    int modules = 0;
    for (const auto& ic : loaded.config.interfaces)
        modules += ic.present ? 1 : 0;
    for (const ConfigError& e : loaded.errors)
        std::printf("%s:%d: %s\n", loaded.path.c_str(), e.line, e.message.c_str());
    std::printf("%s: %d interfaces, bench socket %s, %zu errors\n", loaded.path.c_str(), modules,
                loaded.config.benchSocket.empty() ? "none" : loaded.config.benchSocket.c_str(),
                loaded.errors.size());
    return loaded.errors.empty() ? kOk : kFailed;
}

const char* const kFaultHelpIntro =
    "usage: telvar5-bench [-c CONFIG | -s SOCKET] fault IFACE|all KIND [ARGS...]\n"
    "\n"
    "Sets a fault on module IFACE (0..15) or on every module of the running driver.\n"
    "`telvar5-bench modules` shows the faults in force, `telvar5-bench log` what they did\n"
    "to each request. The configuration's \"fault I ...\" statement takes the same words.\n"
    "\n";

bool asksForHelp(const std::string& arg) { return arg == "-h" || arg == "--help" || arg == "help"; }

} // namespace

int main(int argc, char** argv)
{
    std::string configOption;
    std::string socketOption;
    int i = 1;
    for (; i < argc && argv[i][0] == '-'; ++i) {
        const std::string opt = argv[i];
        if (opt == "-h" || opt == "--help") {
            std::fputs(kUsageText, stdout);
            return kOk;
        }
        if ((opt == "-c" || opt == "-s") && i + 1 < argc) {
            (opt == "-c" ? configOption : socketOption) = argv[++i];
            continue;
        }
        return usage(("unknown option " + opt).c_str());
    }
    if (!configOption.empty() && !socketOption.empty())
        return usage("give -c or -s, not both");
    if (i >= argc)
        return usage("no command");
    std::vector<std::string> args(argv + i, argv + argc);

    if (args[0] == "check") {
        if (args.size() != 1)
            return usage("check takes no arguments");
        if (!socketOption.empty())
            return usage("check reads a configuration; use -c CONFIG");
        return check(configPathFor(configOption));
    }
    if (args[0] == "fault" && (args.size() == 1 || asksForHelp(args[1]))) {
        std::fputs(kFaultHelpIntro, args.size() == 1 ? stderr : stdout);
        std::fputs(kFaultUsage, args.size() == 1 ? stderr : stdout);
        return args.size() == 1 ? kUsage : kOk;
    }

    std::string line;
    for (const std::string& a : args) {
        if (!line.empty())
            line += ' ';
        line += a == "--clear" ? "clear" : a;
    }
    // The driver reads the line again; reading it here first gives a slip of
    // the keyboard its answer without a running driver.
    if (const BenchParseResult parsed = parseBenchCommand(line); !parsed.command) {
        if (args[0] != "fault")
            return usage(parsed.error.c_str());
        std::fprintf(stderr, "telvar5-bench: %s\n\n", parsed.error.c_str());
        std::fputs(kFaultUsage, stderr);
        return kUsage;
    }

    std::string socket = socketOption;
    if (socket.empty()) {
        const std::filesystem::path path = configPathFor(configOption);
        if (path.empty()) {
            std::fprintf(stderr, "telvar5-bench: no configuration found (./%s, %s); use -c or -s\n",
                         kConfigFileName, kSystemConfigPath);
            return kNoDriver;
        }
        const ConfigLoadResult loaded = loadConfigFile(path);
        if (!loaded.found) {
            std::fprintf(stderr, "telvar5-bench: %s: no such file\n", path.c_str());
            return kNoDriver;
        }
        socket = loaded.config.benchSocket;
        if (socket.empty()) {
            std::fprintf(stderr, "telvar5-bench: %s names no bench socket\n", loaded.path.c_str());
            return kNoDriver;
        }
    }

    const BenchReply reply = sendBenchCommand(socket, line);
    for (const std::string& l : reply.lines)
        std::printf("%s\n", l.c_str());
    if (!reply.connected) {
        std::fprintf(stderr, "telvar5-bench: %s\n", reply.error.c_str());
        return kNoDriver;
    }
    if (!reply.ok) {
        std::fprintf(stderr, "telvar5-bench: %s\n", reply.error.c_str());
        return kFailed;
    }
    return kOk;
}
