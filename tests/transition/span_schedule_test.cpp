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

TEST(ScheduleSlots, TwoPassesWithAlternateEndOnTheFirstSet) {
    const std::int32_t n = 10;
    SpanSchedule s = schedule(n, 2, true);
    EXPECT_EQ(s.slot(n - 1).set, n - 1);
    EXPECT_LT(s.slot(n - 1).level, 256);
    EXPECT_EQ(s.slot(n - 1).level, (n - 1) * 256 / n);
    EXPECT_EQ(s.slot(n).set, n - 1);
    EXPECT_EQ(s.slot(n).level, 256);
    EXPECT_EQ(s.slot(2 * n - 1).set, 0);
    EXPECT_EQ(s.slot(2 * n - 1).level, 256);
}

TEST(ScheduleSlots, FirstPassLevelGrowsFromZero) {
    SpanSchedule s = schedule(4, 2);
    EXPECT_EQ(s.slot(0).level, 0);
    EXPECT_EQ(s.slot(2).level, 128);
    EXPECT_EQ(s.slot(4).set, 0);  // without alternate the second pass runs forwards
}

TEST(ScheduleSlots, OnePassIsAlwaysFullyIncoming) {
    SpanSchedule s = schedule(7, 1);
    for (int k = 0; k < 7; ++k) EXPECT_EQ(s.slot(k).level, 256);
    for (const SetEntry& e : step(s, 0, 7)) EXPECT_EQ(e.mode, SetMode::ShowIncoming);
}

TEST(ScheduleSlots, ReverseRunsBackwards) {
    SpanSchedule s = schedule(5, 1, false, true);
    EXPECT_EQ(s.slot(0).set, 4);
    EXPECT_EQ(s.slot(4).set, 0);
}

TEST(ScheduleSlots, SlotsPastTheRunNameNoSet) {
    SpanSchedule s = schedule(5, 1);
    EXPECT_GE(s.slot(5).set, 5);
    EXPECT_TRUE(step(s, 5, 9).empty());
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
