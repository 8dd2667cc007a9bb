#include "render/shape_geometry.h"

#include <gtest/gtest.h>

namespace lv {
namespace {

TEST(ShapeRectangle, EdgesAndSizesCombine) {
    EXPECT_EQ(shapeRectangle(200, 100, {}), (IntRect{0, 0, 200, 100}));
    EXPECT_EQ(shapeRectangle(200, 100, {.left = 10}), (IntRect{10, 0, 200, 100}));
    EXPECT_EQ(shapeRectangle(200, 100, {.left = 10, .width = 30}), (IntRect{10, 0, 40, 100}));
    EXPECT_EQ(shapeRectangle(200, 100, {.right = 150, .width = 30}), (IntRect{120, 0, 150, 100}));
    EXPECT_EQ(shapeRectangle(200, 100, {.width = 30}), (IntRect{0, 0, 30, 100}));
    EXPECT_EQ(shapeRectangle(200, 100, {.bottom = 80, .height = 20}), (IntRect{0, 60, 200, 80}));
    EXPECT_EQ(shapeRectangle(200, 100, {.left = 5, .top = 6, .right = 7, .bottom = 8}), (IntRect{5, 6, 7, 8}));
}

TEST(ScaledSize, KeepsProportionsWhenOneSideIsMissing) {
    EXPECT_EQ(scaledSize(400, 300, 200, std::nullopt), (PictureSize{200, 150}));
    EXPECT_EQ(scaledSize(400, 300, std::nullopt, 60), (PictureSize{80, 60}));
    EXPECT_EQ(scaledSize(400, 300, 10, 10), (PictureSize{10, 10}));
    EXPECT_FALSE(scaledSize(400, 300, std::nullopt, std::nullopt));
}

}  // namespace
}  // namespace lv
