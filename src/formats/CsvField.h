#pragma once
// A field of a CSV line as RFC 4180 wants it: quoted, with its quotes doubled,
// when it holds the separator (a comma unless told), a quote or a line end;
// as it is otherwise.
#include <string>
#include <string_view>

namespace telvar5 {

inline std::string csvField(std::string_view text, char separator = ',')
{
    const char special[] = {separator, '"', '\r', '\n', '\0'};
    if (text.find_first_of(special) == std::string_view::npos)
        return std::string(text);
    std::string out = "\"";
    for (const char c : text) {
        out.push_back(c);
        if (c == '"')
            out.push_back('"');
    }
    out.push_back('"');
    return out;
}

} // namespace telvar5
