// generate and replay on the virtual module, chained with receive: their bad
// arguments and files, the generator's values heard back through the
// loopback, a capture replayed word for word, and every output they drove
// stopped at the end with only the requests the window itself sends.
#include <cstdio>
#include <map>
#include <set>

#include "CliRunFixture.h"
#include "protocol/Requests.h"

using namespace telvar5;
using namespace telvar5::clitest;

namespace {

// The fixture's ALT format: bits 28..9, bit 28 weighing 65536.
constexpr double kAltLsb = 65536.0 / (1 << 19);

constexpr const char* kGenerator = "TELVAR5-GEN 1\n"
                                   "1 203 \"ALT\" 3 const 1234.5\n"
                                   "1 001 \"ALT\" 3 ramp 0 1000 10 hold\n"
                                   "2 203 \"ALT\" 3 const 5\n";

struct Recorded {
    std::int64_t timeUs;
    std::uint8_t channel;
    std::uint32_t word;
};
// Input 1 carries labels 001 and 203; input 2's word must never be replayed from input 1.
constexpr Recorded kCapture[] = {
    {0, 1, 0x60000001},       {0, 1, 0x60001083},       {10'000, 2, 0x60777702}, {100'000, 1, 0x60010001},
    {200'000, 1, 0x60020001}, {250'000, 1, 0x60002083}, {300'000, 1, 0x60030001},
};

void writeText(const char* name, const std::string& text) { std::ofstream(name, std::ios::binary) << text; }

void writeCapture(const char* name, std::span<const Recorded> recorded = kCapture)
{
    CaptureHeader header;
    header.serialNo = 1021;
    header.refreshPeriodMs = 100;
    std::ofstream out(name, std::ios::binary);
    const CaptureHeaderBytes head = encodeCaptureHeader(header);
    out.write(reinterpret_cast<const char*>(head.data()), static_cast<std::streamsize>(head.size()));
    for (const Recorded& r : recorded) {
        const CaptureEntry entry{r.timeUs, static_cast<std::uint32_t>(r.timeUs / 100'000 + 1), r.word, r.channel,
                                 static_cast<std::uint8_t>(r.word & 0xFF)};
        const CaptureEntryBytes bytes = encodeCaptureEntry(entry);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
}

// receive --format csv: time_us,tick,channel,cell,label,word,ssm,value,units,binary,wall_time
std::vector<std::vector<std::string>> csvRows(const std::string& text)
{
    std::vector<std::vector<std::string>> rows;
    std::istringstream lines(text);
    std::string line;
    std::getline(lines, line); // the header
    while (std::getline(lines, line)) {
        std::vector<std::string> fields;
        std::istringstream cells(line);
        for (std::string field; std::getline(cells, field, ',');)
            fields.push_back(field);
        rows.push_back(fields);
    }
    return rows;
}

// Each label's words in the order they came, a repeat of the same word counted once.
std::map<std::uint8_t, std::vector<std::uint32_t>> changesPerLabel(const std::vector<std::uint32_t>& words)
{
    std::map<std::uint8_t, std::vector<std::uint32_t>> changes;
    for (const std::uint32_t w : words) {
        auto& list = changes[static_cast<std::uint8_t>(w & 0xFF)];
        if (list.empty() || list.back() != w)
            list.push_back(w);
    }
    return changes;
}

class CliStimulus : public CliRun {
protected:
    void SetUp() override
    {
        CliRun::SetUp();
        writeText("g.gen", kGenerator);
        writeCapture("c.tlvcap");
    }

    // What output `channel` of module 1021 put on its bus, and whether it still transmits.
    std::vector<std::uint32_t> wordsOnBus(int channel, bool& transmitting)
    {
        std::vector<vdrv::SentWord> sent;
        vdrv::TransmitterSnapshot state;
        std::string error;
        EXPECT_TRUE(driver->sentWords(0, channel, vdrv::kSentRecordSize, sent, state, error)) << error;
        transmitting = state.state != vdrv::Transmitter::State::Idle;
        std::vector<std::uint32_t> words;
        for (const vdrv::SentWord& w : sent)
            words.push_back(w.word);
        return words;
    }

    // The output requests of the run: only a cyclic start, word updates on
    // `channel`, state questions and stops; returns the word updates.
    std::size_t checkOutputRequests(int channel)
    {
        std::size_t updates = 0;
        for (const vdrv::LogEntry& e : driver->requestLog()) {
            const RequestInfo* info = findRequest(e.code);
            EXPECT_NE(info, nullptr) << e.code;
            if (!info || !info->name.starts_with("ReqSO"))
                continue;
            EXPECT_TRUE(e.code == ReqSOciclePusk || e.code == ReqSOwordUpdate || e.code == ReqSOstate ||
                        e.code == ReqSOstopChannel)
                << info->name;
            if (e.code == ReqSOwordUpdate) {
                ++updates;
                EXPECT_EQ(e.in[0] | e.in[1] << 8, channel);
            }
        }
        return updates;
    }
};

TEST_F(CliStimulus, BadOptionsAndFilesAreRefusedWithTheirExitCodes)
{
    writeText("bad.gen", "TELVAR5-GEN 1\n1 203 \"ALT\" 3 const 1\n1 204 ALT 3 const 1\n# ok\n9 203 \"ALT\" 3 const 1\n");
    writeText("notag.gen", "TELVAR5-GEN 1\n2 203 \"ALT\" 3 const 1\n\n1 203 \"NOPE\" 3 const 1\n");
    writeCapture("wiped.tlvcap");
    std::fstream("wiped.tlvcap", std::ios::binary | std::ios::in | std::ios::out).seekp(12).write("\xFF\xFF", 2);
    const std::vector<std::string> replay = {"replay", "--capture", "c.tlvcap", "--from-channel", "1", "--channel", "2"};
    const auto replayWith = [&replay](std::vector<std::string> tail) {
        tail.insert(tail.begin(), replay.begin(), replay.end());
        return tail;
    };
    const struct {
        std::vector<std::string> args;
        int code;
        const char* message;
        bool beforeModule; // found before the first request to the module
    } cases[] = {
        {{"generate", "--file", "g.gen"}, 2, "generate: не указан параметр --channel", true},
        {{"generate", "--channel", "1", "--file", "g.gen"}, 2, "нужен --seconds или следующая команда", true},
        {{"generate", "--channel", "1", "--file", "g.gen", "--period", "100", "modules"}, 2,
         "--period указывается только с --seconds", true},
        {{"generate", "--channel", "1", "--file", "missing.gen", "--seconds", "1"}, 4,
         "generate: missing.gen: Не удалось открыть файл генератора", true},
        {{"generate", "--channel", "1", "--file", "bad.gen", "--seconds", "1"}, 4,
         "generate: в файле генератора bad.gen строки с ошибками: 2\n  строка 3: имя формата не в кавычках\n"
         "  строка 5: канал «9» — не номер от 1 до 8\n",
         true},
        {{"generate", "--channel", "3", "--file", "g.gen", "--seconds", "1"}, 2,
         "нет строк выходного канала 3 (есть строки каналов 1, 2)", true},
        {{"generate", "--channel", "1", "--file", "notag.gen", "--seconds", "1"}, 2,
         "generate: notag.gen: Строка 4: нет десятичного формата «NOPE»", false}, // its line in the file
        {{"generate", "--channel", "1", "--file", "g.gen", "send", "--channel", "1", "--file", "a.so"}, 2,
         "send: выходной канал 1 занят: его ведет генератор", false},
        {{"generate", "--channel", "1", "--file", "g.gen", "generate", "--channel", "1", "--file", "g.gen",
          "--seconds", "1"},
         2, "generate: генератор уже работает", false},
        {{"replay", "--capture", "c.tlvcap", "--channel", "2"}, 2, "replay: не указан параметр --from-channel", true},
        {replayWith({"--speed", "0"}), 2, "replay: --speed ждет число от 0.01 до 100, а не '0'", true},
        {replayWith({"--speed", "fast"}), 2, "а не 'fast'", true},
        {replayWith({"--loop"}), 2, "с --loop нужен --seconds или следующая команда", true},
        {replayWith({"--period", "100", "modules"}), 2, "--period указывается с --seconds или у последней", true},
        {{"replay", "--capture", "missing.tlvcap", "--from-channel", "1", "--channel", "2"}, 4,
         "replay: missing.tlvcap: Не удалось открыть файл записи", true},
        {{"replay", "--capture", "wiped.tlvcap", "--from-channel", "1", "--channel", "2"}, 4,
         "replay: wiped.tlvcap: Заголовок файла записи поврежден: размер записи 65535 байт", true},
        {replayWith({"--max-gap", "0"}), 2, "--max-gap ждет число секунд больше 0", true},
        {{"replay", "--capture", "c.tlvcap", "--from-channel", "3", "--channel", "2"}, 2,
         "replay: в записи c.tlvcap нет слов входного канала 3 (есть каналы 1, 2)", true},
        {{"init", "--module", "2", "replay", "--capture", "c.tlvcap", "--from-channel", "1", "--channel", "6"}, 2,
         "replay: у модуля нет выходного канала 6 (выходных каналов 4)", false},
        {{"generate", "--channel", "2", "--file", "g.gen", "replay", "--capture", "c.tlvcap", "--from-channel", "1",
          "--channel", "2"},
         2, "replay: Выходной канал 2 занят генератором параметров", false},
    };
    for (const auto& c : cases) {
        std::string joined;
        for (const std::string& a : c.args)
            joined += a + " ";
        SCOPED_TRACE(joined);
        useConfig(kTwoModules);
        const Outcome o = run(c.args);
        EXPECT_EQ(o.code, c.code);
        EXPECT_EQ(o.out, "");
        EXPECT_NE(o.err.find(c.message), std::string::npos) << o.err;
        if (c.beforeModule) {
            EXPECT_TRUE(driver->requestLog().empty());
        }
        // Whatever failed, nothing is left transmitting.
        for (const int channel : {1, 2}) {
            bool transmitting = true;
            wordsOnBus(channel, transmitting);
            EXPECT_FALSE(transmitting) << channel;
        }
    }
}

TEST_F(CliStimulus, TheGeneratorsValuesComeBackThroughTheLoopback)
{
    const Outcome o = run({"init", "--in", "1=0", "--out", "1=0", "generate", "--channel", "1", "--file", "g.gen",
                           "receive", "--channel", "1", "--ticks", "10", "--period", "100", "--format", "csv",
                           "--formats", "f.si"});
    ASSERT_EQ(o.code, 0) << o.err;
    EXPECT_NE(o.err.find("telvar5-cli: generate: строки других каналов файла g.gen не выдаются: 1 (каналы 2)\n"
                         "telvar5-cli: generate: выходной канал 1: генератор, меток: 2, до конца команд\n"),
              std::string::npos)
        << o.err;
    // The ramp moves each of the ten ticks; the constant never.
    EXPECT_NE(o.err.find("telvar5-cli: generate: выходной канал 1: генератор остановлен; выдано изменений слов: 10\n"),
              std::string::npos)
        << o.err;

    std::size_t constants = 0;
    std::vector<double> ramp;
    for (const auto& row : csvRows(o.out)) {
        ASSERT_GE(row.size(), 8u);
        const double value = std::stod(row[7]);
        if (row[4] == "203") {
            ++constants;
            EXPECT_NEAR(value, 1234.5, kAltLsb);
        } else {
            ASSERT_EQ(row[4], "001");
            // 100 a second: a tick reads what the one before sent, so one period (10) late at most.
            const double dueAt = 100.0 * std::stod(row[0]) / 1e6;
            EXPECT_LE(value, dueAt + kAltLsb);
            EXPECT_GE(value, dueAt - 10.0 - kAltLsb);
            if (!ramp.empty()) {
                EXPECT_GT(value, ramp.back());
            }
            ramp.push_back(value);
        }
    }
    EXPECT_EQ(constants, 10u);
    EXPECT_EQ(ramp.size(), 10u);

    bool transmitting = true;
    wordsOnBus(1, transmitting);
    EXPECT_FALSE(transmitting) << "the end of the invocation stopped the generator's output";
    EXPECT_EQ(checkOutputRequests(1), 10u);
}

TEST_F(CliStimulus, GenerateForSecondsStopsAndSaysWhatItClampedAndWhatWasNoNumber)
{
    // The wide ramp's slope overflows: not a number at time 0, beyond the field after.
    writeText("clamp.gen", "TELVAR5-GEN 1\n1 001 \"ALT\" 3 ramp 0 1000 10 hold\n1 203 \"ALT\" 3 const 1e9\n"
                           "1 002 \"ALT\" 3 ramp -1e308 1e308 10 repeat\n");
    const Outcome o = run({"generate", "--channel", "1", "--file", "clamp.gen", "--seconds", "0.5", "--period", "100",
                           "receive", "--channel", "1", "--ticks", "3", "--period", "100", "--format", "csv"});
    ASSERT_EQ(o.code, 0) << o.err;
    // Five ticks of the ramp, and the wide ramp's first; the constant clamped
    // at the start and at each of them, the wide ramp at each of them.
    EXPECT_NE(o.err.find("telvar5-cli: generate: выходной канал 1: генератор остановлен; выдано изменений слов: 6; "
                         "значений вне диапазона формата (выданы предельные): 11, метки 002, 203; "
                         "значений не число (NaN, выдан ноль): 1, метки 002\n"),
              std::string::npos)
        << o.err;
    // Stopped before the reception: input 1 hears nothing.
    EXPECT_EQ(csvRows(o.out).size(), 0u) << o.out;
    bool transmitting = true;
    const auto changes = changesPerLabel(wordsOnBus(1, transmitting));
    EXPECT_FALSE(transmitting);
    // The largest value the field holds, sign clear, SSM 3.
    EXPECT_EQ(changes.at(0203), (std::vector<std::uint32_t>{0x6FFFFF83}));
    EXPECT_EQ(changes.at(0002), (std::vector<std::uint32_t>{0x60000002, 0x6FFFFF02}));
    EXPECT_EQ(checkOutputRequests(1), 6u);
}

// At the start each timed row says the interval it asked and the one laid
// out, in file order; a row without an interval says nothing.
TEST_F(CliStimulus, GenerateSaysTheIntervalEachTimedLabelGot)
{
    // At 12.5 kHz a word takes 2.88 ms: evenly spread, 12 ms comes out as four
    // words (11.52 ms); 23.04 ms is eight words exactly.
    writeText("timed.gen", "TELVAR5-GEN 1\n1 203 \"ALT\" 3 const 1 every 12\n1 001 \"ALT\" 3 const 2\n"
                           "1 204 \"ALT\" 3 const 3 every 23.04\n");
    const Outcome o = run({"init", "--in", "1=0", "--out", "1=0", "generate", "--channel", "1", "--file", "timed.gen",
                           "--seconds", "0.1"});
    ASSERT_EQ(o.code, 0) << o.err;
    const std::string said = "telvar5-cli: generate: метка 203 (ALT): интервал 12 мс, получен 11.52 мс\n"
                             "telvar5-cli: generate: метка 204 (ALT): интервал 23.04 мс, получен 23.04 мс\n"
                             "telvar5-cli: generate: выходной канал 1: генератор остановлен";
    EXPECT_NE(o.err.find(said), std::string::npos) << o.err;
    EXPECT_EQ(o.err.find("метка 001"), std::string::npos) << o.err;
}

// A stop the module refuses at the end of --seconds, or of a single pass, fails the run.
TEST_F(CliStimulus, AStopTheModuleRefusesFailsTheRun)
{
    const struct {
        std::vector<std::string> args;
        const char* said;
    } cases[] = {
        {{"generate", "--channel", "1", "--file", "g.gen", "--seconds", "0.3"},
         "telvar5-cli: generate: выходной канал 1: модуль не принял остановку генератора; выдано изменений слов: "},
        {{"replay", "--capture", "c.tlvcap", "--from-channel", "1", "--channel", "2"},
         "telvar5-cli: replay: выходной канал 2: модуль не принял остановку воспроизведения; применено записей: "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.front());
        useConfig(kTwoModules);
        fault("fail ReqSOstopChannel");
        const Outcome o = run(c.args);
        EXPECT_EQ(o.code, 1);
        EXPECT_NE(o.err.find(c.said), std::string::npos) << o.err;
        EXPECT_NE(o.err.find("telvar5-cli: " + c.args.front() + ": модуль не выполнил запрос ReqSOstopChannel\n"),
                  std::string::npos)
            << o.err;
    }
}

TEST_F(CliStimulus, OnlyTheGeneratedChannelsRowsAreLimitedToAnArray)
{
    std::string text = "TELVAR5-GEN 1\n2 203 \"ALT\" 3 const 5\n";
    for (int i = 0; i < 257; ++i) {
        char row[40];
        std::snprintf(row, sizeof row, "1 %o \"ALT\" 3 const 1\n", i % 256);
        text += row;
    }
    writeText("many.gen", text);
    const Outcome other = run({"generate", "--channel", "2", "--file", "many.gen", "--seconds", "0.1"});
    EXPECT_EQ(other.code, 0) << other.err;
    EXPECT_NE(other.err.find("generate: строки других каналов файла many.gen не выдаются: 257 (каналы 1)\n"),
              std::string::npos)
        << other.err;
    useConfig(kTwoModules);
    const Outcome same = run({"generate", "--channel", "1", "--file", "many.gen", "--seconds", "0.1"});
    EXPECT_EQ(same.code, 4);
    EXPECT_NE(same.err.find("строки с ошибками: 1\n  строка 259: больше 256 строк для канала 1\n"), std::string::npos)
        << same.err;
    EXPECT_TRUE(driver->requestLog().empty());
}

TEST_F(CliStimulus, AReplayedCaptureArrivesWordForWordAndStopsAtTheEnd)
{
    const std::vector<std::string> replay = {"replay", "--capture", "c.tlvcap", "--from-channel", "1", "--channel", "2"};
    const auto with = [&replay](std::vector<std::string> tail) {
        tail.insert(tail.begin(), replay.begin(), replay.end());
        return tail;
    };
    const std::string once = "применено записей: 6, выдано изменений слов: 4, пройдено кругов: 0, запись проиграна "
                             "до конца\n";
    const struct {
        std::vector<std::string> args;
        std::string said; // the end of stderr
        bool received;    // input 2 is received, and must hear the recorded changes
        bool lapped;      // the bus carried the recorded changes more than once
    } cases[] = {
        {with({"receive", "--channel", "2", "--ticks", "6", "--period", "100", "--format", "csv"}),
         "replay: выходной канал 2: запись c.tlvcap, входной канал 1, меток: 2, до конца команд\n"
         "telvar5-cli: replay: выходной канал 2: воспроизведение остановлено; " + once,
         true, false},
        {with({"--period", "100"}),
         "replay: выходной канал 2: запись c.tlvcap, входной канал 1, меток: 2, до конца записи: 0.3 с\n"
         "telvar5-cli: replay: выходной канал 2: воспроизведение остановлено; " + once,
         false, false},
        // A lap is the recorded 300 ms and the capture's period of 100 ms: two end within a
        // second, and the third has applied four entries (changes 001 twice and 203 once).
        {with({"--loop", "--seconds", "1", "--period", "100"}),
         "replay: выходной канал 2: воспроизведение остановлено; применено записей: 16, выдано изменений слов: 14, "
         "пройдено кругов: 2\n",
         false, true},
    };
    std::vector<std::uint32_t> recorded;
    for (const Recorded& r : kCapture)
        if (r.channel == 1)
            recorded.push_back(r.word);
    const auto expected = changesPerLabel(recorded);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.back());
        useConfig(kTwoModules);
        const Outcome o = run(c.args);
        ASSERT_EQ(o.code, 0) << o.err;
        EXPECT_TRUE(o.err.ends_with(c.said)) << o.err;
        bool transmitting = true;
        const auto onBus = changesPerLabel(wordsOnBus(2, transmitting));
        EXPECT_FALSE(transmitting);
        // Of the third lap the change of the last tick was stopped before it went out.
        if (c.lapped)
            EXPECT_EQ(onBus.at(0001).size(), 2 * expected.at(0001).size() + 2);
        else
            EXPECT_EQ(onBus, expected);
        if (!c.received)
            continue;
        std::vector<std::uint32_t> heard;
        for (const auto& row : csvRows(o.out))
            heard.push_back(static_cast<std::uint32_t>(std::stoul(row[5], nullptr, 16)));
        EXPECT_EQ(changesPerLabel(heard), expected);
        EXPECT_EQ(checkOutputRequests(2), 4u);
    }
}

TEST_F(CliStimulus, AJumpOfRecordedTimeIsCutShortWithANote)
{
    // A recording paused for a day between its second and third entries.
    constexpr std::int64_t kDayUs = 86'400'000'000;
    constexpr Recorded paused[] = {{0, 1, 0x60000101}, {100'000, 1, 0x60000201}, {kDayUs, 1, 0x60000301},
                                   {kDayUs + 200'000, 1, 0x60000401}};
    writeCapture("paused.tlvcap", paused);
    const std::int64_t before = clock->nowUs();
    const Outcome o = run({"replay", "--capture", "paused.tlvcap", "--from-channel", "1", "--channel", "1", "--period",
                           "100"});
    ASSERT_EQ(o.code, 0) << o.err;
    EXPECT_NE(o.err.find("telvar5-cli: replay: paused.tlvcap: время входного канала 1 скачет вперед больше чем на "
                         "600.0 с; промежутков сокращено до периода записи: 1, на 86399.8 с\n"
                         "telvar5-cli: replay: выходной канал 1: запись paused.tlvcap, входной канал 1, меток: 1, "
                         "до конца записи: 0.4 с\n"),
              std::string::npos)
        << o.err;
    EXPECT_NE(o.err.find("применено записей: 4, выдано изменений слов: 3, пройдено кругов: 0, запись проиграна до "
                         "конца\n"),
              std::string::npos)
        << o.err;
    EXPECT_LT(clock->nowUs() - before, 2'000'000) << "the day was not waited out";
}

} // namespace
