#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "transition/block_work.h"
#include "transition_fixture.h"

namespace lv {
namespace {

// The work surface read back as engine pixels must be the incoming picture
// inside the held rectangles and the outgoing one elsewhere, whatever
// rectangles were held before (grown, shrunk or moved), kept whole or in
// two bands of columns (split at column 9).
class BlockWorkHolds : public ::testing::TestWithParam<std::tuple<int, int>> {
protected:
    void SetUp() override {
        if (bits() == 24) format = PixelFormat::fromMasks(24, 0xFF0000, 0xFF00, 0xFF);
        work.reset(BlockWork::Pictures{a.get(), b.get(), &aRows, &bRows}, bits() == 24 ? &format : nullptr,
                   std::get<1>(GetParam()));
    }
    int bits() const { return std::get<0>(GetParam()); }
    void expectHolding(const std::vector<Rect>& held) {
        const PixelFormat kept = bits() == 24 ? format : PixelFormat::fromMasks(32, 0xFF0000, 0xFF00, 0xFF);
        for (std::int32_t y = 0; y < a->height; ++y) {
            for (std::int32_t x = 0; x < a->width; ++x) {
                std::uint32_t pixel = 0;
                loadPixels(kept, work.at(x, y), 1, &pixel);
                bool inside = false;
                for (const Rect& r : held) inside = inside || (x >= r.left && x < r.right() && y >= r.top && y < r.bottom());
                ASSERT_EQ(pixel, (inside ? *b : *a).row(y)[x]) << x << "," << y;
            }
        }
    }
    SurfacePtr a = test::fullPattern(23, 11, 1), b = test::fullPattern(23, 11, 2);
    FormattedRows aRows, bRows;
    PixelFormat format;
    BlockWork work;
};

TEST_P(BlockWorkHolds, GrowingShrinkingAndMovingRectangles) {
    const std::vector<std::vector<Rect>> steps = {
        {Rect{23, 0, 0, 5}, Rect{0, 5, 0, 6}},   // nothing yet, two halves
        {Rect{20, 0, 3, 5}, Rect{0, 5, 3, 6}},   // both grow from their edges
        {Rect{12, 0, 11, 5}, Rect{0, 5, 11, 6}},
        {Rect{15, 0, 8, 5}, Rect{0, 5, 11, 6}},  // one shrinks
        {Rect{2, 1, 5, 7}},                      // somewhere else
        {},
    };
    expectHolding({});
    for (const auto& held : steps) {
        work.hold(held);
        expectHolding(held);
    }
}

INSTANTIATE_TEST_SUITE_P(Layouts, BlockWorkHolds, ::testing::Combine(::testing::Values(24, 0), ::testing::Values(0, 9)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param) == 24 ? "Bgr24" : "EnginePixels") +
                                    (std::get<1>(info.param) == 0 ? "" : "TwoBands");
                         });

}  // namespace
}  // namespace lv
