#include "shell/file_path.h"

#include <gtest/gtest.h>

namespace lv {
namespace {

TEST(FilePath, SlashesBecomeBackslashesAndPathsAreCutToTheLongestTheFileCallsTake) {
    EXPECT_EQ(toBackslashes("C:/shows/a b/pic.jpg"), "C:\\shows\\a b\\pic.jpg");
    EXPECT_EQ(toBackslashes("*/menu.scr"), "*\\menu.scr");
    EXPECT_EQ(toBackslashes(std::string(400, 'x')).size(), kMaxPath);
}

TEST(FilePath, FolderPartEndsAtTheLastSeparatorOrColon) {
    EXPECT_EQ(folderPart("C:\\pics\\beach\\*.jpg"), "C:\\pics\\beach\\");
    EXPECT_EQ(folderPart("pics/a\\*.*"), "pics/a\\");
    EXPECT_EQ(folderPart("c:*.jpg"), "c:");
    EXPECT_EQ(folderPart("*/menu.scr"), "*/");
    EXPECT_EQ(folderPart("*.jpg"), "");
}

TEST(FilePath, PosixNamesDropTheDriveLetter) {
    EXPECT_EQ(toPosixPath("Z:\\shows\\a.jpg"), "/shows/a.jpg");
    EXPECT_EQ(toPosixPath("c:/x"), "/x");
    EXPECT_EQ(toPosixPath("Z:"), "/");
    EXPECT_EQ(toPosixPath("shows\\a.jpg"), "shows/a.jpg");
    EXPECT_EQ(toPosixPath("/tmp/a"), "/tmp/a");
}

}  // namespace
}  // namespace lv
