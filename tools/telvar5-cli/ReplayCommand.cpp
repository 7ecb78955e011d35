#include "ReplayCommand.h"

#include <algorithm>
#include <memory>

#include "CliError.h"
#include "CliSession.h"
#include "SecondsText.h"
#include "formats/ReplaceFile.h"

namespace telvar5::cli {

namespace {

// The speeds the replay takes, as its window offers them.
constexpr double kMinSpeed = 0.01;
constexpr double kMaxSpeed = 100.0;
constexpr double kLongestUs = 1e12;
// A recording paused for longer, or a damaged time, is not waited out.
constexpr std::int64_t kDefaultLongestGapUs = 600'000'000;

std::string clause(std::string text)
{
    if (!text.empty() && text.back() == '.')
        text.pop_back();
    return text;
}

int requiredChannel(const OptionValues& options, std::string_view name)
{
    const auto value = options.integer(name, 1, kChannels);
    if (!value)
        options.fail("не указан параметр --" + std::string(name));
    return static_cast<int>(*value);
}

// The replay as the session keeps it: at the stop it says how far it went.
class ReplayWatch {
public:
    ReplayWatch(CliSession& session, CaptureReplay& replay, int channel)
        : session_(session), replay_(replay), channel_(channel)
    {
    }

    // Says how far it went; false when the module did not take the stop.
    bool stop()
    {
        if (stopped_)
            return true;
        stopped_ = true;
        const ReplayProgress progress = replay_.progress();
        const std::uint64_t mark = session_.failureMark();
        replay_.stop();
        const bool answered = session_.failureMark() == mark;
        session_.note("replay: выходной канал " + std::to_string(channel_) +
                      (answered ? ": воспроизведение остановлено" : ": модуль не принял остановку воспроизведения") +
                      "; применено записей: " + std::to_string(progress.entriesApplied) +
                      ", выдано изменений слов: " + std::to_string(progress.wordsSent) +
                      ", пройдено кругов: " + std::to_string(progress.lap) +
                      (progress.finished ? ", запись проиграна до конца" : ""));
        return answered;
    }

private:
    CliSession& session_;
    CaptureReplay& replay_;
    int channel_;
    bool stopped_ = false;
};

} // namespace

ReplayCommand::ReplayCommand(const OptionValues& options)
    : capture_(options.requiredPath("capture")),
      fromChannel_(requiredChannel(options, "from-channel")),
      channel_(options.channel()),
      speed_(options.decimal("speed", kMinSpeed, kMaxSpeed).value_or(1.0)),
      loop_(options.has("loop")),
      longestGapUs_(options.secondsUs("max-gap").value_or(kDefaultLongestGapUs)),
      durationUs_(options.secondsUs("seconds")),
      periodMs_(options.periodMs()),
      last_(options.lastCommand())
{
    if (loop_ && !durationUs_ && last_)
        options.fail("с --loop нужен --seconds или следующая команда: по кругу воспроизведение не кончается");
    if (options.has("period") && !durationUs_ && !last_)
        options.fail("--period указывается с --seconds или у последней команды (иначе воспроизведение идет тиками "
                     "следующих команд)");
}

void ReplayCommand::checkFiles(FilePlan& plan)
{
    // A capture an earlier `record` of the invocation writes is judged when this command runs.
    if (!plan.writtenEarlier(capture_)) {
        captureNote_ = checkCapture();
        checked_ = true;
    }
}

std::string ReplayCommand::checkCapture() const
{
    std::string problem;
    const auto channels = CaptureReplay::channelsIn(pathFromUtf8(capture_), problem);
    if (channels.none())
        throw CliError(ExitCode::FileError, "replay: " + capture_ + ": " + clause(problem));
    if (!channels.test(static_cast<std::size_t>(fromChannel_ - 1))) {
        std::string present;
        for (std::size_t k = 0; k < channels.size(); ++k)
            if (channels.test(k))
                present += (present.empty() ? "" : ", ") + std::to_string(k + 1);
        throw CliError(ExitCode::BadArgument, "replay: в записи " + capture_ + " нет слов входного канала " +
                                                  std::to_string(fromChannel_) + " (есть каналы " + present + ")");
    }
    // A capture cut inside its last entry still plays its whole entries.
    return problem.empty() ? std::string() : "replay: " + capture_ + ": " + clause(problem);
}

void ReplayCommand::run(CliSession& session)
{
    if (!checked_)
        captureNote_ = checkCapture();
    session.ensureInitialised("replay");
    session.requireOutput(channel_, "replay");
    if (!captureNote_.empty())
        session.note(captureNote_);
    CaptureReplay& replay = session.monitor().stimuli().replay();
    if (replay.running())
        throw CliError(ExitCode::BadArgument, "replay: воспроизведение уже идет по предыдущей команде replay; в одном "
                                              "вызове одно воспроизведение за раз");
    ReplaySettings settings;
    settings.capture = pathFromUtf8(capture_);
    settings.fromChannel = fromChannel_;
    settings.toChannel = channel_;
    settings.speed = speed_;
    settings.loop = loop_;
    settings.longestGapUs = longestGapUs_;
    const std::uint64_t mark = session.failureMark();
    const std::string reason = replay.start(settings, session.nowUs());
    session.expectAnswered(mark, "replay");
    if (!reason.empty())
        throw CliError(ExitCode::BadArgument, "replay: " + clause(reason));

    const auto watch = std::make_shared<ReplayWatch>(session, replay, channel_);
    session.keepStimulus({[] {}, [watch] { watch->stop(); }});
    const ReplayProgress& progress = replay.progress();
    if (progress.gapsCut > 0)
        session.note("replay: " + capture_ + ": время входного канала " + std::to_string(fromChannel_) +
                     " скачет вперед больше чем на " + secondsText(static_cast<double>(longestGapUs_)) +
                     "; промежутков сокращено до периода записи: " + std::to_string(progress.gapsCut) + ", на " +
                     secondsText(static_cast<double>(progress.cutUs)));
    const std::string started = "replay: выходной канал " + std::to_string(channel_) + ": запись " + capture_ +
                                ", входной канал " + std::to_string(fromChannel_) +
                                ", меток: " + std::to_string(replay.labels().size());
    TickBudget budget;
    if (durationUs_) {
        budget.durationUs = *durationUs_;
        session.runTicks(periodMs_, budget, [] {}, "replay");
    } else if (last_) {
        // Once through: the recorded length at this speed, and a period for the last change to go out.
        // A damaged file's times may reach any length: never beyond what --seconds could ask for.
        const double lengthUs = std::min(static_cast<double>(progress.lengthUs) / speed_, kLongestUs);
        session.note(started + ", до конца записи: " + secondsText(lengthUs));
        budget.durationUs = static_cast<std::int64_t>(lengthUs) + std::int64_t{periodMs_} * 2000;
        session.runTicks(periodMs_, budget, [] {}, "replay",
                         [&replay] { return !replay.running() || replay.progress().finished; });
        // The last changes went to the module with the last tick: a period on the bus before the stop.
        session.sleepUntil(session.nowUs() + std::int64_t{periodMs_} * 1000);
    } else {
        session.note(started + ", до конца команд");
        return;
    }
    const std::uint64_t stopMark = session.failureMark();
    if (!watch->stop())
        session.expectAnswered(stopMark, "replay");
}

} // namespace telvar5::cli
