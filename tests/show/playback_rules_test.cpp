// The rules of show playback that need no show: typed numbers, the choice
// they name, and the choice of transition per picture.
#include <gtest/gtest.h>

#include "show/transition_choice.h"
#include "show/typed_number.h"

namespace lv::test {
namespace {

class TypedNumberTest : public ::testing::Test {
protected:
    TypedNumber typed;
    void press(int key, std::uint32_t at) { EXPECT_TRUE(typed.key(key, at)); }
};

// Digits within the quiet time make one number; Enter makes it due at the next check.
TEST_F(TypedNumberTest, DigitsWithinTheQuietTimeMakeOneNumberDueThenOrAtEnter) {
    press(kKeyDigit1, 1000);
    press(kKeyDigit1 + 1, 1400);
    EXPECT_FALSE(typed.due(1900));
    EXPECT_TRUE(typed.due(1901));
    EXPECT_EQ(typed.take(), 12);
    EXPECT_TRUE(typed.empty());
    press(kKeyDigit1, 1000);
    press(kKeyEnter, 1010);
    EXPECT_TRUE(typed.due(1050));
    EXPECT_EQ(typed.take(), 1);
}

TEST_F(TypedNumberTest, KeypadDigitsCountAndTheTenthDigitIsIgnored) {
    for (int i = 0; i < 10; ++i) press(kKeyNumpad0 + 1 + i % 9, 100);
    EXPECT_EQ(typed.digits(), "123456789");
    EXPECT_FALSE(typed.key('A', 100));
    EXPECT_EQ(typed.take(), 123456789);
}

TEST_F(TypedNumberTest, AcrossTheWrapOfTheTickCount) {
    press(kKeyDigit1, 0xFFFFFF00u);
    EXPECT_FALSE(typed.due(0x00000010u));
    EXPECT_TRUE(typed.due(0x00000200u));
}

struct ChoiceCase {
    std::int64_t n;
    int shows;
    std::optional<ShowChoice> expected;
};
class ShowChoiceTest : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(ShowChoiceTest, NumberNamesShowAndMode) {
    EXPECT_EQ(chooseShow(GetParam().n, GetParam().shows), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Numbers, ShowChoiceTest,
                         ::testing::Values(ChoiceCase{12, 12, ShowChoice{11, 0}}, ChoiceCase{1, 5, ShowChoice{0, 0}},
                                           ChoiceCase{6, 5, ShowChoice{0, 2}}, ChoiceCase{7, 5, ShowChoice{0, 1}},
                                           ChoiceCase{8, 5, std::nullopt}, ChoiceCase{0, 5, std::nullopt},
                                           ChoiceCase{999999999, 5, std::nullopt}));

struct TransitionCase {
    TransitionRequest request;
    TransitionChoice expected;
};
class TransitionChoiceTest : public ::testing::TestWithParam<TransitionCase> {};

TEST_P(TransitionChoiceTest, FadeScheduleAndSpeedDecide) {
    EXPECT_EQ(chooseTransition(GetParam().request), GetParam().expected);
}

TransitionCase choice(int fade, int number, int timeMs, int lateMs, bool previous, TransitionChoice expected) {
    return {{fade, number, timeMs, lateMs, previous}, expected};
}

INSTANTIATE_TEST_SUITE_P(
    Rules, TransitionChoiceTest,
    ::testing::Values(choice(-1, 40, 800, 0, true, {0, 0}),         // fade -1: plain replacement
                      choice(3, 40, 800, 0, true, {171, 800}),      // fade on: the cross-fade
                      choice(0, 40, 800, 0, true, {40, 800}),       // the show's own
                      choice(0, 15, 300, 0, true, {171, 300}),      // too fast for 14-17
                      choice(0, 128, 400, 0, true, {171, 400}),     // 126-129 likewise
                      choice(0, 15, 401, 0, true, {15, 401}),
                      choice(0, 40, 800, 300, true, {40, 500}),     // shortened by the delay
                      choice(0, 40, 800, 760, true, {1, 40}),       // late, under 50 ms left
                      choice(0, 40, 800, 900, true, {1, 0}),        // never below 0
                      choice(0, 40, 800, 900, false, {40, 0}),      // nothing up yet to replace
                      choice(2, 40, 800, 780, true, {1, 20})));

TEST(TransitionFallback, FallsBackOnceToNone) {
    EXPECT_EQ(fallbackTransition(40), 1);
    EXPECT_EQ(fallbackTransition(1), 0);
}

}  // namespace
}  // namespace lv::test
