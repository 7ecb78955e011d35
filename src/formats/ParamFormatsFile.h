#pragma once
// Parameter formats files (".si"): paramFormatCount records of 11 bytes, with
// no header. Saved and restored only at the user's request.
#include <filesystem>

#include "formats/FormatTables.h"
#include "formats/WriteProblem.h"

namespace telvar5 {

// If the file opens: sets paramFormatCount to 0 and the channel of all 256
// records to 0 (labels and tags stay), then reads the file's records as stored.
// A short last piece still counts; the bytes it lacks keep what the record held.
// If the file cannot be opened, or is not a regular file (a pipe, a device,
// a folder: see openInputFile), nothing changes and false is returned.
bool loadParamFormats(FormatTables& tables, const std::filesystem::path& file) noexcept;

// Replaces the file with records 0..paramFormatCount-1. Compacts nothing: the
// caller runs compactParamFormats first. Returns whether every byte was written.
bool saveParamFormats(const FormatTables& tables, const std::filesystem::path& file,
                      WriteProblem* problem = nullptr) noexcept;

} // namespace telvar5
