// The array commands and files of the displayed output channel.
#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#endif
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>

#include "core/output/OutputEditText.h"
#include "input/InputFixture.h"

using namespace telvar5;
namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;

class OutputArraysTest : public test::InitialisedMonitor {
protected:
    fs::path dir;

    void SetUp() override
    {
        InitialisedMonitor::SetUp();
        dir = fs::temp_directory_path() / ("telvar5-arrays-" + std::to_string(::getpid()) + "-"
                                           + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::permissions(dir, fs::perms::owner_all, ec);
        fs::remove_all(dir, ec);
    }

    OutputArrays& arrays() { return monitor->outputArrays(); }
    std::array<std::uint32_t, 256>& words(std::size_t ch) { return run().outputRecord[ch].words; }
    fs::path write(const char* name, const Bytes& bytes)
    {
        std::ofstream(dir / name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                          static_cast<std::streamsize>(bytes.size()));
        return dir / name;
    }
    static Bytes read(const fs::path& file)
    {
        std::ifstream in(file, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }
};

} // namespace

TEST_F(OutputArraysTest, SavingWritesTheCountAndTheWordsInUse)
{
    words(0)[0] = 0x12345678u;
    words(0)[1] = 0xFFu;
    words(0)[2] = 0xDEADBEEFu; // beyond the size: not saved
    arrays().cbSOArrayDimChange(1);
    ASSERT_TRUE(arrays().FileSaveAs1Accept((dir / "two.so").string()));
    EXPECT_EQ(read(dir / "two.so"), (Bytes{0x02, 0x00, 0x78, 0x56, 0x34, 0x12, 0xFF, 0x00, 0x00, 0x00}));

    for (int item : {0, 255}) {
        arrays().cbSOArrayDimChange(item);
        ASSERT_TRUE(arrays().FileSaveAs1Accept((dir / "sized.so").string()));
        EXPECT_EQ(fs::file_size(dir / "sized.so"), 2u + 4u * static_cast<unsigned>(item + 1));
    }
    EXPECT_TRUE(prompts.errors.empty());

    // The command's dialog asks before it replaces an existing file.
    prompts.fileToSave = (dir / "asked.so").string();
    arrays().FileSaveAs1Execute();
    ASSERT_EQ(prompts.dialogs.size(), 1u);
    EXPECT_TRUE(prompts.dialogs[0].confirmReplace);
    EXPECT_EQ(prompts.dialogs[0].defaultExt, "so");
    EXPECT_TRUE(fs::exists(dir / "asked.so"));
}

TEST_F(OutputArraysTest, RestoringTakesWhatTheFileHoldsAndNeverMoreThan256Words)
{
    struct Case {
        const char* what;
        Bytes file;
        bool restored;
        std::uint16_t size; // afterwards
        std::vector<std::uint32_t> firstWords;
    };
    Bytes count300{0x2C, 0x01};
    for (std::uint32_t i = 0; i < 300; ++i)
        for (int b = 0; b < 4; ++b)
            count300.push_back(static_cast<std::uint8_t>((0x1000u + i) >> (8 * b)));
    const Case cases[] = {
        {"three words", {3, 0, 1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0}, true, 3, {1, 2, 3, 0xC4}},
        {"count 4, two words and a cut one", {4, 0, 1, 0, 0, 0, 2, 0, 0, 0, 9}, true, 4, {1, 2, 0xC3, 0xC4}},
        {"a count of 300", count300, true, 256, {0x1000, 0x1001, 0x1002, 0x1003}},
        {"a count of 0", {0, 0, 1, 0, 0, 0}, false, 10, {0xC1, 0xC2, 0xC3, 0xC4}},
        {"one byte", {5}, false, 10, {0xC1, 0xC2, 0xC3, 0xC4}},
        {"empty", {}, false, 10, {0xC1, 0xC2, 0xC3, 0xC4}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        arrays().SOChange(2); // the file does not record its channel
        for (std::uint32_t i = 0; i < 256; ++i)
            words(2)[i] = 0xC1 + i;
        arrays().cbSOArrayDimChange(9);
        EXPECT_EQ(arrays().FileOpen1Accept(write("a.so", c.file).string()), c.restored);
        EXPECT_EQ(run().arraySize[2], c.size);
        EXPECT_EQ(run().arraySizeCopy[2], c.size);
        EXPECT_EQ(std::vector<std::uint32_t>(words(2).begin(), words(2).begin() + 4), c.firstWords);
        if (c.size == 3) {
            EXPECT_EQ(words(2)[9], 0xCAu) << "words beyond the new size keep their values";
        }
        EXPECT_EQ(words(0)[0], 0u) << "other channels are untouched";
    }
    EXPECT_FALSE(arrays().FileOpen1Accept((dir / "missing.so").string()));
    EXPECT_FALSE(arrays().FileOpen1Accept(dir.string())) << "a folder";
    EXPECT_TRUE(prompts.errors.empty()) << "a restore that finds nothing says nothing";
}

TEST_F(OutputArraysTest, AFailedSaveLeavesTheOldFileAndTellsTheUser)
{
    const fs::path old = write("old.so", {1, 0, 0x44, 0x33, 0x22, 0x11});
    arrays().SOdataTestExecute();

#ifdef _WIN32
    // The file open in another program that does not share delete access
    // (msvcrt's fopen shares reading and writing only): Windows will not replace it.
    std::ifstream heldOpen(old, std::ios::binary);
    ASSERT_TRUE(heldOpen.is_open());
    const bool saved1 = arrays().FileSaveAs1Accept(old.string());
    heldOpen.close();
#else
    // A full disk: writes beyond a small size limit fail.
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 100;
    ::setrlimit(RLIMIT_FSIZE, &small);
    const bool saved1 = arrays().FileSaveAs1Accept(old.string());
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
#endif
    EXPECT_FALSE(saved1);
    EXPECT_EQ(read(old), (Bytes{1, 0, 0x44, 0x33, 0x22, 0x11}));
    ASSERT_EQ(prompts.errors.size(), 1u);
    EXPECT_NE(prompts.errors[0].find(old.string()), std::string::npos);
#ifdef _WIN32
    const char* const reason = "\nПричина: доступ запрещен";
#else
    const char* const reason = "\nПричина: на диске нет места";
#endif
    EXPECT_NE(prompts.errors[0].find(reason), std::string::npos) << prompts.errors[0];
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator{}), 1) << "no temporary file left";

#ifndef _WIN32
    // A read-only folder (root ignores the mode: the folder is then made immutable).
    fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
    const bool rootBypasses = ::access(dir.c_str(), W_OK) == 0;
    if (rootBypasses && std::system(("chattr +i '" + dir.string() + "' 2>/dev/null").c_str()) != 0)
        GTEST_SKIP() << "this file system cannot make a folder read-only for root";
    EXPECT_FALSE(arrays().FileSaveAs1Accept(old.string()));
    if (rootBypasses)
        std::system(("chattr -i '" + dir.string() + "'").c_str());
    EXPECT_EQ(read(old), (Bytes{1, 0, 0x44, 0x33, 0x22, 0x11}));
    ASSERT_EQ(prompts.errors.size(), 2u);
    EXPECT_NE(prompts.errors[1].find("\nПричина: доступ запрещен"), std::string::npos) << prompts.errors[1];
#endif
}

