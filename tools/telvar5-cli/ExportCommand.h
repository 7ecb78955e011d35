#pragma once
// `export --capture FILE --csv OUT [--formats FILE.si] [--excel]`: the capture
// file as CSV through the formats in force, the file the window's "Экспорт CSV"
// (or "Экспорт CSV для Excel") writes; `--csv -` writes it to stdout. Ctrl+C
// stops it and leaves no file under OUT's name (an existing one as it was).
#include <optional>
#include <string>

#include "Command.h"
#include "core/analysis/CaptureCsv.h"
#include "OptionValues.h"

namespace telvar5::cli {

class ExportCommand final : public Command {
public:
    explicit ExportCommand(const OptionValues& options);
    void checkFiles(FilePlan& plan) override;
    void run(CliSession& session) override;

private:
    std::string capture_;
    std::string csv_;
    std::optional<std::string> formatsFile_;
    CsvDialect dialect_;
};

} // namespace telvar5::cli
