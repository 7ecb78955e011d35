#include "ExportCommand.h"

#include "CliError.h"
#include "CliSession.h"
#include "FileChecks.h"
#include "StdoutFailure.h"
#include "core/analysis/CaptureCsv.h"
#include "formats/ReplaceFile.h"

namespace telvar5::cli {

ExportCommand::ExportCommand(const OptionValues& options)
    : capture_(options.requiredPath("capture")),
      csv_(options.requiredPath("csv")),
      formatsFile_(options.optionalPath("formats")),
      dialect_(options.has("excel") ? CsvDialect::Excel : CsvDialect::Plain)
{
}

void ExportCommand::checkFiles(FilePlan& plan)
{
    if (formatsFile_)
        requireParamFormats("export", *formatsFile_);
    // A capture an earlier `record` of the invocation writes is read when this command runs.
    if (!plan.writtenEarlier(capture_))
        requireCapture("export", capture_);
    if (csv_ != "-") {
        requireReplaceable("export", "таблицу", csv_, "; таблицу в stdout выводит --csv -");
        plan.willWrite(csv_);
    }
}

void ExportCommand::run(CliSession& session)
{
    if (formatsFile_)
        session.loadParamFormats(*formatsFile_, "export");
    session.warnWithoutDecimalFormats("export");
    const auto interrupted = [&session] { return session.interrupted(); };
    const bool toStdout = csv_ == "-";
    const CsvExportResult result =
        toStdout ? exportCaptureCsv(pathFromUtf8(capture_), session.out(), session.run().formats, dialect_, interrupted,
                                    session.utcOffset())
                 : exportCaptureCsv(pathFromUtf8(capture_), pathFromUtf8(csv_), session.run().formats, dialect_,
                                    interrupted, session.utcOffset());
    const std::string target = toStdout ? std::string("stdout") : csv_;
    if (result.interrupted)
        throw CliError(ExitCode::Interrupted, toStdout ? "export: прервано: таблица в stdout не дописана"
                                                       : "export: прервано: таблица " + csv_ + " не записана");
    if (toStdout && !result.written && session.out().fail())
        throw stdoutFailure(result.streamError);
    if (!result.written)
        throw CliError(ExitCode::FileError, "export: таблица не записана: " + result.problem);
    // A damaged capture still gives its whole entries; the run fails all the same.
    if (!result.problem.empty())
        throw CliError(ExitCode::FileError, "export: " + result.problem + " В таблицу " + target +
                                                " выписано целых записей: " + std::to_string(result.entries));
    session.note("export: в таблицу " + target + " выписано записей: " + std::to_string(result.entries));
}

} // namespace telvar5::cli
