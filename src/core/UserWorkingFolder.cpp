#include "core/UserWorkingFolder.h"

#include <system_error>
#include <vector>

#include "formats/ReplaceFile.h"

namespace telvar5 {

namespace {

// The files a seed stands for.
std::vector<std::filesystem::path> seedFiles(const std::filesystem::path& seed)
{
    std::error_code ec;
    std::vector<std::filesystem::path> files;
    if (std::filesystem::is_regular_file(seed, ec)) {
        files.push_back(seed);
    } else if (std::filesystem::is_directory(seed, ec)) {
        for (const auto& entry : std::filesystem::directory_iterator(seed, ec))
            if (entry.is_regular_file(ec))
                files.push_back(entry.path());
    }
    return files;
}

} // namespace

std::string enterUserFolder(const std::filesystem::path& folder, std::span<const std::filesystem::path> seeds)
{
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec)
        return "Рабочая папка не создана: " + utf8FromPath(folder);
    std::string problem;
    for (const std::filesystem::path& seed : seeds) {
        for (const std::filesystem::path& file : seedFiles(seed)) {
            const std::filesystem::path target = folder / file.filename();
            // What the user has there, edited or not, stays as it is.
            if (std::filesystem::exists(target, ec) || ec)
                continue;
            std::filesystem::copy_file(file, target, std::filesystem::copy_options::skip_existing, ec);
            if (ec) {
                if (problem.empty())
                    problem = "Файл " + utf8FromPath(file.filename()) + " не скопирован в рабочую папку " + utf8FromPath(folder);
                continue;
            }
            // The copy is the user's to edit, even where the installed file is read-only.
            std::filesystem::permissions(target, std::filesystem::perms::owner_write,
                                         std::filesystem::perm_options::add, ec);
        }
    }
    std::filesystem::current_path(folder, ec);
    if (ec)
        return "Не удалось перейти в рабочую папку " + utf8FromPath(folder);
    return problem;
}

} // namespace telvar5
