#pragma once
// What the capture's commands show in the file dialogs and their reports,
// the same for "Запись", "Экспорт CSV" and "Поток слов".
#include <string>

#include "core/analysis/CaptureCsv.h"

namespace telvar5 {

inline constexpr const char* kCaptureFileFilter = "Записи приема (*.tlvcap)|*.tlvcap|*.*|*.*";
inline constexpr const char* kCsvFileFilter = "Таблицы CSV (*.csv)|*.csv|*.*|*.*";

// The command's name in its report: "Экспорт CSV" or "Экспорт CSV для Excel".
inline std::string csvExportName(CsvDialect dialect)
{
    return dialect == CsvDialect::Excel ? "Экспорт CSV для Excel" : "Экспорт CSV";
}

} // namespace telvar5
