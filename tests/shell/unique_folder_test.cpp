// Test folders are unique by construction: each is newly made, so two test
// processes (or two fixtures) never share one.
#include "shell/unique_folder.h"

#include <gtest/gtest.h>

#include <set>

namespace lv::test {
namespace {

TEST(UniqueFolder, EachCallMakesANewEmptyFolder) {
    std::set<std::filesystem::path> made;
    for (int i = 0; i < 20; ++i) {
        const auto folder = makeUniqueFolder("lumavine-unique");
        ASSERT_FALSE(folder.empty());
        EXPECT_TRUE(std::filesystem::is_empty(folder));
        EXPECT_TRUE(made.insert(folder).second) << folder;
    }
    for (const auto& folder : made) std::filesystem::remove(folder);
}

}  // namespace
}  // namespace lv::test
