// The built program in a shell, where only the process itself shows it: a
// stdout on a full disk or closed by its reader, a pipe (FIFO) named as a file,
// a recording on a full disk. Each ends with its documented exit code and the
// reason on stderr, and what is not a regular file stays as it was.
#include "CliRunFixture.h"

#if !defined(_WIN32) && defined(TELVAR5_CLI_PROGRAM)
#include <sys/stat.h>

#include <cstdlib>

#include "formats/FileKind.h"

using namespace telvar5;
using namespace telvar5::clitest;

namespace {

enum class Stdout { File, FullDisk, ClosedPipe };

std::string readText(const char* name)
{
    std::ifstream in(name, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST_F(CliRun, TheProgramsExitCodesTellWhatFailed)
{
    std::ofstream("m.conf") << "interface 0 serial 1021 inputs 8 outputs 8\n";
    std::ofstream("g.gen") << "TELVAR5-GEN 1\n2 203 \"ALT\" 3 const 100\n";
    ASSERT_EQ(::mkfifo("p", 0600), 0);
    const std::string cli = std::string(TELVAR5_CLI_PROGRAM) + " --virtual-module m.conf ";
    const std::string sendCyclic = "send --channel 1 --file a.so --cyclic ";
    // A capture of 2 ticks of the array's 3 words, for the exports.
    ASSERT_EQ(std::system((cli + sendCyclic + "record --capture r.tlvcap --channel 1 --ticks 2 --period 100 2>/dev/null")
                              .c_str()),
              0);
    const struct {
        const char* what;
        std::string before; // shell commands before the program's, in its own subshell
        std::string args;
        Stdout out;
        int code;
        const char* said; // in what stderr says
        bool moduleTouched;
    } cases[] = {
        {"receive to a full disk", "", sendCyclic + "receive --channel 1 --ticks 2 --period 100", Stdout::FullDisk, 4,
         "telvar5-cli: не удалось записать в stdout: на диске нет места\n", true},
        {"export to a full disk", "", "export --capture r.tlvcap --csv -", Stdout::FullDisk, 4,
         "не удалось записать в stdout: на диске нет места", false},
        {"help to a full disk", "", "--help", Stdout::FullDisk, 4, "на диске нет места", false},
        // The generator says what it did, and only then the run that it was stopped.
        {"a closed pipe stops and resets", "",
         sendCyclic + "generate --channel 2 --file g.gen receive --channel 1 --ticks 100 --period 100",
         Stdout::ClosedPipe, 141,
         "генератор остановлен; выдано изменений слов: 0\n"
         "telvar5-cli: stdout закрыт читающей стороной канала: выдача остановлена, модуль сброшен\n",
         true},
        {"an array that is a pipe", "", "send --channel 1 --file p", Stdout::File, 4,
         "send: не удалось открыть файл массива p: это не обычный файл", false},
        {"parameter formats that are a pipe", "", "receive --channel 1 --formats p", Stdout::File, 4,
         "receive: не удалось открыть файл форматов параметров p: это не обычный файл", false},
        {"a capture that is a pipe", "", "export --capture p --csv o.csv", Stdout::File, 4,
         "export: не удалось открыть файл записи p: это не обычный файл", false},
        {"a table into a pipe", "", "init export --capture r.tlvcap --csv p", Stdout::File, 4,
         "export: нельзя записать таблицу в p: это не обычный файл", false},
        {"a recording onto a device", "", "record --capture /dev/null --channel 1", Stdout::File, 4,
         "record: нельзя записать файл записи в /dev/null: это не обычный файл", false},
        {"a recording on a full disk", "ulimit -f 1; rm -f full.tlvcap; ",
         sendCyclic + "record --capture full.tlvcap --channel 1 --ticks 20 --period 100", Stdout::File, 4,
         "record: не удалось записать файл full.tlvcap (на диске нет места); в нем целых записей: ", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        // stderr through a pipe: a file size limit holds for the program's own files only.
        const std::string program = "(" + c.before + "exec timeout 30 " + cli + c.args + ")";
        std::string shell;
        switch (c.out) {
        case Stdout::File: shell = "{ " + program + " 2>&1 >out; echo $? >rc; } | cat >err"; break;
        case Stdout::FullDisk: shell = "{ " + program + " 2>&1 >/dev/full; echo $? >rc; } | cat >err"; break;
        case Stdout::ClosedPipe: shell = "{ " + program + " 2>err; echo $? >rc; } | head -n 1 >/dev/null"; break;
        }
        ASSERT_EQ(std::system(shell.c_str()), 0);
        EXPECT_EQ(std::atoi(readText("rc").c_str()), c.code);
        const std::string err = readText("err");
        EXPECT_NE(err.find(c.said), std::string::npos) << err;
        EXPECT_EQ(err.find("инициализирован") != std::string::npos, c.moduleTouched) << err;
    }
    EXPECT_EQ(fileKindOf("p"), FileKind::Other) << "the pipe is still a pipe";
    // The recording says what the file really holds: its whole entries.
    const std::string err = readText("err");
    const auto whole = (std::filesystem::file_size("full.tlvcap") - kCaptureHeaderSize) / kCaptureEntrySize;
    EXPECT_NE(err.find("целых записей: " + std::to_string(whole) + "\n"), std::string::npos) << err;
    EXPECT_LT(whole, 60u) << "the limit cut the recording short";
}

} // namespace

#endif
