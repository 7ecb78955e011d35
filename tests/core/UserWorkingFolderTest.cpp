// The user's working folder laid out from the installed files: made on the
// first start, filled with what it lacks, never with what it has.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/UserWorkingFolder.h"

namespace telvar5 {
namespace {

namespace fs = std::filesystem;

void writeText(const fs::path& file, const std::string& text) { std::ofstream(file, std::ios::binary) << text; }
std::string readText(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class UserWorkingFolderTest : public ::testing::Test {
protected:
    fs::path root = fs::temp_directory_path() /
        (std::string("telvar5-user-folder-") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::path previous = fs::current_path();

    void SetUp() override
    {
        fs::remove_all(root);
        fs::create_directories(root / "program" / "demo" / "nested");
        writeText(root / "program" / "demo" / "adc.so", "array");
        writeText(root / "program" / "demo" / "TLV5frmt.stt", "installed formats");
        writeText(root / "program" / "demo" / "nested" / "x", "not a seed file");
        writeText(root / "program" / "readme.txt", "readme");
        fs::permissions(root / "program" / "readme.txt", fs::perms::owner_write, fs::perm_options::remove);
    }
    void TearDown() override
    {
        fs::current_path(previous);
        fs::permissions(root / "program" / "readme.txt", fs::perms::owner_write, fs::perm_options::add);
        fs::remove_all(root);
    }
};

TEST_F(UserWorkingFolderTest, TheFirstStartLaysItOutAndLaterOnesKeepTheUsersFiles)
{
    const fs::path user = root / "Documents" / "TELVAR-5" / "Демонстрация";
    const std::vector<fs::path> seeds{root / "program" / "demo", root / "program" / "readme.txt",
                                      root / "program" / "missing"};
    EXPECT_EQ(enterUserFolder(user, seeds), "");
    EXPECT_TRUE(fs::equivalent(fs::current_path(), user));
    EXPECT_EQ(readText(user / "adc.so"), "array");
    EXPECT_EQ(readText(user / "readme.txt"), "readme");
    EXPECT_FALSE(fs::exists(user / "nested")) << "a seed folder gives its files, not its subfolders";
    EXPECT_NE(fs::status(user / "readme.txt").permissions() & fs::perms::owner_write, fs::perms::none)
        << "the copy is the user's to edit";

    // The user edits a file and deletes another: the next start keeps the edit and brings back the other.
    fs::current_path(previous);
    writeText(user / "TLV5frmt.stt", "the user's formats");
    fs::remove(user / "adc.so");
    EXPECT_EQ(enterUserFolder(user, seeds), "");
    EXPECT_EQ(readText(user / "TLV5frmt.stt"), "the user's formats");
    EXPECT_EQ(readText(user / "adc.so"), "array");
}

TEST_F(UserWorkingFolderTest, AFolderThatCannotBeMadeIsNamedAndTheWorkingFolderStays)
{
    writeText(root / "file", "a file where a folder should be");
    const std::string problem = enterUserFolder(root / "file" / "TELVAR-5", {});
    EXPECT_NE(problem.find("Рабочая папка не создана"), std::string::npos) << problem;
    EXPECT_TRUE(fs::equivalent(fs::current_path(), previous));
}

} // namespace
} // namespace telvar5
