// Block frames on a window split over two outputs of different formats
// (32 bits on the left, 16 bits on the right, starting mid-window): the work
// surface is then kept as engine pixels, and the 16-bit output takes its
// rows unconverted. Every frame equals the same frame on a single 24-bit
// output, reduced to each output's format.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "piece_fixture.h"
#include "transition/families.h"

namespace lv::test {
namespace {

class SplitOutputs : public ::testing::TestWithParam<std::string_view> {};

TEST_P(SplitOutputs, EveryFrameEqualsTheOneOutputFrameInEachFormat) {
    constexpr std::int32_t kWidth = 90, kHeight = 50;
    const SurfacePtr a = piecePattern(kWidth, kHeight, Rect{0, 0, kWidth, kHeight}, false);
    const SurfacePtr b = piecePattern(kWidth, kHeight, Rect{0, 0, kWidth, kHeight}, true);
    BackBufferDisplay single(kWidth, kHeight);
    const Rect left{0, 0, kWidth / 2, kHeight}, right{kWidth / 2, 0, kWidth - kWidth / 2, kHeight};
    OutputsDisplay split(kWidth, kHeight, {{left, PixelFormat::fromMasks(32, 0xFF0000, 0xFF00, 0xFF)},
                                           {right, PixelFormat::fromMasks(16, 0xF800, 0x7E0, 0x1F)}});
    const CatalogueRow& row = catalogueRow(std::string(GetParam()));
    const bool pieces = GetParam().rfind("ssRE", 0) == 0;
    CRandom singleRandom(5), splitRandom(5);
    CountingSink sink;
    TransitionPtr onSingle = pieces ? makePieceTransition(row) : makePush(row);
    TransitionPtr onSplit = pieces ? makePieceTransition(row) : makePush(row);
    onSingle->useRandom(singleRandom);
    onSplit->useRandom(splitRandom);
    ASSERT_EQ(onSingle->begin(*a, *b, single, sink), 0);
    ASSERT_EQ(onSplit->begin(*a, *b, split, sink), 0);
    const std::int64_t total = onSingle->describe().steps;
    for (std::int64_t k = 0; k <= 8; ++k) {
        onSingle->step(total * k / 8, false);
        onSplit->step(total * k / 8, false);
        ASSERT_EQ(split.snapshot(), split.reduced(single.snapshot())) << "step " << k;
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, SplitOutputs, ::testing::Values("ssPushRL", "ssPushTB", "ssREImplode", "ssRETwirl"));

}  // namespace
}  // namespace lv::test
