// telvar5-cli run in-process against the real virtual driver on a manual
// clock that the program's own sleeps move: exact output of every command,
// every bad-argument path with its exit code, a looped-back chain, and the
// capture and CSV files a recording gives.
#include "CliRunFixture.h"

using namespace telvar5;
using namespace telvar5::clitest;

namespace {

const std::string kImplicitInit = "telvar5-cli: %s: команды init не было: инициализирован первый модуль (TELVAR-5: "
                                  "серийный № 1021; порядковый № 0) с кодом частоты 0 на всех каналах\n";
std::string implicitInit(const std::string& command)
{
    std::string line = kImplicitInit;
    return line.replace(line.find("%s"), 2, command);
}
const std::string kCyclicStarted = "telvar5-cli: send: выходной канал 1: циклическая выдача слов: 3, до конца команд\n";

TEST_F(CliRun, EveryCommandPrintsExactlyWhatItDid)
{
    const std::vector<std::string> send = {"send", "--channel", "1", "--file", "a.so", "--cyclic"};
    const auto with = [&send](std::vector<std::string> tail) {
        tail.insert(tail.begin(), send.begin(), send.end());
        return tail;
    };
    const struct {
        std::vector<std::string> args;
        std::string out;
        std::string err;
    } cases[] = {
        {{"modules"},
         "TELVAR-5: серийный № 1021; порядковый № 0; входных каналов 8, выходных каналов 8\n"
         "TELVAR-5: серийный № 2047; порядковый № 2; входных каналов 4, выходных каналов 4\n",
         ""},
        {{"init", "--module", "2", "--in", "1=2,3=48k", "--in", "4=1", "--out", "2=100k,1=12.5k"},
         "",
         "telvar5-cli: init: инициализирован TELVAR-5: серийный № 2047; порядковый № 2; коды частот входов 1-4: "
         "2 0 1 1; выходов 1-4: 0 2 0 0\n"},
        {{"send", "--channel", "1", "--file", "a.so"},
         "",
         implicitInit("send") + "telvar5-cli: send: выходной канал 1: выдано однократно слов: 3\n"},
        {with({"receive", "--channel", "1", "--ticks", "1", "--period", "100", "--formats", "f.si"}),
         "    tick      time_us cell label   code     word ssm                   binary            value units    wall_time\n"
         "       1       100000    1   001 612345 61234501  11  11000010010001101000101     +9320.625000 м        "
         "2023-11-15T01:13:20.100+03:00\n"
         "       1       100000    2   002 200000 20000002  01   1000000000000000000000                           "
         "2023-11-15T01:13:20.100+03:00\n"
         "       1       100000  131   203 7ffff8 7FFFF883  11  11111111111111111111000        -1.000000 м        "
         "2023-11-15T01:13:20.100+03:00\n",
         implicitInit("send") + kCyclicStarted},
        {with({"receive", "--channel", "1", "--ticks", "1", "--period", "100", "--formats", "f.si", "--format",
               "jsonl"}),
         "{\"tick\":1,\"time_us\":100000,\"channel\":1,\"cell\":1,\"label\":\"001\",\"code\":\"612345\",\"word\":"
         "\"61234501\",\"ssm\":3,\"binary\":\"11000010010001101000101\",\"value\":9320.625000,\"units\":\"м\","
         "\"wall_time\":\"2023-11-15T01:13:20.100+03:00\"}\n"
         "{\"tick\":1,\"time_us\":100000,\"channel\":1,\"cell\":2,\"label\":\"002\",\"code\":\"200000\",\"word\":"
         "\"20000002\",\"ssm\":1,\"binary\":\"1000000000000000000000\",\"value\":null,\"units\":null,"
         "\"wall_time\":\"2023-11-15T01:13:20.100+03:00\"}\n"
         "{\"tick\":1,\"time_us\":100000,\"channel\":1,\"cell\":131,\"label\":\"203\",\"code\":\"7ffff8\",\"word\":"
         "\"7FFFF883\",\"ssm\":3,\"binary\":\"11111111111111111111000\",\"value\":-1.000000,\"units\":\"м\","
         "\"wall_time\":\"2023-11-15T01:13:20.100+03:00\"}\n",
         implicitInit("send") + kCyclicStarted},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[0] + " " + c.args.back());
        useConfig(kTwoModules);
        const Outcome o = run(c.args);
        EXPECT_EQ(o.code, 0);
        EXPECT_EQ(o.out, c.out);
        EXPECT_EQ(o.err, c.err);
    }
    // The single transmission was waited out: every word went on the bus before the stop.
    useConfig(kTwoModules);
    run({"send", "--channel", "1", "--file", "a.so"});
    std::vector<vdrv::SentWord> sent;
    vdrv::TransmitterSnapshot state;
    std::string error;
    ASSERT_TRUE(driver->sentWords(0, 1, 10, sent, state, error)) << error;
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[2].word, kWords[2]);
}

