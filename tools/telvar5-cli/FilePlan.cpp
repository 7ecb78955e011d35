#include "FilePlan.h"

#include <algorithm>
#include <system_error>

#include "formats/ReplaceFile.h"

namespace telvar5::cli {

std::filesystem::path FilePlan::spelled(const std::string& path)
{
    // "r.tlvcap" and "./r.tlvcap" are one file.
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(pathFromUtf8(path), ec);
    return (ec ? pathFromUtf8(path) : absolute).lexically_normal();
}

void FilePlan::willWrite(const std::string& path) { written_.push_back(spelled(path)); }

bool FilePlan::writtenEarlier(const std::string& path) const
{
    return std::find(written_.begin(), written_.end(), spelled(path)) != written_.end();
}

} // namespace telvar5::cli
