#include "formats/WriteProblem.h"

#include <cerrno>

namespace telvar5 {

WriteProblem writeProblemOfErrno(int error) noexcept
{
    switch (error) {
    case 0: return WriteProblem::Other; // a failure the system gave no number for
    case ENOENT:
    case ENOTDIR: return WriteProblem::NoFolder;
    case EISDIR: return WriteProblem::Folder;
    case EACCES:
    case EPERM:
    case EROFS:
    case EBUSY: return WriteProblem::AccessDenied;
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
    case EFBIG: return WriteProblem::DiskFull;
    default: return WriteProblem::Other;
    }
}

std::string writeProblemText(WriteProblem problem)
{
    switch (problem) {
    case WriteProblem::None: return {};
    case WriteProblem::ReadOnly: return "файл только для чтения";
    case WriteProblem::Folder: return "это имя папки";
    case WriteProblem::NotRegular: return "это не обычный файл (устройство, канал или сокет)";
    case WriteProblem::NoFolder: return "папка не существует";
    case WriteProblem::AccessDenied: return "доступ запрещен";
    case WriteProblem::DiskFull: return "на диске нет места";
    case WriteProblem::Other: break;
    }
    return "ошибка записи";
}

} // namespace telvar5