TEST_F(CliRun, BadArgumentsAndMissingThingsGiveTheirExitCodes)
{
    writeArray("empty.so", {});
    const struct {
        std::vector<std::string> args;
        int code;
        const char* message; // what the last line of stderr says
        bool beforeModule;   // found before the first request to the module
    } cases[] = {
        {{}, 2, "не указана команда", true},
        {{"frobnicate"}, 2, "неизвестная команда 'frobnicate'", true},
        {{"--channel", "1"}, 2, "до первой команды", true},
        {{"receive"}, 2, "receive: не указан параметр --channel", true},
        {{"receive", "--channel", "9"}, 2, "--channel ждет целое число от 1 до 8, а не '9'", true},
        {{"receive", "--channel", "1x"}, 2, "а не '1x'", true},
        {{"receive", "--channel", "1", "--seconds", "1", "--ticks", "2"}, 2, "вместе не указываются", true},
        {{"receive", "--channel", "1", "--seconds", "-1"}, 2, "а не '-1'", true},
        {{"receive", "--channel", "1", "--period", "50"}, 2, "от 100 до 10000, а не '50'", true},
        {{"receive", "--channel", "1", "--format", "xml"}, 2, "--format ждет text, csv или jsonl", true},
        {{"receive", "--channel", "1", "--mode", "both"}, 2, "--mode ждет address или file", true},
        {{"receive", "--channel", "1", "--cyclic"}, 2, "неизвестный параметр '--cyclic'", true},
        {{"receive", "--channel", "1", "--channel", "2"}, 2, "указан дважды", true},
        {{"init", "--module"}, 2, "параметру --module нужно значение", true},
        {{"init", "--in", "1=3"}, 2, "а не '1=3'", true},
        {{"init", "--out", "9=0"}, 2, "а не '9=0'", true},
        {{"init", "--in", "1=0,"}, 2, "а не ''", true},
        {{"init", "stray"}, 2, "init: лишний аргумент 'stray'", true},
        {{"send", "--channel", "1"}, 2, "send: не указан параметр --file", true},
        {{"send", "--channel", "1", "--file", "a.so", "--seconds", "2"}, 2, "только с --cyclic", true},
        {{"export", "--capture", "x.tlvcap"}, 2, "не указан параметр --csv", true},
        {{"modules", "receive", "--channel", "0"}, 2, "а не '0'", true},
        {{"modules", "--virtual-module"}, 2, "параметру --virtual-module нужно значение", true},
        {{"--virtual-module", "a.conf", "modules", "--virtual-module=b.conf"}, 2,
         "параметр --virtual-module указан дважды", true},
        {{"init", "--module", "2", "--in", "5=0"}, 2, "init: у модуля нет входного канала 5 (входных каналов 4)",
         false},
        {{"init", "--module", "2", "send", "--channel", "6", "--file", "a.so"}, 2, "нет выходного канала 6", false},
        {{"record", "--capture", "r.tlvcap", "--ticks", "1"}, 2, "ни один входной канал не принимает", false},
        {{"init", "--module", "1"}, 3, "init: модуль с порядковым № 1 не найден", false},
        // Files are judged before the module is touched, also behind a command that would.
        {{"send", "--channel", "1", "--file", "missing.so"}, 4, "не удалось открыть файл массива missing.so: файла нет",
         true},
        {{"send", "--channel", "1", "--file", "empty.so"}, 4, "в файле массива нет слов: empty.so", true},
        {{"receive", "--channel", "1", "--formats", "missing.si"}, 4, "файл форматов параметров missing.si", true},
        {{"init", "export", "--capture", "missing.tlvcap", "--csv", "o.csv"}, 4,
         "export: не удалось открыть файл записи missing.tlvcap: файла нет", true},
        {{"init", "record", "--capture", ".", "--channel", "1"}, 4,
         "record: нельзя записать файл записи в .: это имя папки", true},
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
        const std::size_t lastLine = o.err.rfind('\n', o.err.size() - 2) + 1;
        EXPECT_EQ(o.err.compare(lastLine, 13, "telvar5-cli: "), 0) << o.err;
        EXPECT_NE(o.err.find(c.message, lastLine), std::string::npos) << o.err;
        if (c.beforeModule) {
            EXPECT_TRUE(driver->requestLog().empty());
        }
    }
}

