// The one way the program creates the files it writes: a new file only, never
// one that exists, and written byte for byte; saving over a file keeps what
// the user set up around it.
#include <gtest/gtest.h>

#include <cstdio>
#include <iterator>
#include <memory>

#include "FormatTestSupport.h"
#include "formats/FileKind.h"
#include "formats/InputFile.h"
#include "formats/ReplacingFile.h"

#ifndef _WIN32
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#endif

namespace telvar5 {
namespace {

TEST(ReplacingFile, ANewFileIsCreatedOnlyWhereNoneExistsAndTakesTheBytesAsTheyAre)
{
    test::ScratchDir dir;
    const std::vector<std::uint8_t> old{'o', 'l', 'd', '\n'};
    test::writeBytes(dir / "taken", old);
    std::FILE* refused = createNewFile(dir / "taken");
    EXPECT_EQ(refused, nullptr) << "an existing file is never opened";
    if (refused)
        std::fclose(refused);
    EXPECT_EQ(test::readBytes(dir / "taken"), old) << "nor truncated";

    // Line ends and a Ctrl+Z stay as written: binary, never text mode.
    const std::vector<std::uint8_t> bytes{'a', '\n', 'b', '\r', '\n', 0x1A, 0, 0xFF};
    std::FILE* made = createNewFile(dir / "new");
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), made), bytes.size());
    EXPECT_EQ(std::fclose(made), 0);
    EXPECT_EQ(test::readBytes(dir / "new"), bytes);

    EXPECT_EQ(createNewFile(dir / "missing" / "new"), nullptr) << "no folder: no file";
    EXPECT_EQ(createNewFile(dir.path()), nullptr) << "a folder";
}

// Saving over a file that is there: what the user set up around it stays.
namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
const Bytes kOld{'o', 'l', 'd'};
const Bytes kNew{'n', 'e', 'w', '\n'};
const char* const kOthers[] = {"a.so.tmp", "a.so.tmpX", "a.so.tmp5x", "a.so.tmp7.bak", "b.so.tmp3", "xa.so.tmp2"};

std::ptrdiff_t countIn(const fs::path& folder)
{
    return std::distance(fs::directory_iterator(folder), fs::directory_iterator{});
}

struct SaveOverCase {
    const char* what;
    bool needsPosix; // modes and symbolic links: Windows makes links only with privileges
    // Makes the files; returns the path saved to. May open a save of the same target still in progress.
    fs::path (*prepare)(const test::ScratchDir&, std::unique_ptr<ReplacingFile>& live);
    bool saved;
    void (*check)(const test::ScratchDir&);
};

