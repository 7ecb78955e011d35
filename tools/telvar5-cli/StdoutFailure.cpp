#include "StdoutFailure.h"

#include <cerrno>

#include "formats/WriteProblem.h"

namespace telvar5::cli {

std::string writeErrorText(int error)
{
    if (error == EIO)
        return "ошибка ввода-вывода";
    if (error == EBADF)
        return "поток закрыт";
    const WriteProblem problem = writeProblemOfErrno(error);
    if (problem == WriteProblem::Other && error != 0)
        return "ошибка записи (errno " + std::to_string(error) + ")";
    return writeProblemText(problem);
}

CliError stdoutFailure(int error)
{
    if (error == EPIPE)
        return CliError(ExitCode::OutputClosed, "stdout закрыт читающей стороной канала");
    return CliError(ExitCode::FileError, "не удалось записать в stdout: " + writeErrorText(error));
}

} // namespace telvar5::cli