// Lines of more than 80 characters (not bytes: the help is Russian in UTF-8).
std::string linesBeyond80(const std::string& text)
{
    std::string beyond;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);)
        if (std::count_if(line.begin(), line.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }) > 80)
            beyond += line + "\n";
    return beyond;
}

TEST_F(CliRun, HelpRunsNothingAndTheBudgetCountsTicks)
{
    // A command's help wins over whatever else the line holds, right or not.
    for (const char* command : {"modules", "init", "receive", "send", "record", "export", "generate", "replay"}) {
        const Outcome o = run({"init", "--module", "7", command, "--channel", "99", "--bogus", "-h"});
        EXPECT_EQ(o.code, 0);
        EXPECT_EQ(o.out.rfind(std::string("telvar5-cli ") + command, 0), 0u) << o.out;
        EXPECT_EQ(o.err, "");
        EXPECT_EQ(linesBeyond80(o.out), "");
    }
    const Outcome general = run({"--help"});
    EXPECT_NE(general.out.find("4  файл не читается"), std::string::npos);
    EXPECT_NE(general.out.find("141  stdout закрыт"), std::string::npos);
    EXPECT_EQ(linesBeyond80(general.out), "");
    EXPECT_NE(run({"generate", "--help"}).out.find("TELVAR5-GEN 1\n    # канал метка"), std::string::npos)
        << "the row syntax";
    EXPECT_EQ(run({"receive", "--version"}).out.rfind("telvar5-cli 1.", 0), 0u);
    EXPECT_TRUE(driver->requestLog().empty());

    const struct {
        std::vector<std::string> budget;
        const char* lastTick;
    } cases[] = {{{}, "4"}, {{"--seconds", "0.25", "--period", "100"}, "2"}, {{"--ticks", "3"}, "3"},
                 {{"--seconds", "1.2", "--period", "400"}, "3"}};
    for (const auto& c : cases) {
        useConfig(kTwoModules);
        std::vector<std::string> args = {"send", "--channel", "1", "--file", "a.so", "--cyclic", "receive",
                                         "--channel", "1", "--format", "csv"};
        args.insert(args.end(), c.budget.begin(), c.budget.end());
        const Outcome o = run(args);
        const std::size_t lastLine = o.out.rfind('\n', o.out.size() - 2) + 1;
        const std::size_t tickAt = o.out.find(',', lastLine) + 1;
        EXPECT_EQ(o.out.substr(tickAt, o.out.find(',', tickAt) - tickAt), c.lastTick) << o.out;
    }
}

