#pragma once
// What the soak watches of its own process: resident memory and its peak
// (VmRSS, VmHWM of /proc/self/status, in kB) and the open file descriptors
// (the entries of /proc/self/fd, the one that lists them included).
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace telvar5::soak {

struct ProcessFigures {
    long rssKb = -1;
    long peakRssKb = -1;
    long fds = -1;
};

inline ProcessFigures processFigures()
{
    ProcessFigures figures;
    {
        std::ifstream status("/proc/self/status");
        std::string line;
        while (std::getline(status, line)) {
            if (line.rfind("VmRSS:", 0) == 0)
                figures.rssKb = std::strtol(line.c_str() + 6, nullptr, 10);
            else if (line.rfind("VmHWM:", 0) == 0)
                figures.peakRssKb = std::strtol(line.c_str() + 6, nullptr, 10);
        }
    }
    std::error_code error;
    long fds = 0;
    for (std::filesystem::directory_iterator it("/proc/self/fd", error), end; !error && it != end;
         it.increment(error))
        ++fds;
    if (!error)
        figures.fds = fds;
    return figures;
}

} // namespace telvar5::soak
