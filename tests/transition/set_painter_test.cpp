// Sets painted straight onto the display give the bytes that a frame record
// of the same sets gives, in every output format, shifted partly out of the
// window, with blends at many levels and sets that overlap.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "transition/set_painter.h"
#include "transition_fixture.h"

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

}  // namespace
}  // namespace lv::test
