#include "formats/InputFile.h"

#include <system_error>

#include "formats/FileKind.h"

namespace telvar5 {

InputProblem inputFileProblem(const std::filesystem::path& path) noexcept
{
    switch (fileKindOf(path)) {
    case FileKind::Missing: return InputProblem::Missing;
    case FileKind::Folder: return InputProblem::Folder;
    case FileKind::Other: return InputProblem::NotRegular;
    case FileKind::Regular: break;
    }
    return InputProblem::None;
}

InputProblem openInputFile(std::ifstream& in, const std::filesystem::path& path, std::uintmax_t* size) noexcept
{
    try {
        in.close();
        in.clear();
        // Judged before the open: opening a pipe waits for its writer.
        if (const InputProblem problem = inputFileProblem(path); problem != InputProblem::None)
            return problem;
        in.open(path, std::ios::binary);
        if (!in.is_open())
            return InputProblem::Unreadable;
        if (size) {
            std::error_code ec;
            *size = std::filesystem::file_size(path, ec);
            if (ec) {
                in.close();
                return InputProblem::Unreadable;
            }
        }
        return InputProblem::None;
    } catch (...) {
        in.close();
        return InputProblem::Unreadable;
    }
}

std::string inputProblemText(InputProblem problem)
{
    switch (problem) {
    case InputProblem::None: return {};
    case InputProblem::Missing: return "файла нет";
    case InputProblem::Folder: return "это папка";
    case InputProblem::NotRegular: return "это не обычный файл (устройство, канал или сокет)";
    case InputProblem::Unreadable: break;
    }
    return "файл не открывается для чтения";
}

} // namespace telvar5
