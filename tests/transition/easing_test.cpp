#include <gtest/gtest.h>

#include "transition/easing.h"

namespace lv {
namespace {

using Table = std::vector<std::int32_t>;

TEST(Easing, CubeTablesOfTheWorkedExamples) {
    EXPECT_EQ(symmetricEasing(8, EasingShape::Cube), (Table{0, 0, 1, 4, 6, 8, 8, 8, 8}));
    EXPECT_EQ(symmetricEasing(10, EasingShape::Cube), (Table{0, 0, 1, 2, 5, 7, 9, 10, 10, 10, 10}));
    EXPECT_EQ(acceleratingEasing(8, EasingShape::Cube), (Table{0, 0, 0, 1, 1, 3, 5, 8, 8}));
}

TEST(Easing, TinyTablesAreDefined) {
    // One to three steps put a one-point curve in a half: no division by zero.
    EXPECT_EQ(symmetricEasing(1, EasingShape::Cube), (Table{1, 1}));
    EXPECT_EQ(symmetricEasing(2, EasingShape::Square), (Table{0, 2, 2}));
    EXPECT_EQ(symmetricEasing(3, EasingShape::Cube), (Table{0, 3, 3, 3}));
    EXPECT_EQ(acceleratingEasing(1, EasingShape::Cube), (Table{0, 1}));
    EXPECT_EQ(symmetricEasing(0, EasingShape::Cube), (Table{0}));
    EXPECT_EQ(symmetricEasing(-4, EasingShape::Cube), (Table{0}));
}

TEST(Easing, TablesRiseFromZeroToTheEnd) {
    for (std::int32_t n : {4, 7, 64, 255, 256, 1921}) {
        for (const Table& table : {symmetricEasing(n, EasingShape::Cube), symmetricEasing(n, EasingShape::Square),
                                   acceleratingEasing(n, EasingShape::Cube)}) {
            ASSERT_EQ(table.size(), static_cast<std::size_t>(n) + 1);
            EXPECT_EQ(table.front(), 0);
            EXPECT_EQ(table.back(), n);
            for (std::size_t i = 1; i < table.size(); ++i) EXPECT_GE(table[i], table[i - 1]) << n << " at " << i;
        }
    }
}

TEST(Easing, LookUpClampsToTheTable) {
    const Table table = symmetricEasing(8, EasingShape::Cube);
    EXPECT_EQ(easedAt(table, -5), 0);
    EXPECT_EQ(easedAt(table, 3), 4);
    EXPECT_EQ(easedAt(table, 1000000000000LL), 8);
}

}  // namespace
}  // namespace lv
