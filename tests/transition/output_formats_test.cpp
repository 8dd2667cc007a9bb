// Painting on outputs of other formats than the engine's pixels.
//
// Sets painted straight onto the display give the bytes that a frame record
// of the same sets gives, in every output format, shifted partly out of the
// window, with blends at many levels and sets that overlap.
//
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
#include "transition/set_painter.h"

namespace lv::test {
namespace {

class SetPainting : public ::testing::TestWithParam<PixelFormat> {
protected:
    static constexpr std::int32_t kWidth = 37, kHeight = 23;
    SurfacePtr a = fullPattern(kWidth, kHeight, 1), b = fullPattern(kWidth, kHeight, 2);
    SetSource source{a.get(), b.get()};
    ClaimMap claims{kWidth, kHeight};
    std::vector<PixelSet> sets;

    // The display painted through a frame record and straight from the sets.
    void expectSameBytes(std::int32_t ox, std::int32_t oy) {
        std::vector<const PixelSet*> list;
        for (const PixelSet& set : sets) list.push_back(&set);
        const std::vector<std::pair<Rect, PixelFormat>> whole = {{Rect{0, 0, kWidth, kHeight}, GetParam()}};
        OutputsDisplay viaRecord(kWidth, kHeight, whole, 0x5A), straight(kWidth, kHeight, whole, 0x5A);
        FrameRecord record;
        mergeSets(list, record);
        ASSERT_TRUE(paintFrameRecord(record, viaRecord, ox, oy, nullptr));
        ASSERT_TRUE(paintSets(list, straight, ox, oy));
        EXPECT_EQ(straight.bytes[0], viaRecord.bytes[0]);
    }
};

TEST_P(SetPainting, EqualsTheFrameRecordOfTheSameSets) {
    for (std::int32_t x = 0; x < kWidth; ++x) {
        sets.push_back(columnSet(source, x, 0, kHeight, true));
        sets.back().mode = x % 3 == 2 ? SetMode::ShowIncoming : SetMode::Blend;
        sets.back().level = x * 256 / kWidth;
    }
    // Over the columns, given first: painted last, as the record groups fills after blends.
    sets.insert(sets.begin(), lineSet(source, 0, kHeight - 1, kWidth - 1, 0, claims, true));
    sets.front().mode = SetMode::Fill;
    sets.push_back(circleRingSet(source, 18, 11, 9, claims, true));
    sets.back().mode = SetMode::Blend;
    sets.back().level = 256;
    expectSameBytes(0, 0);
    expectSameBytes(5, -3);   // partly right of and above the window
    expectSameBytes(-40, 0);  // wholly outside
}

INSTANTIATE_TEST_SUITE_P(Formats, SetPainting,
                         ::testing::Values(PixelFormat::fromMasks(24, 0xFF0000, 0xFF00, 0xFF),
                                           PixelFormat::fromMasks(24, 0xFF, 0xFF00, 0xFF0000),
                                           PixelFormat::fromMasks(32, 0xFF0000, 0xFF00, 0xFF),
                                           PixelFormat::fromMasks(32, 0xFF00, 0xFF0000, 0xFF000000),
                                           PixelFormat::fromMasks(16, 0xF800, 0x7E0, 0x1F)),
                         [](const auto& info) { return "code" + std::to_string(info.param.code); });

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
