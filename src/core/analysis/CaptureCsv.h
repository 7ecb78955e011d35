#pragma once
// "Экспорт CSV": a capture file as text for a spreadsheet, one line per entry:
//   time_us,tick,channel,cell,label,word,ssm,value,units,wall_time
// UTF-8 without BOM, "\n" line ends. The label is octal, the word hex; value
// and units come from the decimal formats in force for the entry's channel
// and are empty when its label has none. wall_time is the header's start time
// plus time_us, as ISO 8601 local time to the millisecond with its offset
// (the zone is passed in); it comes last so that scripts reading the older
// columns by position keep working.
//
// For Excel with Russian regional settings, which opens the plain form as one
// column: a UTF-8 byte-order mark, ";" between fields and "," in the values.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <ostream>
#include <string>

#include "core/analysis/LocalTimeText.h"
#include "core/analysis/WordLogRows.h"
#include "formats/FormatTables.h"

namespace telvar5 {

enum class CsvDialect : std::uint8_t { Plain, Excel };

struct CsvExportResult {
    bool written = false;     // the CSV file is complete
    std::uint64_t entries = 0; // lines below the header
    std::string problem;       // for the user (Russian): why nothing was written, or the capture's damage
    bool interrupted = false;  // stopped on request: nothing written
    int streamError = 0;       // a failed write to a stream: the system's error number (errno) it left
};

// A damaged capture exports its complete entries, with the reader's message in
// `problem`. The CSV replaces an existing file only once it is whole; a target
// that is not a regular file is refused before the capture is read (see
// ReplacingFile). `interrupted`, when given, is asked before each piece of the
// table is written: once it says so the export stops and leaves nothing under
// the CSV's name, an existing file as it was.
CsvExportResult exportCaptureCsv(const std::filesystem::path& capture, const std::filesystem::path& csv,
                                 const FormatTables& formats, CsvDialect dialect = CsvDialect::Plain,
                                 const std::function<bool()>& interrupted = {},
                                 const UtcOffsetOf& zone = systemUtcOffset);
// The same table into a stream (standard output), piece by piece: a failed
// write ends it, and what reached the stream stays there.
CsvExportResult exportCaptureCsv(const std::filesystem::path& capture, std::ostream& csv, const FormatTables& formats,
                                 CsvDialect dialect = CsvDialect::Plain, const std::function<bool()>& interrupted = {},
                                 const UtcOffsetOf& zone = systemUtcOffset);

// The rows of the sequential log (as far as it had them at the call, through
// its filter) as the same table, wall_time counted from rows.startUnixUs(),
// into a file under the same rules. A row that cannot be read (a recording
// that shrank meanwhile) ends the export with a problem and no file.
CsvExportResult exportWordLogCsv(WordLogRows& rows, const std::filesystem::path& csv, const FormatTables& formats,
                                 CsvDialect dialect = CsvDialect::Plain, const std::function<bool()>& interrupted = {},
                                 const UtcOffsetOf& zone = systemUtcOffset);

} // namespace telvar5