const SaveOverCase kSaveOverCases[] = {
    {"ModeKept", true,
     [](const test::ScratchDir& dir, std::unique_ptr<ReplacingFile>&) {
         test::writeBytes(dir / "a.so", kOld);
         fs::permissions(dir / "a.so", fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
         return dir / "a.so";
     },
     true,
     [](const test::ScratchDir& dir) {
         EXPECT_EQ(test::readBytes(dir / "a.so"), kNew);
         EXPECT_EQ(fs::status(dir / "a.so").permissions() & fs::perms::mask,
                   fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
     }},
    {"LinkChainWrittenThrough", true,
     [](const test::ScratchDir& dir, std::unique_ptr<ReplacingFile>&) {
         fs::create_directory(dir / "real");
         test::writeBytes(dir / "real" / "a.so", kOld);
         fs::create_symlink("real/a.so", dir / "first");
         fs::create_symlink(dir / "first", dir / "second");
         return dir / "second";
     },
     true,
     [](const test::ScratchDir& dir) {
         EXPECT_TRUE(fs::is_symlink(dir / "second"));
         EXPECT_TRUE(fs::is_symlink(dir / "first"));
         EXPECT_EQ(test::readBytes(dir / "real" / "a.so"), kNew);
         EXPECT_EQ(countIn(dir / "real"), 1) << "the temporary went beside the file";
     }},
    {"DanglingLinkCreatesTheFileItNames", true,
     [](const test::ScratchDir& dir, std::unique_ptr<ReplacingFile>&) {
         fs::create_symlink("made.so", dir / "link");
         return dir / "link";
     },
     true,
     [](const test::ScratchDir& dir) {
         EXPECT_TRUE(fs::is_symlink(dir / "link"));
         EXPECT_EQ(test::readBytes(dir / "made.so"), kNew);
     }},
    {"StaleTemporariesGoLiveOneAndOthersStay", false,
     [](const test::ScratchDir& dir, std::unique_ptr<ReplacingFile>& live) {
         test::writeBytes(dir / "a.so", kOld);
         live = std::make_unique<ReplacingFile>(dir / "a.so"); // the capture recorder's kind
         // Left by a crash, named as ours are.
         for (const char* stale : {"a.so.tmp1", "a.so.tmp17", "a.so.tmp0042"})
             if (dir / stale != live->writingPath())
                 test::writeBytes(dir / stale, kOld);
         for (const char* name : kOthers)
             test::writeBytes(dir / name, kOld);
         fs::create_directory(dir / "a.so.tmp9");
         return dir / "a.so";
     },
     true,
     [](const test::ScratchDir& dir) {
         EXPECT_EQ(test::readBytes(dir / "a.so"), Bytes({'l', 'i', 'v', 'e'})) << "the later commit";
         for (const char* name : kOthers)
             EXPECT_EQ(test::readBytes(dir / name), kOld) << name;
         EXPECT_TRUE(fs::is_directory(dir / "a.so.tmp9"));
         EXPECT_EQ(countIn(dir.path()), 1 + std::ssize(kOthers) + 1) << "the stale temporaries went";
     }},
    {"ReadOnlyRefusedBeforeAnythingIsWritten", false,
     [](const test::ScratchDir& dir, std::unique_ptr<ReplacingFile>&) {
         test::writeBytes(dir / "ro.so", kOld);
         fs::permissions(dir / "ro.so", fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                         fs::perm_options::remove);
         return dir / "ro.so";
     },
     false,
     [](const test::ScratchDir& dir) {
         EXPECT_EQ(test::readBytes(dir / "ro.so"), kOld);
         EXPECT_EQ(countIn(dir.path()), 1) << "no temporary left";
         fs::permissions(dir / "ro.so", fs::perms::owner_write, fs::perm_options::add); // for the clean-up
     }},
};

void PrintTo(const SaveOverCase& c, std::ostream* os)
{
    *os << c.what;
}

class SavingOverAFile : public ::testing::TestWithParam<SaveOverCase> {};

TEST_P(SavingOverAFile, KeepsWhatTheUserSetUp)
{
    const SaveOverCase& c = GetParam();
#ifdef _WIN32
    if (c.needsPosix)
        GTEST_SKIP() << "POSIX modes and symbolic links: Windows keeps only a read-only attribute, and makes links only with privileges";
#endif
    test::ScratchDir dir;
    std::unique_ptr<ReplacingFile> live;
    const fs::path target = c.prepare(dir, live);
    ReplacingFile out(target);
    EXPECT_EQ(out.ok(), c.saved);
    EXPECT_EQ(out.write(std::span<const std::uint8_t>(kNew)) && out.commit(), c.saved);
    if (live) {
        EXPECT_TRUE(live->write("live") && live->commit()) << "its temporary was kept";
    }
    c.check(dir);
}

INSTANTIATE_TEST_SUITE_P(ReplacingFile, SavingOverAFile, ::testing::ValuesIn(kSaveOverCases),
                         [](const auto& info) { return std::string(info.param.what); });

// Only a regular file is ever replaced or read. Whatever else a name leads
// to is refused before it is opened (a pipe's open would hang this test), and
// stays what it was.
struct NotAFileCase {
    const char* what;
    fs::path (*make)(const test::ScratchDir&);
    WriteProblem writeRefusal;
    InputProblem readRefusal;
};

const NotAFileCase kNotAFileCases[] = {
    {"Folder", [](const test::ScratchDir& dir) { fs::create_directory(dir / "f.csv"); return dir / "f.csv"; },
     WriteProblem::Folder, InputProblem::Folder},
#ifdef _WIN32
    {"Nul", [](const test::ScratchDir&) { return fs::path("NUL"); }, WriteProblem::NotRegular, InputProblem::NotRegular},
    {"ConWithExtension", [](const test::ScratchDir& dir) { return dir / "con.csv"; }, WriteProblem::NotRegular,
     InputProblem::NotRegular},
    {"Com1InAFolder", [](const test::ScratchDir& dir) { return dir / "COM1"; }, WriteProblem::NotRegular,
     InputProblem::NotRegular},
    {"Lpt9BlankBeforeExtension", [](const test::ScratchDir& dir) { return dir / "lpt9 .tlvcap"; },
     WriteProblem::NotRegular, InputProblem::NotRegular},
#else
    {"Fifo", [](const test::ScratchDir& dir) { ::mkfifo((dir / "p.csv").c_str(), 0600); return dir / "p.csv"; },
     WriteProblem::NotRegular, InputProblem::NotRegular},
    {"Socket",
     [](const test::ScratchDir& dir) {
         const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
         sockaddr_un address{};
         address.sun_family = AF_UNIX;
         const std::string name = (dir / "s.csv").string();
         name.copy(address.sun_path, sizeof address.sun_path - 1);
         ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
         ::close(fd);
         return dir / "s.csv";
     },
     WriteProblem::NotRegular, InputProblem::NotRegular},
    {"DevNull", [](const test::ScratchDir&) { return fs::path("/dev/null"); }, WriteProblem::NotRegular,
     InputProblem::NotRegular},
    {"LinkToDevice",
     [](const test::ScratchDir& dir) { fs::create_symlink("/dev/null", dir / "null.csv"); return dir / "null.csv"; },
     WriteProblem::NotRegular, InputProblem::NotRegular},
    {"LinkToFifo",
     [](const test::ScratchDir& dir) {
         ::mkfifo((dir / "p").c_str(), 0600);
         fs::create_symlink("p", dir / "l.tlvcap");
         return dir / "l.tlvcap";
     },
     WriteProblem::NotRegular, InputProblem::NotRegular},
#endif
};

void PrintTo(const NotAFileCase& c, std::ostream* os)
{
    *os << c.what;
}

class NotAFile : public ::testing::TestWithParam<NotAFileCase> {};

TEST_P(NotAFile, IsNeitherReplacedNorOpened)
{
    const NotAFileCase& c = GetParam();
    test::ScratchDir dir;
    const fs::path target = c.make(dir);
    const FileKind kind = fileKindOf(target);
    ASSERT_NE(kind, FileKind::Regular);
    ASSERT_NE(kind, FileKind::Missing);
    const std::ptrdiff_t entries = countIn(dir.path());

    EXPECT_EQ(replacementRefusal(target), c.writeRefusal);
    ReplacingFile out(target);
    EXPECT_FALSE(out.ok());
    EXPECT_EQ(out.problem(), c.writeRefusal);
    EXPECT_FALSE(out.write(std::span<const std::uint8_t>(kNew)) || out.commit());
    EXPECT_EQ(fileKindOf(target), kind) << "still what it was";
    EXPECT_EQ(countIn(dir.path()), entries) << "no file made beside it";

    std::ifstream in;
    EXPECT_EQ(openInputFile(in, target), c.readRefusal);
    EXPECT_FALSE(in.is_open());
}

INSTANTIATE_TEST_SUITE_P(ReplacingFile, NotAFile, ::testing::ValuesIn(kNotAFileCases),
                         [](const auto& info) { return std::string(info.param.what); });

#ifndef _WIN32
TEST(ReplacingFile, ANameTakenByAPipeWhileWritingIsNotReplaced)
{
    test::ScratchDir dir;
    test::writeBytes(dir / "a.csv", kOld);
    ReplacingFile out(dir / "a.csv");
    ASSERT_TRUE(out.write(std::span<const std::uint8_t>(kNew)));
    fs::remove(dir / "a.csv");
    ASSERT_EQ(::mkfifo((dir / "a.csv").c_str(), 0600), 0);
    EXPECT_FALSE(out.commit());
    EXPECT_EQ(out.problem(), WriteProblem::NotRegular);
    EXPECT_EQ(fileKindOf(dir / "a.csv"), FileKind::Other);
    EXPECT_EQ(countIn(dir.path()), 1) << "the temporary went";
}
#endif

// Windows' device names, judged on every system (used on Windows only).
TEST(ReplacingFile, WindowsDeviceNamesAreKnownInAnyFolderAndCase)
{
    const struct {
        const char* path;
        bool device;
    } cases[] = {
        {"NUL", true},           {"nul.csv", true},        {"C:\\data\\Con", true}, {"sub/aux.tar.gz", true},
        {"prn", true},           {"COM1", true},           {"lpt9.so", true},         {"com0", true},
        {"LPT3 .txt", true},     {"conin$", true},         {"CONOUT$.log", true},     {"\\\\.\\COM12", true},
        {"C:nul", true},         {"console.csv", false},   {"COM10", false},          {"nul_file", false},
        {"lpt", false},          {"a.nul", false},         {"NULL", false},           {"data/COMX.so", false},
        {"\\\\?\\C:\\a.csv", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(isWindowsDeviceName(c.path), c.device) << c.path;
    EXPECT_TRUE(isWindowsDeviceName(fs::path(u8"COM\u00B9"))) << "a superscript one";
}

} // namespace
} // namespace telvar5
