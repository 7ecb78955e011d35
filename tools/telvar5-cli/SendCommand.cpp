#include "SendCommand.h"

#include "CliError.h"
#include "CliSession.h"
#include "FileChecks.h"
#include "core/output/OutputArrayFile.h"
#include "core/output/TransmitTime.h"
#include "formats/ReplaceFile.h"

namespace telvar5::cli {

SendCommand::SendCommand(const OptionValues& options)
    : channel_(options.channel()),
      file_(options.requiredPath("file")),
      cyclic_(options.has("cyclic")),
      durationUs_(options.secondsUs("seconds"))
{
    if (durationUs_ && !cyclic_)
        options.fail("--seconds указывается только с --cyclic");
}

void SendCommand::checkFiles(FilePlan&) { checkArray(); }

void SendCommand::checkArray() const
{
    requireReadable("send", "файл массива", file_);
    OutputWords scratch{};
    std::uint16_t size = 0;
    if (restoreOutputArray(pathFromUtf8(file_), scratch, size) == ArrayRestore::NoWords)
        throw CliError(ExitCode::FileError, "send: в файле массива нет слов: " + file_);
}

void SendCommand::loadArray(CliSession& session) const
{
    if (session.monitor().outputArrays().FileOpen1Accept(file_))
        return;
    // The window says nothing here; a bench run must say why. The file read
    // well before the module was touched, so it changed since.
    checkArray();
    throw CliError(ExitCode::FileError, "send: не удалось прочитать файл массива " + file_);
}

void SendCommand::run(CliSession& session)
{
    session.ensureInitialised("send");
    session.requireOutput(channel_, "send");
    session.requireNoStimulus(channel_, "send");
    Monitor& monitor = session.monitor();
    monitor.outputArrays().SOChange(channel_ - 1);
    loadArray(session);

    const RunState& run = session.run();
    const std::size_t ch = static_cast<std::size_t>(channel_ - 1);
    const std::uint16_t words = run.arraySize[ch];
    const std::uint64_t mark = session.failureMark();
    if (!cyclic_) {
        monitor.output().SOsinglePuskExecute();
        session.expectAnswered(mark, "send");
        const std::int64_t transmitUs = std::int64_t{outputWordTimeUs(run.freqCodes[8 + ch])} * words;
        session.sleepUntil(session.nowUs() + transmitUs);
        session.stopOutput(channel_, "send");
        session.note("send: выходной канал " + std::to_string(channel_) + ": выдано однократно слов: " +
                     std::to_string(words));
        return;
    }
    monitor.output().SOciclePuskExecute();
    session.keepCyclic(channel_);
    session.expectAnswered(mark, "send");
    if (!durationUs_) {
        session.note("send: выходной канал " + std::to_string(channel_) + ": циклическая выдача слов: " +
                     std::to_string(words) + ", до конца команд");
        return;
    }
    session.sleepUntil(session.nowUs() + *durationUs_);
    session.stopOutput(channel_, "send");
    session.note("send: выходной канал " + std::to_string(channel_) + ": циклическая выдача слов: " +
                 std::to_string(words) + ", остановлена");
}

} // namespace telvar5::cli
