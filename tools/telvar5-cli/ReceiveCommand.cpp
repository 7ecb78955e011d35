#include "ReceiveCommand.h"

#include <algorithm>

#include "CliSession.h"
#include "FileChecks.h"

namespace telvar5::cli {

ReceiveCommand::ReceiveCommand(const OptionValues& options)
    : channel_(options.channel()),
      mode_(options.receptionMode()),
      budget_(options.budget()),
      periodMs_(options.periodMs()),
      formatsFile_(options.optionalPath("formats"))
{
    if (options.has("format")) {
        const std::string name = options.all("format").back();
        const auto format = WordPrinter::formatNamed(name);
        if (!format)
            options.fail("--format ждет text, csv или jsonl, а не '" + name + "'");
        format_ = *format;
    }
}

void ReceiveCommand::checkFiles(FilePlan&)
{
    if (formatsFile_)
        requireParamFormats("receive", *formatsFile_);
}

void ReceiveCommand::run(CliSession& session)
{
    session.ensureInitialised("receive");
    session.requireInput(channel_, "receive");
    if (formatsFile_)
        session.loadParamFormats(*formatsFile_, "receive");
    session.warnWithoutDecimalFormats("receive");

    Monitor& monitor = session.monitor();
    const CaptureRing& ring = monitor.analysis().ring();
    std::uint64_t cursor = ring.head();
    session.startReception(channel_, mode_, "receive");
    // The words' time_us counts from the analysis clock's start, which reception started (or found running).
    const std::int64_t startUnixUs = session.wallClockUs() - monitor.analysis().sinceStartUs(session.nowUs());
    // Switching to the channel rebuilt its label formats from the formats in force.
    const WordPrinter printer(format_, session.run().labelFormatTable, startUnixUs, session.utcOffset());
    if (const std::string header = printer.header(); !header.empty())
        session.writeLine(header);

    session.runTicks(periodMs_, budget_, [&] {
        // The capture ring holds every word the tick stored, with its tick, time and cell.
        cursor = std::max(cursor, ring.oldest()); // never more than a tick behind, but never read a lost slot
        for (const std::uint64_t head = ring.head(); cursor < head; ++cursor) {
            const CaptureEntry entry = ring.at(cursor);
            if (entry.channel == channel_)
                session.writeLine(printer.line(entry));
        }
    }, "receive");
    session.stopReception(channel_, "receive");
}

} // namespace telvar5::cli
