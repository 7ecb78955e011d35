#include "ConsoleBuffer.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <vector>
#endif

namespace telvar5::cli {

std::size_t wholeUtf8Prefix(std::string_view text)
{
    // Back over at most three continuation bytes to the last lead byte, and see
    // whether its character is complete.
    std::size_t end = text.size();
    std::size_t back = 0;
    while (back < 3 && back < end && (static_cast<unsigned char>(text[end - 1 - back]) & 0xC0) == 0x80)
        ++back;
    if (back == end)
        return end; // nothing but continuation bytes: not UTF-8 to wait for
    const auto lead = static_cast<unsigned char>(text[end - 1 - back]);
    // The character's length from its lead byte; a byte that leads nothing stands alone.
    const std::size_t length = (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3 : (lead & 0xF8) == 0xF0 ? 4 : 1;
    return back + 1 < length ? end - 1 - back : end;
}

#ifdef _WIN32
ConsoleBuffer::ConsoleBuffer(void* console) : console_(console) {}

ConsoleBuffer::~ConsoleBuffer()
{
    sync();
}

bool ConsoleBuffer::isConsole(void* handle)
{
    DWORD mode = 0;
    return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetConsoleMode(static_cast<HANDLE>(handle), &mode);
}

ConsoleBuffer::int_type ConsoleBuffer::overflow(int_type c)
{
    if (traits_type::eq_int_type(c, traits_type::eof()))
        return traits_type::not_eof(c);
    pending_.push_back(traits_type::to_char_type(c));
    if (c == '\n')
        writeWhole();
    return c;
}

std::streamsize ConsoleBuffer::xsputn(const char* s, std::streamsize n)
{
    pending_.append(s, static_cast<std::size_t>(n));
    if (pending_.find('\n') != std::string::npos)
        writeWhole();
    return n;
}

int ConsoleBuffer::sync()
{
    writeWhole();
    return 0;
}

void ConsoleBuffer::writeWhole()
{
    const std::size_t whole = wholeUtf8Prefix(pending_);
    if (whole == 0)
        return;
    const int wideLength = MultiByteToWideChar(CP_UTF8, 0, pending_.data(), static_cast<int>(whole), nullptr, 0);
    if (wideLength > 0) {
        std::vector<wchar_t> wide(static_cast<std::size_t>(wideLength));
        MultiByteToWideChar(CP_UTF8, 0, pending_.data(), static_cast<int>(whole), wide.data(), wideLength);
        DWORD written = 0;
        WriteConsoleW(static_cast<HANDLE>(console_), wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    }
    pending_.erase(0, whole);
}
#endif

} // namespace telvar5::cli
