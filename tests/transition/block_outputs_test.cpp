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

class SplitDisplay : public Display {
public:
    SplitDisplay(std::int32_t width, std::int32_t height) {
        clientWidth_ = width;
        clientHeight_ = height;
        view_ = Rect{0, 0, width, height};
        outputs_.push_back(DisplayOutput{Rect{0, 0, width / 2, height}, PixelFormat::fromMasks(32, 0xFF0000, 0xFF00, 0xFF), 32});
        outputs_.push_back(DisplayOutput{Rect{width / 2, 0, width - width / 2, height},
                                         PixelFormat::fromMasks(16, 0xF800, 0x7E0, 0x1F), 16});
        for (const DisplayOutput& o : outputs_)
            buffers_.emplace_back(static_cast<std::size_t>(o.monitor.width) * o.monitor.height * o.format.bytesPerPixel);
    }
    bool lock(std::vector<LockedOutput>& outputs) override {
        outputs.clear();
        for (std::size_t i = 0; i < outputs_.size(); ++i) {
            const DisplayOutput& o = outputs_[i];
            outputs.push_back(LockedOutput{o.monitor, buffers_[i].data(), o.monitor.width * o.format.bytesPerPixel, &o.format});
        }
        return true;
    }
    void unlockAndPresent() override {}
    void waitForFrame() override {}
    int blit(const OffscreenSurface&, const Rect&, const Rect&) override { return 1; }
    int fillBlack(const Rect&) override { return 1; }

    // The window as engine pixels read back from each output.
    std::vector<std::uint32_t> snapshot() const {
        std::vector<std::uint32_t> out(static_cast<std::size_t>(clientWidth_) * clientHeight_);
        for (std::size_t i = 0; i < outputs_.size(); ++i) {
            const DisplayOutput& o = outputs_[i];
            const std::size_t pitch = static_cast<std::size_t>(o.monitor.width) * o.format.bytesPerPixel;
            for (std::int32_t y = 0; y < o.monitor.height; ++y)
                loadPixels(o.format, buffers_[i].data() + pitch * y, o.monitor.width,
                           out.data() + static_cast<std::size_t>(y) * clientWidth_ + o.monitor.left);
        }
        return out;
    }
    // A window of engine pixels as these outputs would show it.
    std::vector<std::uint32_t> reduced(std::vector<std::uint32_t> pixels) const {
        std::vector<std::uint8_t> bytes(4);
        for (std::int32_t y = 0; y < clientHeight_; ++y) {
            for (std::int32_t x = 0; x < clientWidth_; ++x) {
                const PixelFormat& f = outputs_[x < outputs_[1].monitor.left ? 0 : 1].format;
                std::uint32_t& p = pixels[static_cast<std::size_t>(y) * clientWidth_ + x];
                storePixels(f, &p, 1, bytes.data());
                loadPixels(f, bytes.data(), 1, &p);
            }
        }
        return pixels;
    }

private:
    std::vector<std::vector<std::uint8_t>> buffers_;
};

class SplitOutputs : public ::testing::TestWithParam<std::string_view> {};

TEST_P(SplitOutputs, EveryFrameEqualsTheOneOutputFrameInEachFormat) {
    constexpr std::int32_t kWidth = 90, kHeight = 50;
    const SurfacePtr a = piecePattern(kWidth, kHeight, Rect{0, 0, kWidth, kHeight}, false);
    const SurfacePtr b = piecePattern(kWidth, kHeight, Rect{0, 0, kWidth, kHeight}, true);
    BackBufferDisplay single(kWidth, kHeight);
    SplitDisplay split(kWidth, kHeight);
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
