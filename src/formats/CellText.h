#pragma once
// A fixed buffer for the text of one grid cell, so that painting a cell
// allocates nothing. Appends past the capacity are cut, never written outside.
#include <array>
#include <cstddef>
#include <string_view>

namespace telvar5 {

class CellText {
public:
    // The longest text is a decimal text of -FLT_MAX with eight-byte units:
    // 1 + 1 + 47 + 1 + 8 + 4 = 62 characters, plus the zero byte.
    static constexpr std::size_t kCapacity = 64;

    CellText() noexcept { chars_[0] = '\0'; }

    void clear() noexcept
    {
        size_ = 0;
        chars_[0] = '\0';
    }
    void append(char c) noexcept
    {
        if (size_ + 1 < kCapacity) {
            chars_[size_++] = c;
            chars_[size_] = '\0';
        }
    }
    void append(std::string_view s) noexcept
    {
        for (char c : s)
            append(c);
    }
    void appendRepeated(char c, std::size_t count) noexcept
    {
        for (std::size_t i = 0; i < count; ++i)
            append(c);
    }
    // Replaces the character at pos; positions past the text are ignored.
    void set(std::size_t pos, char c) noexcept
    {
        if (pos < size_)
            chars_[pos] = c;
    }

    std::string_view view() const noexcept { return {chars_.data(), size_}; }
    const char* c_str() const noexcept { return chars_.data(); }
    std::size_t size() const noexcept { return size_; }

private:
    std::array<char, kCapacity> chars_;
    std::size_t size_ = 0;
};

} // namespace telvar5
