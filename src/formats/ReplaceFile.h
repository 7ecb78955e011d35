#pragma once
// The program's one way of writing a file it may replace: the bytes go to a
// temporary file in the same folder, which is flushed and then renamed over
// the old one (see ReplacingFile: links, mode, read-only files). A failed write
// (read-only file or folder, full disk) leaves the old file as it was and
// removes the temporary one.
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

#include "formats/WriteProblem.h"

namespace telvar5 {

// On failure *problem, when given, tells why.
bool replaceFile(const std::filesystem::path& file, std::span<const std::uint8_t> bytes,
                 WriteProblem* problem = nullptr) noexcept;

// A path from the UTF-8 text the forms and dialogs hand over.
std::filesystem::path pathFromUtf8(const std::string& utf8);
// A path as UTF-8 text, for the messages.
std::string utf8FromPath(const std::filesystem::path& path);

} // namespace telvar5
