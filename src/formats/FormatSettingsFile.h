#pragma once
// The formats settings file: the decimal format table as formatCount records of
// 24 bytes, with no header. Read once at start-up, written when the decimal
// formats editor closes.
#include <filesystem>

#include "formats/FormatTables.h"
#include "formats/WriteProblem.h"

namespace telvar5 {

// A bare name: it is resolved against the current directory at each read and
// write, so it follows the directory the file dialogs may have changed.
inline constexpr char kFormatSettingsFileName[] = "TLV5frmt.stt";

// Sets formatCount and paramFormatCount to 0, then reads the file's records into
// formatTable as stored, without checking their values. A short last piece counts
// as a record whose missing bytes are zero. Returns whether the file could be
// opened (only a regular file is: see openInputFile); callers may ignore it, as failures are not reported to the user.
bool loadFormatSettings(FormatTables& tables,
                        const std::filesystem::path& file = kFormatSettingsFileName) noexcept;

// Replaces the file with records 0..formatCount-1 (the caller compacts first).
// Returns whether every byte was written; nothing else reports a failure.
bool saveFormatSettings(const FormatTables& tables, const std::filesystem::path& file = kFormatSettingsFileName,
                        WriteProblem* problem = nullptr) noexcept;

} // namespace telvar5
