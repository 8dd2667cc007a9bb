#include <gtest/gtest.h>

#include <vector>

#include "transition/block_work.h"
#include "transition_fixture.h"

namespace lv {
namespace {

// The work surface read back as engine pixels must be the incoming picture
// inside the held rectangles and the outgoing one elsewhere, whatever
// rectangles were held before (grown, shrunk or moved).
class BlockWorkHolds : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        if (GetParam() == 24) format = PixelFormat::fromMasks(24, 0xFF0000, 0xFF00, 0xFF);
        work.reset(BlockWork::Pictures{a.get(), b.get(), &aRows, &bRows}, GetParam() == 24 ? &format : nullptr);
    }
    void expectHolding(const std::vector<Rect>& held) {
        for (std::int32_t y = 0; y < a->height; ++y) {
            std::vector<std::uint32_t> row(static_cast<std::size_t>(a->width));
            loadPixels(GetParam() == 24 ? format : PixelFormat::fromMasks(32, 0xFF0000, 0xFF00, 0xFF), work.row(y),
                       a->width, row.data());
            for (std::int32_t x = 0; x < a->width; ++x) {
                bool inside = false;
                for (const Rect& r : held) inside = inside || (x >= r.left && x < r.right() && y >= r.top && y < r.bottom());
                ASSERT_EQ(row[static_cast<std::size_t>(x)], (inside ? *b : *a).row(y)[x]) << x << "," << y;
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

INSTANTIATE_TEST_SUITE_P(Layouts, BlockWorkHolds, ::testing::Values(24, 0),
                         [](const auto& info) { return info.param == 24 ? std::string("Bgr24") : std::string("EnginePixels"); });

}  // namespace
}  // namespace lv
