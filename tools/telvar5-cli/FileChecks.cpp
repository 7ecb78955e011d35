#include "FileChecks.h"

#include <fstream>
#include <memory>

#include "CliError.h"
#include "core/analysis/CaptureReader.h"
#include "formats/InputFile.h"
#include "formats/ParamFormatsFile.h"
#include "formats/ReplaceFile.h"
#include "formats/ReplacingFile.h"

namespace telvar5::cli {

namespace {

[[noreturn]] void fileError(std::string_view command, const std::string& text)
{
    throw CliError(ExitCode::FileError, std::string(command) + ": " + text);
}

// The core's sentences end in a full stop; the CLI's lines do not.
std::string clause(std::string text)
{
    if (!text.empty() && text.back() == '.')
        text.pop_back();
    return text;
}

} // namespace

void requireReadable(std::string_view command, std::string_view what, const std::string& path)
{
    std::ifstream in;
    if (const InputProblem problem = openInputFile(in, pathFromUtf8(path)); problem != InputProblem::None)
        fileError(command, "не удалось открыть " + std::string(what) + " " + path + ": " + inputProblemText(problem));
}

void requireParamFormats(std::string_view command, const std::string& path)
{
    requireReadable(command, "файл форматов параметров", path);
    const auto scratch = std::make_unique<FormatTables>();
    if (!loadParamFormats(*scratch, pathFromUtf8(path)))
        fileError(command, "не удалось прочитать файл форматов параметров " + path);
}

void requireCapture(std::string_view command, const std::string& path)
{
    requireReadable(command, "файл записи", path);
    CaptureReader reader;
    if (!reader.open(pathFromUtf8(path)))
        fileError(command, path + ": " + clause(reader.problem()));
}

void requireReplaceable(std::string_view command, std::string_view what, const std::string& path, std::string_view hint)
{
    if (const WriteProblem refusal = replacementRefusal(pathFromUtf8(path)); refusal != WriteProblem::None)
        fileError(command, "нельзя записать " + std::string(what) + " в " + path + ": " + writeProblemText(refusal) +
                               std::string(hint));
}

} // namespace telvar5::cli
