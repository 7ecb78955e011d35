#include "ExportCommand.h"

#include "CliError.h"
#include "CliSession.h"
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

void ExportCommand::run(CliSession& session)
{
    if (formatsFile_)
        session.loadParamFormats(*formatsFile_, "export");
    const CsvExportResult result =
        exportCaptureCsv(pathFromUtf8(capture_), pathFromUtf8(csv_), session.run().formats, dialect_);
    if (!result.written)
        throw CliError(ExitCode::FileError, "export: таблица не записана: " + result.problem);
    // A damaged capture still gives its whole entries; the run fails all the same.
    if (!result.problem.empty())
        throw CliError(ExitCode::FileError, "export: " + result.problem + " В таблицу " + csv_ +
                                                " выписано целых записей: " + std::to_string(result.entries));
    session.note("export: в таблицу " + csv_ + " выписано записей: " + std::to_string(result.entries));
}

} // namespace telvar5::cli
