#include <gtest/gtest.h>

#include <string>

#include "transition/block_kind.h"
#include "transition_fixture.h"

namespace lv {
namespace {

using test::patternSurface;
using test::RecordingDisplay;

// Frame t drawn whole: the outgoing picture with frame t's commands laid over it.
std::vector<std::uint32_t> wholeFrame(BlockTransition& block, const Surface& a, const Surface& b, std::int64_t t) {
    std::vector<std::uint32_t> out;
    for (std::int32_t y = 0; y < a.height; ++y) out.insert(out.end(), a.row(y), a.row(y) + a.width);
    for (const BlockCommand& c : block.commandsFor(t)) {
        const Surface* from = c.source == BlockCommand::Source::Outgoing ? &a
                              : c.source == BlockCommand::Source::Incoming ? &b
                                                                           : nullptr;
        for (std::int32_t y = c.destination.top; y < c.destination.bottom(); ++y) {
            for (std::int32_t x = c.destination.left; x < c.destination.right(); ++x) {
                const std::int32_t sx = x - c.destination.left + c.sourceX, sy = y - c.destination.top + c.sourceY;
                out[static_cast<std::size_t>(y * a.width + x)] = from != nullptr ? from->row(sy)[sx] : 0;
            }
        }
    }
    return out;
}

class OpeningSlide : public ::testing::TestWithParam<std::string> {};

// Frames are drawn over the frame on the display, leaving the middle that
// it already shows, with frames skipped by the clock in between; each must
// still be the whole frame.
TEST_P(OpeningSlide, EveryPaintedFrameIsTheWholeFrame) {
    Registry registry = test::fullRegistry();
    auto a = patternSurface(49, 37, Rect{3, 2, 41, 33}, 1), b = patternSurface(49, 37, Rect{5, 4, 40, 30}, 2);
    RecordingDisplay screen(49, 37);
    test::CountingSink sink;
    TransitionPtr reference = registry.createByIndex(registry.findName(GetParam()));
    auto* block = dynamic_cast<BlockTransition*>(reference.get());
    ASSERT_NE(block, nullptr);
    BackBufferDisplay spare(49, 37);
    ASSERT_EQ(block->begin(*a, *b, spare, sink), 0);
    RunOptions options;
    options.refreshHz = 60;
    TransitionRun run;
    ASSERT_EQ(run.start(registry, *a, *b, screen.display, registry.findName(GetParam()), 700, options), 0);
    const int checked = checkPaintedFrames(run, screen, [&](const auto& frame, std::int64_t painted) {
        EXPECT_EQ(frame, wholeFrame(*block, *a, *b, painted)) << "frame " << painted;
    });
    EXPECT_GT(checked, 20);
}

INSTANTIATE_TEST_SUITE_P(Forms, OpeningSlide, ::testing::Values("ssSlideOpenH", "ssSlideOpenV", "ssSlideOpenCorners"),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace lv
