// The CLI's text in a Windows console: UTF-8 is cut only between characters,
// and in a console Russian text arrives as the characters it is, whatever the
// console's code page.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "ConsoleBuffer.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

namespace telvar5::cli {
namespace {

TEST(ConsoleBuffer, UTF8IsCutOnlyBetweenCharacters)
{
    const struct {
        std::string text;
        std::size_t whole;
    } cases[] = {
        {"", 0},
        {"abc", 3},
        {"фут", 6},
        {"фу\xD1", 4},                    // the first byte of "т"
        {"a\xE2\x82", 1},                 // two of the three bytes of "€"
        {"a\xE2\x82\xAC", 4},             // "€" whole
        {"a\xF0\x9F\x98", 1},             // three of four
        {"a\xF0\x9F\x98\x80", 5},         // four of four
        {"\x80\x80", 2},                  // no lead byte: nothing to wait for
    };
    for (const auto& c : cases)
        EXPECT_EQ(wholeUtf8Prefix(c.text), c.whole) << c.text;
}

#ifdef _WIN32
TEST(ConsoleBuffer, RussianTextReachesAConsoleOnCodePage866AsItsCharacters)
{
    // A console of the test's own (wine attaches a program started from a shell to no real console).
    FreeConsole();
    ASSERT_TRUE(AllocConsole()) << GetLastError();
    HANDLE console = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(console, INVALID_HANDLE_VALUE) << "no console: " << GetLastError();
    ASSERT_TRUE(ConsoleBuffer::isConsole(console));
    SetConsoleOutputCP(866);
    CONSOLE_SCREEN_BUFFER_INFO info{};
    ASSERT_TRUE(GetConsoleScreenBufferInfo(console, &info));
    const COORD line{0, static_cast<SHORT>(info.dwCursorPosition.Y + 1)};
    SetConsoleCursorPosition(console, line);
    {
        ConsoleBuffer buffer(console);
        std::ostream out(&buffer);
        const std::string text = "прием: +35000.000000 фут";
        out.write(text.data(), 9); // cut inside the fifth letter: the buffer waits for its last byte
        out.flush();
        out << text.substr(9) << '\n';
    }
    const std::wstring expected = L"прием: +35000.000000 фут";
    std::wstring shown(expected.size(), L' ');
    DWORD read = 0;
    ASSERT_TRUE(ReadConsoleOutputCharacterW(console, shown.data(), static_cast<DWORD>(shown.size()), line, &read));
    shown.resize(read);
    EXPECT_TRUE(shown == expected) << "the console shows other characters";
    CloseHandle(console);
}
#endif

} // namespace
} // namespace telvar5::cli
