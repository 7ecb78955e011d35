#pragma once
// A file's size as a user reads it: "812 Б", "12,4 КБ", "3,1 МБ", "1,2 ГБ"
// (binary multiples, one decimal with a comma, as Russian texts write it).
#include <cstdint>
#include <string>

namespace telvar5 {

std::string byteSizeText(std::uint64_t bytes);

} // namespace telvar5
