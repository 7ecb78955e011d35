#pragma once
// The working folder a shortcut starts the monitor in, when the program's own
// folder is not the user's to write (Program Files): a folder of the user's
// documents, laid out on the first start from files installed with the program.
#include <filesystem>
#include <span>
#include <string>

namespace telvar5 {

// Makes `folder` (with its parents), copies into it each file of `seeds` it
// lacks (a seed is a file, or a folder whose files are taken, not its
// subfolders), never replacing a file that is there, and makes it the working
// folder. A seed that does not exist is passed over. Returns what failed, for
// the user (UTF-8), or nothing; a failed copy still enters the folder.
std::string enterUserFolder(const std::filesystem::path& folder, std::span<const std::filesystem::path> seeds);

} // namespace telvar5
