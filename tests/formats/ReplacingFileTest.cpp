// The one way the program creates the files it writes: a new file only, never
// one that exists, and written byte for byte.
#include <gtest/gtest.h>

#include <cstdio>

#include "FormatTestSupport.h"
#include "formats/ReplacingFile.h"

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

} // namespace
} // namespace telvar5
