#include <gtest/gtest.h>

#include <set>

#include "transition/span_schedule.h"

namespace lv {
namespace {

SpanSchedule schedule(std::int32_t n, std::int32_t passes, bool alternate = false, bool reverse = false,
                      std::int32_t band = 0, bool timing = false) {
    return SpanSchedule(ScheduleShape{n, passes, alternate, reverse, band, timing});
}

std::vector<SetEntry> step(SpanSchedule& s, std::int64_t p, std::int64_t t) {
    std::vector<SetEntry> out;
    s.forStep(p, t, out);
    return out;
}

TEST(ScheduleSlots, SetsAndLevelsOfTheSlots) {
    SpanSchedule alternate = schedule(10, 2, true);  // the second pass runs back and ends on the first set
    EXPECT_EQ(alternate.slot(9).set, 9);
    EXPECT_EQ(alternate.slot(9).level, 230);  // 9 x 256 / 10: not yet whole
    EXPECT_EQ(alternate.slot(10).set, 9);
    EXPECT_EQ(alternate.slot(10).level, 256);
    EXPECT_EQ(alternate.slot(19).set, 0);
    EXPECT_EQ(alternate.slot(19).level, 256);
    SpanSchedule forwards = schedule(4, 2);  // the first pass's level grows from zero, the second runs forwards
    EXPECT_EQ(forwards.slot(0).level, 0);
    EXPECT_EQ(forwards.slot(2).level, 128);
    EXPECT_EQ(forwards.slot(4).set, 0);
    SpanSchedule one = schedule(7, 1);  // one pass is always fully incoming
    for (int k = 0; k < 7; ++k) EXPECT_EQ(one.slot(k).level, 256);
    for (const SetEntry& e : step(one, 0, 7)) EXPECT_EQ(e.mode, SetMode::ShowIncoming);
    SpanSchedule reverse = schedule(5, 1, false, true);
    EXPECT_EQ(reverse.slot(0).set, 4);
    EXPECT_EQ(reverse.slot(4).set, 0);
    SpanSchedule past = schedule(5, 1);  // slots past the run name no set, and add none
    EXPECT_GE(past.slot(5).set, 5);
    EXPECT_TRUE(step(past, 5, 9).empty());
}

TEST(ScheduleBand, WithoutBandTimingABandChangesNothing) {
    SpanSchedule plain = schedule(8, 1), banded = schedule(8, 1, false, false, 2, false);
    for (std::int64_t t = 1; t <= 8; ++t) {
        const auto a = step(plain, t - 1, t), b = step(banded, t - 1, t);
        ASSERT_EQ(a.size(), b.size());
        for (std::size_t i = 0; i < a.size(); ++i) {
            EXPECT_EQ(a[i].set, b[i].set);
            EXPECT_EQ(a[i].mode, b[i].mode);
        }
    }
}

TEST(ScheduleBand, WithBandTimingTheFirstTwoStepsPaintOnlyBlack) {
    SpanSchedule s = schedule(8, 1, false, false, 2, true);
    for (std::int64_t t = 1; t <= 2; ++t) {
        // Black for the slots reached within the band (the earlier one again).
        const auto list = step(s, t - 1, t);
        ASSERT_EQ(list.size(), static_cast<std::size_t>(t));
        for (const SetEntry& e : list) EXPECT_EQ(e.mode, SetMode::Fill);
        EXPECT_EQ(list.back().set, t - 1);
    }
    // Slot 0 shows its picture two steps after it was reached; slots 1 and 2 are black.
    const auto third = step(s, 2, 3);
    ASSERT_EQ(third.size(), 3u);
    EXPECT_EQ(third[0].set, 0);
    EXPECT_EQ(third[0].mode, SetMode::ShowIncoming);
    EXPECT_EQ(third[1].mode, SetMode::Fill);
    EXPECT_EQ(third[2].set, 2);
    EXPECT_EQ(third[2].mode, SetMode::Fill);
}

TEST(ScheduleBand, BandNeverReachesOutsideTheSets) {
    // Steps that start before the first slot or run past the last add only
    // sets that exist, each once.
    for (std::int32_t n : {1, 2, 3, 9}) {
        for (std::int32_t band : {1, 4, 40}) {
            SpanSchedule s = schedule(n, 2, true, false, band, true);
            for (std::int64_t p = 0; p < 3 * n + band + 2; ++p) {
                for (std::int64_t t = p; t < p + 2 * n + band + 3; ++t) {
                    const auto list = step(s, p, t);
                    ASSERT_LE(list.size(), static_cast<std::size_t>(n));
                    std::set<std::int32_t> seen;
                    for (const SetEntry& e : list) {
                        ASSERT_GE(e.set, 0);
                        ASSERT_LT(e.set, n);
                        ASSERT_TRUE(seen.insert(e.set).second) << "set twice in one step";
                    }
                }
            }
        }
    }
}

TEST(ScheduleBand, TheLaterSlotDecidesASetSeenTwice) {
    // Alternate: slots n - 1 and n name the same set; the second pass wins.
    const std::int32_t n = 4;
    SpanSchedule s = schedule(n, 2, true);
    const auto list = step(s, n - 1, n + 1);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].set, n - 1);
    EXPECT_EQ(list[0].level, 256);
    EXPECT_EQ(list[0].mode, SetMode::ShowIncoming);
}

}  // namespace
}  // namespace lv