TEST_F(OutputArraysTest, AReadOnlyFileIsNotReplacedAndTheUserIsTold)
{
    const fs::path old = write("old.so", {1, 0, 0x44, 0x33, 0x22, 0x11});
    fs::permissions(old, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    arrays().SOdataTestExecute();
    EXPECT_FALSE(arrays().FileSaveAs1Accept(old.string()));
    fs::permissions(old, fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(read(old), (Bytes{1, 0, 0x44, 0x33, 0x22, 0x11}));
    ASSERT_EQ(prompts.errors.size(), 1u);
    EXPECT_EQ(prompts.errors[0], "Выходные параметры не сохранены: не удалось записать файл\n" + old.string() +
                                     "\nПричина: файл только для чтения");
}

TEST_F(OutputArraysTest, ClearAndTestFillChangeAll256WordsOfTheShownChannelOnly)
{
    arrays().SOChange(7);
    arrays().cbSOArrayDimChange(4);
    words(6)[0] = 0x77u;
    arrays().SOdataTestExecute();
    EXPECT_EQ(words(7)[0], 0xF7FF0800u) << "bytes 0, 8, 255, 247 from the least significant";
    EXPECT_EQ(words(7)[255], 0xF70008FFu);
    EXPECT_EQ(run().arraySize[7], 5);
    arrays().SOdataClearExecute();
    EXPECT_TRUE(std::all_of(words(7).begin(), words(7).end(), [](std::uint32_t w) { return w == 0; }));
    EXPECT_EQ(words(6)[0], 0x77u);
    EXPECT_EQ(run().arraySize[7], 5);
}

TEST_F(OutputArraysTest, TransmissionTimeFollowsTheSizeTheTabAndTheRate)
{
    EXPECT_EQ(screen().soTimeText, "737.3 мс (256 слов ПК)") << "at initialisation: 256 words at 12.5 kHz";
    arrays().cbSOArrayDimChange(0);
    EXPECT_EQ(screen().soTimeText, "  2.9 мс (  1 слов ПК)");
    run().freqCodes[8 + 1] = 1;
    run().freqCodes[8 + 2] = 2;
    arrays().SOChange(1);
    EXPECT_EQ(screen().soWordTimeUs, 720);
    EXPECT_EQ(screen().soTimeText, "184.3 мс (256 слов ПК)");
    arrays().SOChange(2);
    arrays().cbSOArrayDimChange(9);
    EXPECT_EQ(screen().soTimeText, "  3.6 мс ( 10 слов ПК)");
    EXPECT_EQ(screen().outputTitle, "Массив выходных параметров канала № 3");
}

TEST_F(OutputArraysTest, AnArrayIsMarkedChangedUntilItIsSavedOrRestored)
{
    using Step = std::function<void()>;
    const std::string file = (dir / "a.so").string();
    const Step typed = [this] {
        monitor->outputGrid().DrawGrid1KeyPress('7');
        monitor->outputGrid().DrawGrid1SetEditText(kAddressColumn, 1, "7");
    };
    const Step bitSet = [this] {
        monitor->bitEditor().FormShow();
        monitor->bitEditor().CheckBoxClick(32, true);
        monitor->bitEditor().Button1Click();
    };
    const Step clear = [this] { arrays().SOdataClearExecute(); };
    const Step fill = [this] { arrays().SOdataTestExecute(); };
    const Step save = [&] { arrays().FileSaveAs1Accept(file); };
    const Step failedSave = [this] { arrays().FileSaveAs1Accept((dir / "none" / "a.so").string()); };
    const Step restore = [&] { arrays().FileOpen1Accept(file); };
    const Step chooseAgain = [this] { monitor->lifecycle().DeviceResetExecute(); choose(); };
    struct Case {
        const char* what;
        std::vector<Step> steps;
        bool marked; // channel 1's array; channel 2's stays unmarked
    };
    const Case cases[] = {
        {"nothing since the first choice", {}, false},
        {"typed", {typed}, true},
        {"bit editor", {bitSet}, true},
        {"clear of a zero array", {clear}, false},
        {"size", {[this] { arrays().cbSOArrayDimChange(9); }}, true},
        {"test fill, saved", {fill, save}, false},
        {"saved, cleared", {fill, save, clear}, true},
        {"test fill, the save failed", {fill, failedSave}, true},
        {"saved, typed, restored", {fill, save, typed, restore}, false},
        {"saved, the module chosen again", {fill, save, chooseAgain}, true},
        {"a zero array, the module chosen again", {chooseAgain}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        for (const Step& step : c.steps)
            step();
        EXPECT_EQ(run().arrayChanged[0], c.marked);
        EXPECT_FALSE(run().arrayChanged[1]);
    }
}
