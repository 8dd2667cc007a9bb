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

// One output of the given format over the whole window, its bytes kept.
class FormatDisplay : public Display {
public:
    FormatDisplay(std::int32_t width, std::int32_t height, const PixelFormat& format) {
        clientWidth_ = width;
        clientHeight_ = height;
        view_ = Rect{0, 0, width, height};
        outputs_.push_back(DisplayOutput{view_, format, format.bytesPerPixel * 8});
        bytes.assign(static_cast<std::size_t>(width) * height * format.bytesPerPixel, 0x5A);
    }
    bool lock(std::vector<LockedOutput>& out) override {
        out.assign(1, LockedOutput{view_, bytes.data(), clientWidth_ * outputs_[0].format.bytesPerPixel, &outputs_[0].format});
        return true;
    }
    void unlockAndPresent() override {}
    void waitForFrame() override {}
    int blit(const OffscreenSurface&, const Rect&, const Rect&) override { return 1; }
    int fillBlack(const Rect&) override { return 1; }

    std::vector<std::uint8_t> bytes;
};

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
        FormatDisplay viaRecord(kWidth, kHeight, GetParam()), straight(kWidth, kHeight, GetParam());
        FrameRecord record;
        mergeSets(list, record);
        ASSERT_TRUE(paintFrameRecord(record, viaRecord, ox, oy, nullptr));
        ASSERT_TRUE(paintSets(list, straight, ox, oy));
        EXPECT_EQ(straight.bytes, viaRecord.bytes);
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
