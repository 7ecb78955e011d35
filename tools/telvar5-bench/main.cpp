// telvar5-bench: talks to the bench socket of the virtual TELVAR-5 driver
// running inside a program (the monitor), or checks a driver configuration.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "vdrv/BenchClient.h"
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
    "  fault IFACE fail N|all        the next N requests (or all) on the module fail\n"
    "  fault IFACE vanish            the module vanishes: every request fails, opening fails\n"
    "  fault IFACE clear             the module works again\n"
    "  check                         parse the configuration and print its errors\n"
    "\n"
    "IFACE is the interface index 0..15 (\"all\" for every module with fault).\n"
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

// Checks the command's shape here, so a typing slip gets the usage text
// without a running driver; the driver checks the values again.
const char* commandProblem(const std::vector<std::string>& args)
{
    const std::string& cmd = args[0];
    const std::size_t n = args.size() - 1;
    if (cmd == "modules")
        return n == 0 ? nullptr : "modules takes no arguments";
    if (cmd == "log")
        return n <= 2 ? nullptr : "usage: log [N] [--clear]";
    if (cmd == "inject")
        return n >= 3 ? nullptr : "usage: inject IFACE CHANNEL WORD...";
    if (cmd == "sent")
        return n == 2 || n == 3 ? nullptr : "usage: sent IFACE CHANNEL [N]";
    if (cmd == "fault")
        return n == 2 || n == 3 ? nullptr : "usage: fault IFACE fail N|all, fault IFACE vanish, fault IFACE clear";
    return "unknown command";
}

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
    if (const char* problem = commandProblem(args))
        return usage(problem);

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

    std::string line;
    for (const std::string& a : args) {
        if (!line.empty())
            line += ' ';
        line += a == "--clear" ? "clear" : a;
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
