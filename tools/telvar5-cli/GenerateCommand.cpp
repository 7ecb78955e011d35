#include "GenerateCommand.h"

#include <cstdio>
#include <memory>
#include <set>

#include "CliError.h"
#include "CliSession.h"
#include "FileChecks.h"
#include "core/stimulus/GeneratorFile.h"
#include "core/stimulus/MillisecondsText.h"
#include "formats/Cp1251.h"
#include "formats/ReplaceFile.h"

namespace telvar5::cli {

namespace {

// The core's sentences end in a full stop; the CLI's lines do not.
std::string clause(std::string text)
{
    if (!text.empty() && text.back() == '.')
        text.pop_back();
    return text;
}

template <typename Numbers>
std::string listed(const Numbers& numbers, const char* format)
{
    std::string text;
    for (const auto n : numbers) {
        char item[16];
        std::snprintf(item, sizeof item, format, static_cast<unsigned>(n));
        text += (text.empty() ? "" : ", ") + std::string(item);
    }
    return text;
}

// "метка 203 (ALT): интервал 50 мс, получен 48.96 мс": a timed row's
// interval and the one the start laid out, as the generator window shows them.
std::string intervalLine(const GeneratorRow& row, double achievedMs)
{
    char label[8];
    std::snprintf(label, sizeof label, "%03o", static_cast<unsigned>(row.label));
    return "метка " + std::string(label) + " (" + utf8FromCp1251(row.tag) + "): интервал " +
           millisecondsText(row.intervalMs) + " мс, получен " + millisecondsText(achievedMs) + " мс";
}

// Values the format could not carry as they were, and the labels they fell on.
struct OffValues {
    std::uint64_t count = 0;
    std::set<std::uint8_t> labels;

    void add(std::uint8_t label)
    {
        ++count;
        labels.insert(label);
    }
    std::string text(const char* what) const
    {
        return count == 0 ? std::string()
                          : "; " + std::string(what) + ": " + std::to_string(count) + ", метки " + listed(labels, "%03o");
    }
};

// The generator as the session keeps it: follows each tick for what changed,
// what was clamped and what was not a number, and at the stop says so.
class GeneratorWatch {
public:
    GeneratorWatch(CliSession& session, ParameterGenerator& generator, int channel)
        : session_(session), generator_(generator), channel_(channel)
    {
        for (const GeneratorRowState& state : generator_.rowStates())
            words_.push_back(state.word);
        follow(); // the values at time 0 are already in the array
    }

    void afterTick()
    {
        if (!stopped_ && generator_.running())
            follow();
    }

    // Says what the generator did; false when the module did not take the stop.
    bool stop()
    {
        if (stopped_)
            return true;
        stopped_ = true;
        const std::uint64_t mark = session_.failureMark();
        if (generator_.running())
            generator_.stop();
        const bool answered = session_.failureMark() == mark;
        session_.note("generate: выходной канал " + std::to_string(channel_) +
                      (answered ? ": генератор остановлен" : ": модуль не принял остановку генератора") +
                      "; выдано изменений слов: " + std::to_string(changes_) +
                      clamped_.text("значений вне диапазона формата (выданы предельные)") +
                      notANumber_.text("значений не число (NaN, выдан ноль)"));
        return answered;
    }

private:
    void follow()
    {
        const auto states = generator_.rowStates();
        const auto& rows = generator_.rows();
        for (std::size_t i = 0; i < states.size() && i < words_.size(); ++i) {
            if (states[i].word != words_[i]) {
                words_[i] = states[i].word;
                ++changes_;
            }
            if (states[i].fit == ValueFit::ClampedHigh || states[i].fit == ValueFit::ClampedLow)
                clamped_.add(rows[i].label);
            else if (states[i].fit == ValueFit::NotANumber)
                notANumber_.add(rows[i].label);
        }
    }