TEST_F(CliRun, NoModuleOrAModuleThatStopsAnsweringEndsTheRun)
{
    useConfig("");
    EXPECT_EQ(run({"modules"}).err, "telvar5-cli: modules: модули не обнаружены\n");
    EXPECT_EQ(run({"receive", "--channel", "1"}).code, 3);

    // A module there that would not open is named, and the next is taken only when asked for.
    useConfig("interface 0 fails 32\ninterface 2 serial 2047 inputs 4 outputs 4\n");
    const std::string held = "модуль с порядковым № 0 не открывается (ошибка 32)";
    const Outcome first = run({"init"});
    EXPECT_EQ(first.code, 3);
    EXPECT_NE(first.err.find("telvar5-cli: init: " + held + "; другой модуль выбирается только по init --module N"),
              std::string::npos)
        << first.err;
    EXPECT_EQ(run({"init", "--module", "0"}).err, "telvar5-cli: init: " + held + "\n");
    EXPECT_EQ(run({"init", "--module", "2"}).code, 0);
    const Outcome listed = run({"modules"});
    EXPECT_EQ(listed.code, 0);
    EXPECT_EQ(listed.err, "telvar5-cli: modules: " + held + "\n");

    useConfig(kTwoModules);
    int sleeps = 0;
    onSleep = [&] {
        if (++sleeps == 2)
            fault("vanish");
    };
    const Outcome o = run({"receive", "--channel", "1", "--ticks", "5"});
    EXPECT_EQ(o.code, 1);
    EXPECT_NE(o.err.find("telvar5-cli: receive: модуль перестал отвечать (тик 2)\n"), std::string::npos) << o.err;

    // Some of a tick's requests failing, and from a later tick on none: the
    // run goes to its end, then fails, saying when it began and how much was lost.
    const struct {
        const char* fault;
        const char* said;
    } partial[] = {
        {"fail ReqSIreadWord next 3", "telvar5-cli: receive: модуль перестал отвечать на тике 2, через 0.2 с от начала: "
                                      "не выполнено запросов 3 из "},
        {"fail ReqSIstate prob 1", "telvar5-cli: receive: модуль перестал отвечать на тике 2, через 0.2 с от начала: "
                                   "не выполнено запросов 4 из "},
    };
    for (const auto& p : partial) {
        SCOPED_TRACE(p.fault);
        useConfig(kTwoModules);
        sleeps = 0;
        onSleep = [&] {
            if (++sleeps == 2)
                fault(p.fault);
        };
        const Outcome failing = run({"send", "--channel", "1", "--file", "a.so", "--cyclic", "receive", "--channel",
                                     "1", "--ticks", "5", "--period", "100", "--format", "csv"});
        EXPECT_EQ(failing.code, 1);
        EXPECT_NE(failing.err.find(p.said), std::string::npos) << failing.err;
        EXPECT_TRUE(failing.out.ends_with(
            "\n500000,5,1,131,203,7FFFF883,3,,,11111111111111111111000,2023-11-15T01:13:20.500+03:00\n"))
            << "the run went to its end\n" << failing.out;
    }
}

