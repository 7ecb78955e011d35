#include "core/ProgramArguments.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>
#endif

namespace telvar5 {

#ifdef _WIN32
namespace {

std::string utf8Of(const wchar_t* wide)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1)
        return {};
    std::string text(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, text.data(), size, nullptr, nullptr);
    text.resize(static_cast<std::size_t>(size) - 1); // without the terminating NUL
    return text;
}

} // namespace
#endif

std::vector<std::string> programArguments(int argc, char** argv)
{
#ifdef _WIN32
    int count = 0;
    if (wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
        std::vector<std::string> args;
        for (int i = 1; i < count; ++i)
            args.push_back(utf8Of(wide[i]));
        LocalFree(wide);
        return args;
    }
#endif
    // Elsewhere the arguments are UTF-8 already (and on Windows, without a wide command line, the best there is).
    return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>();
}

} // namespace telvar5
