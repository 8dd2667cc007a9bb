// Block transitions that draw a frame over the one on the display (the
// opening slides leave the middle it already shows, the paper wipe draws
// what changed), with frames skipped by the clock in between: every painted
// frame must still be the whole frame.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "transition/block_kind.h"
#include "transition_fixture.h"

namespace lv {
namespace {

using test::patternSurface;

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

class DrawnFrames : public test::SteppedRun, public ::testing::WithParamInterface<std::string> {};

// The display starts out blank, so the first frame must lay the outgoing picture itself.
TEST_P(DrawnFrames, EveryPaintedFrameIsTheWholeFrame) {
    const std::string& name = GetParam();
    const bool paper = name.starts_with("ssPaper");
    const bool vertical = name == "ssPaperTB" || name == "ssPaperBT";
    const bool forward = name == "ssPaperLR" || name == "ssPaperTB";
    // The opening slides' pictures do not fill the window; they are checked
    // against their own commands drawn whole, the paper wipe against its rule.
    const Rect pictureA = paper ? Rect{0, 0, 49, 37} : Rect{3, 2, 41, 33};
    const Rect pictureB = paper ? Rect{0, 0, 49, 37} : Rect{5, 4, 40, 30};
    start(name, patternSurface(49, 37, pictureA, 1), patternSurface(49, 37, pictureB, 2), 700, 60, false);
    TransitionPtr reference = registry.createByIndex(registry.findName(name));
    auto* block = dynamic_cast<BlockTransition*>(reference.get());
    ASSERT_NE(block, nullptr);
    BackBufferDisplay spare(49, 37);
    test::CountingSink sink;
    ASSERT_EQ(block->begin(*a, *b, spare, sink), 0);
    const int checked = checkPaintedFrames(run, *screen, [&](const auto& frame, std::int64_t painted) {
        const auto whole = paper ? paperRule(*a, *b, vertical, forward, painted) : wholeFrame(*block, *a, *b, painted);
        EXPECT_EQ(frame, whole) << "frame " << painted;
    });
    EXPECT_GT(checked, 20);
}

INSTANTIATE_TEST_SUITE_P(Forms, DrawnFrames,
                         ::testing::Values("ssSlideOpenH", "ssSlideOpenV", "ssSlideOpenCorners", "ssPaperLR",
                                           "ssPaperRL", "ssPaperTB", "ssPaperBT"),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace lv