TEST_F(CliRun, TheVirtualModuleOptionNamesTheDriverOfTheWholeRun)
{
    // The real factory, between what is installed here and the files named.
    openBus = [](const std::optional<std::filesystem::path>& config) { return createPlatformDeviceBus(config); };
    std::ofstream("telvar5-vdrv.conf") << "interface 3 serial 4242 inputs 2 outputs 2\n";
    std::filesystem::create_directory("bench");
    std::ofstream("bench/v.conf") << "interface 6 serial 606 inputs 2 outputs 4\nbad line\n";
    const std::string named =
        "TELVAR-5: серийный № 606; порядковый № 6; входных каналов 2, выходных каналов 4\n";
    const std::string skipped = "telvar5-cli: файл виртуального модуля bench/v.conf: пропущены строки с ошибками: 2\n";
    const struct {
        std::vector<std::string> args;
        int code;
        std::string out;
        std::string err;
    } cases[] = {
        {{"--virtual-module", "bench/v.conf", "modules"}, 0, named, skipped},
        {{"modules", "--virtual-module=bench/v.conf"}, 0, named, skipped},
        {{"init", "--virtual-module", "bench/v.conf", "--out", "4=2", "modules"}, 0, named,
         skipped + "telvar5-cli: init: инициализирован TELVAR-5: серийный № 606; порядковый № 6; коды частот "
                   "входов 1-2: 0 0; выходов 1-4: 0 0 0 2\n"},
        {{"--virtual-module", "missing.conf", "modules"}, 3, "",
         "telvar5-cli: файл виртуального модуля missing.conf не найден: модулей нет\n"
         "telvar5-cli: modules: модули не обнаружены\n"},
        {{"--virtual-module", "bench", "init"}, 3, "",
         "telvar5-cli: файл виртуального модуля bench не читается: модулей нет\n"
         "telvar5-cli: init: модули не обнаружены\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.back() + " " + c.args.front());
        const Outcome o = run(c.args);
        EXPECT_EQ(o.code, c.code);
        EXPECT_EQ(o.out, c.out);
        EXPECT_EQ(o.err, c.err);
    }
    EXPECT_TRUE(driver->requestLog().empty()) << "the test's own driver was never asked";
#ifndef _WIN32
    // Without the option, the driver installed here.
    EXPECT_EQ(run({"modules"}).out,
              "TELVAR-5: серийный № 4242; порядковый № 3; входных каналов 2, выходных каналов 2\n");
#endif
}

TEST_F(CliRun, AChainedLoopbackReceivesTheArraySent)
{
    const Outcome o = run({"init", "--in", "1=0", "--out", "1=0", "send", "--channel", "1", "--file", "a.so",
                           "--cyclic", "receive", "--channel", "1", "--ticks", "3", "--format", "csv"});
    EXPECT_EQ(o.code, 0) << o.err;
    std::string expected = "time_us,tick,channel,cell,label,word,ssm,value,units,binary,wall_time\n";
    // Reception started at the wall clock's kWallUs (22:13:20 UTC), written three hours east.
    const char* const wallTimes[] = {"01:13:20.500", "01:13:21.000", "01:13:21.500"};
    for (int tick = 1; tick <= 3; ++tick) {
        const std::string head = std::to_string(tick * 500'000) + "," + std::to_string(tick) + ",1,";
        const std::string wall = std::string(",2023-11-15T") + wallTimes[tick - 1] + "+03:00\n";
        expected += head + "1,001,61234501,3,,,11000010010001101000101" + wall;
        expected += head + "2,002,20000002,1,,,1000000000000000000000" + wall;
        expected += head + "131,203,7FFFF883,3,,,11111111111111111111000" + wall;
    }
    EXPECT_EQ(o.out, expected);
    EXPECT_EQ(o.err.find("десятичных форматов"), std::string::npos) << o.err;
    // The cyclic output ran to the end of the invocation and was stopped there.
    std::vector<vdrv::SentWord> sent;
    vdrv::TransmitterSnapshot state;
    std::string error;
    ASSERT_TRUE(driver->sentWords(0, 1, 1000, sent, state, error)) << error;
    EXPECT_GT(sent.size(), 9u);
    EXPECT_EQ(state.state, vdrv::Transmitter::State::Idle);

    // Without decimal formats the empty value columns are explained, once.
    std::filesystem::remove(kFormatSettingsFileName);
    const Outcome bare = run({"receive", "--channel", "1", "--ticks", "1", "receive", "--channel", "2", "--ticks", "1"});
    EXPECT_EQ(bare.code, 0);
    const std::string said = "telvar5-cli: receive: файл десятичных форматов TLV5frmt.stt в текущей папке не прочитан "
                             "(файла нет): значения и единицы не выводятся\n";
    EXPECT_NE(bare.err.find(said), std::string::npos) << bare.err;
    EXPECT_EQ(bare.err.find(said), bare.err.rfind(said)) << bare.err;
}

TEST_F(CliRun, RecordThenExportGiveTheWindowsFiles)
{
    const Outcome o = run({"init", "--in", "2=1", "send", "--channel", "1", "--file", "a.so", "--cyclic", "record",
                           "--capture", "r.tlvcap", "--channel", "1", "--ticks", "2", "--period", "100", "export",
                           "--capture", "r.tlvcap", "--csv", "r.csv", "--formats", "f.si"});
    EXPECT_EQ(o.code, 0) << o.err;
    EXPECT_NE(o.err.find("telvar5-cli: record: в файл r.tlvcap записано слов: 6\n"
                         "telvar5-cli: export: в таблицу r.csv выписано записей: 6\n"),
              std::string::npos)
        << o.err;

    const CaptureFileContents capture = readCaptureFile("r.tlvcap");
    EXPECT_EQ(capture.problem, "");
    CaptureHeader header;
    header.serialNo = 1021;
    header.freqCodes[1] = 1;
    header.refreshPeriodMs = 100;
    header.startUnixUs = kWallUs; // time zero is the start of reception, just now
    EXPECT_EQ(capture.header, header);

    std::ifstream csv("r.csv");
    std::stringstream text;
    text << csv.rdbuf();
    std::string expected = "time_us,tick,channel,cell,label,word,ssm,value,units,wall_time\n";
    for (int tick = 1; tick <= 2; ++tick) {
        const std::string head = std::to_string(tick * 100'000) + "," + std::to_string(tick) + ",1,";
        const std::string wall = ",2023-11-15T01:13:20." + std::to_string(tick * 100) + "+03:00\n";
        expected += head + "1,001,61234501,3,+9320.625000,м" + wall;
        expected += head + "2,002,20000002,1,," + wall;
        expected += head + "131,203,7FFFF883,3,-1.000000,м" + wall;
    }
    EXPECT_EQ(text.str(), expected);

    // A capture cut inside its last entry exports the whole ones, and the run says so.
    std::filesystem::resize_file("r.tlvcap", std::filesystem::file_size("r.tlvcap") - 7);
    const Outcome cut = run({"export", "--capture", "r.tlvcap", "--csv", "cut.csv", "--formats", "f.si"});
    EXPECT_EQ(cut.code, 4);
    EXPECT_NE(cut.err.find("выписано целых записей: 5"), std::string::npos) << cut.err;
    std::ifstream cutCsv("cut.csv");
    std::stringstream cutText;
    cutText << cutCsv.rdbuf();
    EXPECT_EQ(cutText.str(), expected.substr(0, expected.rfind("200000,2,1,131")));

    // --excel: the form a Russian Excel opens column by column.
    const Outcome excelRun = run({"export", "--capture", "r.tlvcap", "--csv", "x.csv", "--formats", "f.si", "--excel"});
    EXPECT_EQ(excelRun.code, 4) << excelRun.err;
    std::ifstream excelCsv("x.csv", std::ios::binary);
    std::string firstLine;
    std::getline(excelCsv, firstLine);
    EXPECT_EQ(firstLine, "\xEF\xBB\xBFtime_us;tick;channel;cell;label;word;ssm;value;units;wall_time");
    std::getline(excelCsv, firstLine);
    EXPECT_EQ(firstLine, "100000;1;1;1;001;61234501;3;+9320,625000;м;2023-11-15T01:13:20.100+03:00");
}

} // namespace

TEST_F(CliRun, RecordWaitsForItsStartConditionAndEndsAtItsStopCondition)
{
    const std::vector<std::string> send = {"send", "--channel", "1", "--file", "a.so", "--cyclic", "record",
                                           "--channel", "1", "--period", "100"};
    const auto with = [&send](std::vector<std::string> tail) {
        tail.insert(tail.begin(), send.begin(), send.end());
        return tail;
    };
    // Each tick loops back the words of labels 001, 002 and 203 into cells 1, 2 and 131.
    const Outcome o = run(with({"--capture", "r.tlvcap", "--ticks", "6", "--start", "arrive:1:203", "--pre", "1", "--stop", "absent:1:205:150"}));
    EXPECT_EQ(o.code, 0) << o.err;
    EXPECT_NE(o.err.find("record: пришла метка 203 канала 1 на 0.1 с: запись начата\n"
                         "telvar5-cli: record: метка 205 канала 1 не приходит дольше 150 мс на 0.3 с: запись кончена\n"
                         "telvar5-cli: record: в файл r.tlvcap записано слов: 9\n"),
              std::string::npos)
        << o.err;
    const CaptureFileContents capture = readCaptureFile("r.tlvcap");
    ASSERT_EQ(capture.entries.size(), 9u);
    // The pre-trigger brings in the words of the tick before label 203's.
    EXPECT_EQ(capture.entries.front().cell, 1);
    EXPECT_EQ(capture.entries.front().timeUs, 100'000);
    EXPECT_EQ(capture.entries.back().timeUs, 300'000);

    // A value that never crosses: no recording, no file, and the run says so.
    const Outcome never = run(with({"--ticks", "3", "--capture", "n.tlvcap", "--start", "cross:1:203:5", "--formats", "f.si"}));
    EXPECT_EQ(never.code, 5);
    EXPECT_NE(never.err.find("record: условие начала (метка 203 канала 1 пересекла 5) не наступило: файл n.tlvcap не "
                             "записан"),
              std::string::npos)
        << never.err;
    EXPECT_FALSE(std::filesystem::exists("n.tlvcap"));

    for (const auto& bad : {std::vector<std::string>{"--start", "arrive:1:208"}, {"--stop", "cross:1:203"},
                            {"--pre", "1"}, {"--start", "ssm:9:203"}}) {
        const Outcome refused = run(with({"--capture", "b.tlvcap", bad[0], bad[1]}));
        EXPECT_EQ(refused.code, 2) << bad[1];
        EXPECT_NE(refused.err.find(bad[0] == "--pre" ? "--pre" : bad[1]), std::string::npos) << refused.err;
    }
}

TEST_F(CliRun, CtrlCEndsTheRunWithWholeLinesAndStopsWhatTransmits)
{
    int sleeps = 0;
    onSleep = [&sleeps] { ++sleeps; };
    interrupted = [&sleeps] { return sleeps >= 3; };
    const Outcome o = run({"send", "--channel", "1", "--file", "a.so", "--cyclic", "receive", "--channel", "1",
                           "--seconds", "60", "--period", "100", "--format", "csv"});
    EXPECT_EQ(o.code, 130);
    EXPECT_TRUE(o.err.ends_with("telvar5-cli: прервано: выдача остановлена, модуль сброшен\n")) << o.err;
    EXPECT_EQ(sleeps, 3) << "no tick after the interrupt";
    // The header and two ticks of three words, every line whole.
    EXPECT_EQ(std::count(o.out.begin(), o.out.end(), '\n'), 7) << o.out;
    EXPECT_EQ(o.out.back(), '\n');
    // The session's end stopped output 1: a fresh run finds it silent.
    interrupted = nullptr;
    const Outcome after = run({"receive", "--channel", "1", "--ticks", "2", "--period", "100", "--format", "csv"});
    EXPECT_EQ(after.code, 0);
    EXPECT_EQ(std::count(after.out.begin(), after.out.end(), '\n'), 1) << after.out;

    // Ctrl+C during an export: no table, not even part of one, under the name asked for.
    ASSERT_EQ(run({"send", "--channel", "1", "--file", "a.so", "--cyclic", "record", "--capture", "r.tlvcap", "--channel",
                   "1", "--ticks", "2"})
                  .code,
              0);
    std::ofstream("r.csv") << "old";
    int asked = 0;
    interrupted = [&asked] { return ++asked > 1; }; // after the check before the command
    const Outcome exported = run({"export", "--capture", "r.tlvcap", "--csv", "r.csv"});
    EXPECT_EQ(exported.code, 130);
    EXPECT_EQ(exported.err, "telvar5-cli: export: прервано: таблица r.csv не записана\n");
    std::ifstream csv("r.csv");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(csv), {}), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."), std::filesystem::directory_iterator{}), 5)
        << "a.so, f.si, TLV5frmt.stt, r.tlvcap, r.csv: no temporary";
}