    CliSession& session_;
    ParameterGenerator& generator_;
    int channel_;
    std::vector<std::uint32_t> words_; // each row's word as last sent
    std::uint64_t changes_ = 0;
    OffValues clamped_;
    OffValues notANumber_;
    bool stopped_ = false;
};

} // namespace

GenerateCommand::GenerateCommand(const OptionValues& options)
    : channel_(options.channel()),
      file_(options.requiredPath("file")),
      durationUs_(options.secondsUs("seconds")),
      periodMs_(options.periodMs()),
      formatsFile_(options.optionalPath("formats"))
{
    if (options.has("period") && !durationUs_)
        options.fail("--period указывается только с --seconds (без него генератор идет тиками следующих команд)");
    if (!durationUs_ && options.lastCommand())
        options.fail("нужен --seconds или следующая команда: без --seconds генератор работает, пока выполняются "
                     "следующие команды");

    // Only this channel's rows are laid out: only its number of rows is limited.
    std::bitset<kChannels> laidOut;
    laidOut.set(static_cast<std::size_t>(channel_ - 1));
    const GeneratorFileContents contents = readGeneratorFile(pathFromUtf8(file_), laidOut);
    if (!contents.problem.empty())
        throw CliError(ExitCode::FileError, "generate: " + file_ + ": " + clause(contents.problem));
    // Every bad line, each on a line of its own.
    if (!contents.badLines.empty())
        throw CliError(ExitCode::FileError, "generate: в файле генератора " + file_ + " строки с ошибками: " +
                                                std::to_string(contents.badLines.size()) + "\n  " +
                                                badLinesText(contents.badLines, "\n  ", contents.badLines.size()));
    std::set<int> others;
    std::size_t otherRows = 0;
    for (std::size_t i = 0; i < contents.rows.size(); ++i) {
        const GeneratorRow& row = contents.rows[i];
        if (row.channel == channel_) {
            rows_.push_back(row);
            rowLines_.push_back(contents.rowLines[i]);
        } else {
            others.insert(row.channel);
            ++otherRows;
        }
    }
    if (rows_.empty())
        options.fail("в файле генератора " + file_ + " нет строк выходного канала " + std::to_string(channel_) +
                     (others.empty() ? std::string() : " (есть строки каналов " + listed(others, "%u") + ")"));
    if (otherRows > 0)
        leftOut_ = "generate: строки других каналов файла " + file_ + " не выдаются: " + std::to_string(otherRows) +
                   " (каналы " + listed(others, "%u") + ")";
}

void GenerateCommand::checkFiles(FilePlan&)
{
    if (formatsFile_)
        requireParamFormats("generate", *formatsFile_);
}

void GenerateCommand::run(CliSession& session)
{
    session.ensureInitialised("generate");
    session.requireOutput(channel_, "generate");
    if (formatsFile_)
        session.loadParamFormats(*formatsFile_, "generate");
    if (!leftOut_.empty())
        session.note(leftOut_);
    ParameterGenerator& generator = session.monitor().stimuli().generator();
    if (generator.running())
        throw CliError(ExitCode::BadArgument, "generate: генератор уже работает по предыдущей команде generate; "
                                              "в одном вызове генератор запускается один раз, пока он не остановлен");
    // A refusal names the row by its line in the file, as the bad lines are named.
    generator.setRows(rows_, rowLines_);
    const std::uint64_t mark = session.failureMark();
    const std::string reason = generator.start(session.nowUs());
    session.expectAnswered(mark, "generate");
    if (!reason.empty())
        throw CliError(ExitCode::BadArgument, "generate: " + file_ + ": " + clause(reason));
    const auto states = generator.rowStates();
    for (std::size_t i = 0; i < rows_.size() && i < states.size(); ++i)
        if (rows_[i].intervalMs > 0.0)
            session.note("generate: " + intervalLine(rows_[i], states[i].intervalMs));

    const auto watch = std::make_shared<GeneratorWatch>(session, generator, channel_);
    // At the session's end a stop the module refused fails the run there.
    session.keepStimulus({[watch] { watch->afterTick(); }, [watch] { watch->stop(); }});
    if (!durationUs_) {
        session.note("generate: выходной канал " + std::to_string(channel_) + ": генератор, меток: " +
                     std::to_string(rows_.size()) + ", до конца команд");
        return;
    }
    TickBudget budget;
    budget.durationUs = *durationUs_;
    session.runTicks(periodMs_, budget, [] {}, "generate");
    const std::uint64_t stopMark = session.failureMark();
    if (!watch->stop())
        session.expectAnswered(stopMark, "generate");
}

} // namespace telvar5::cli
