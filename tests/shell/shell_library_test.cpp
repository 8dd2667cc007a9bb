#include "shell/shell_library.h"

#include <gtest/gtest.h>

namespace lv {
namespace {

TEST(PlatformFamily, SortsTheVersionWord) {
    EXPECT_EQ(platformFamily(false, 3, 10), 0);  // 32-bit extension on Windows 3.1
    EXPECT_EQ(platformFamily(false, 3, 79), 0);
    EXPECT_EQ(platformFamily(false, 3, 95), 3);
    EXPECT_EQ(platformFamily(false, 4, 0), 1);
    EXPECT_EQ(platformFamily(false, 4, 10), 2);
    EXPECT_EQ(platformFamily(false, 4, 90), 3);
    EXPECT_EQ(platformFamily(true, 3, 51), 4);
    EXPECT_EQ(platformFamily(true, 4, 0), 4);
    EXPECT_EQ(platformFamily(true, 10, 0), 5);
}

TEST(PlatformFamily, ShellLibraryIsLoadedFromWindows95AndNt4On) {
    EXPECT_FALSE(wantsShellLibrary(0, 3));
    EXPECT_TRUE(wantsShellLibrary(1, 4));
    EXPECT_TRUE(wantsShellLibrary(3, 4));
    EXPECT_FALSE(wantsShellLibrary(4, 3));
    EXPECT_TRUE(wantsShellLibrary(4, 4));
    EXPECT_TRUE(wantsShellLibrary(5, 6));
}

}  // namespace
}  // namespace lv
