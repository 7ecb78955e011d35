#pragma once
// Zero-ended texts in fixed-size byte fields of the format records.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace telvar5 {

// The text up to the zero byte; a damaged field with no zero byte inside it is
// cut at the field's end, so nothing past the field is ever read.
inline std::string_view fieldText(const std::uint8_t* field, std::size_t fieldSize)
{
    const void* zero = std::memchr(field, 0, fieldSize);
    const std::size_t len = zero ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(zero) - field)
                                 : fieldSize;
    return {reinterpret_cast<const char*>(field), len};
}

// Writes at most maxChars bytes of the text and its zero byte; the bytes after
// the zero byte keep what an earlier, longer text left there.
inline void setFieldText(std::uint8_t* field, std::size_t maxChars, std::string_view text)
{
    const std::size_t len = std::min(text.size(), maxChars);
    std::memcpy(field, text.data(), len);
    field[len] = 0;
}

} // namespace telvar5
