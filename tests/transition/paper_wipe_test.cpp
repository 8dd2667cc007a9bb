#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "transition_fixture.h"

namespace lv {
namespace {

using test::fullPattern;
using test::fullRegistry;
using test::RecordingDisplay;

// The paper wipe's picture at fold f, pixel by pixel: positions count from
// the edge the sheet is rolled from; behind the fold a band of extent / 12
// lines shows the sheet's line f + 2j at line f - 1 - j (or the incoming
// picture once that lies beyond the far edge), the line before the band is
// black, and everything before that is the incoming picture.
std::vector<std::uint32_t> paperRule(const Surface& a, const Surface& b, bool vertical, bool forward, std::int64_t t) {
    const std::int32_t extent = vertical ? a.height : a.width;
    const std::int32_t roll = std::max(1, extent / 12);
    const std::int32_t fold = static_cast<std::int32_t>(std::clamp<std::int64_t>(t, 0, extent + roll + 1));
    const std::int32_t rollStart = std::max(0, fold - roll), shadow = std::max(0, rollStart - 1);
    auto at = [&](std::int32_t position) { return forward ? position : extent - 1 - position; };
    std::vector<std::uint32_t> out;
    for (std::int32_t y = 0; y < a.height; ++y) {
        for (std::int32_t x = 0; x < a.width; ++x) {
            const std::int32_t p = at(vertical ? y : x);
            std::uint32_t v = a.row(y)[x];
            if (p < shadow) {
                v = b.row(y)[x];
            } else if (p < rollStart) {
                v = 0;
            } else if (p < fold) {
                const std::int32_t sheet = fold + 2 * (fold - 1 - p);
                v = sheet >= extent ? b.row(y)[x] : vertical ? a.row(at(sheet))[x] : a.row(y)[at(sheet)];
            }
            out.push_back(v);
        }
    }
    return out;
}

class PaperWipe : public ::testing::TestWithParam<std::string> {};

// Frames are drawn as what changed since the frame on the display, with
// frames skipped by the clock in between; each must still be the whole rule.
TEST_P(PaperWipe, EveryPaintedFrameIsTheRolledSheet) {
    const std::string& name = GetParam();
    const bool vertical = name == "ssPaperTB" || name == "ssPaperBT";
    const bool forward = name == "ssPaperLR" || name == "ssPaperTB";
    Registry registry = fullRegistry();
    auto a = fullPattern(49, 37, 1), b = fullPattern(49, 37, 2);
    RecordingDisplay screen(49, 37);
    RunOptions options;
    options.refreshHz = 60;
    TransitionRun run;
    ASSERT_EQ(run.start(registry, *a, *b, screen.display, registry.findName(name), 700, options), 0);
    const int checked = checkPaintedFrames(run, screen, [&](const auto& frame, std::int64_t painted) {
        EXPECT_EQ(frame, paperRule(*a, *b, vertical, forward, painted)) << name << " frame " << painted;
    });
    EXPECT_GT(checked, 20);
}

INSTANTIATE_TEST_SUITE_P(Directions, PaperWipe, ::testing::Values("ssPaperLR", "ssPaperRL", "ssPaperTB", "ssPaperBT"),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace lv
