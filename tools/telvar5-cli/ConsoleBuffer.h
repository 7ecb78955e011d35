#pragma once
// The CLI's text is UTF-8. A Windows console shows UTF-8 bytes only as well as
// its code page allows (garbled at 866, and even at 65001 on older consoles),
// so where standard output or error is a console the text goes to it as wide
// characters (WriteConsoleW); pipes and files keep the UTF-8 bytes.
#include <cstddef>
#include <streambuf>
#include <string>
#include <string_view>

namespace telvar5::cli {

// The length of the longest prefix of `text` that ends on a whole UTF-8
// character: a character cut at the end of a buffer waits for its last bytes.
std::size_t wholeUtf8Prefix(std::string_view text);

#ifdef _WIN32
class ConsoleBuffer : public std::streambuf {
public:
    // `console` is a console output handle (a HANDLE).
    explicit ConsoleBuffer(void* console);
    ~ConsoleBuffer() override;
    ConsoleBuffer(const ConsoleBuffer&) = delete;
    ConsoleBuffer& operator=(const ConsoleBuffer&) = delete;

    // True when `handle` is a console, not a pipe or a file.
    static bool isConsole(void* handle);

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* s, std::streamsize n) override;
    int sync() override;

private:
    void writeWhole();

    void* console_;
    std::string pending_; // UTF-8 not yet written
};
#endif

} // namespace telvar5::cli
