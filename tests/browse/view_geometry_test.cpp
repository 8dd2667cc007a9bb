#include "browse/view_geometry.h"

#include <gtest/gtest.h>

namespace lv {
namespace {

// Files are fitted both ways, the program's own pictures never enlarged.
TEST(ViewZoom, FilesAreFittedBothWaysProgramPicturesOnlyShrunk) {
    EXPECT_DOUBLE_EQ(fitZoom({3000, 2000}, {600, 400}), 0.2);
    EXPECT_DOUBLE_EQ(fitZoom({300, 200}, {600, 400}), 2.0);
    EXPECT_DOUBLE_EQ(shrinkZoom({300, 200}, {600, 400}), 1.0);
    EXPECT_DOUBLE_EQ(shrinkZoom({3000, 2000}, {600, 400}), 0.2);
}

TEST(ViewZoom, ScriptValuesAreClampedThousandthsAndZeroIsSafe) {
    EXPECT_DOUBLE_EQ(clampZoom(readDecimal("50") / 1000), 0.1);
    EXPECT_DOUBLE_EQ(clampZoom(readDecimal("200000") / 1000), 100.0);
    EXPECT_DOUBLE_EQ(clampZoom(readDecimal("  +1.5e3xyz") / 1000), 1.5);
    // Zero and nonsense never reach a division.
    EXPECT_DOUBLE_EQ(clampZoom(0), kMinZoom);
    EXPECT_DOUBLE_EQ(clampZoom(readDecimal("abc")), kMinZoom);
    EXPECT_DOUBLE_EQ(fitZoom({0, 0}, {600, 400}), 1.0);
    EXPECT_DOUBLE_EQ(fitZoom({10, 10}, {0, 0}), 1.0);
}

TEST(ViewPan, ScalesWithTheZoom) {
    EXPECT_EQ(scalePan({10, 10}, 1.0, 1.5), (PanOffset{15, 15}));
    EXPECT_EQ(scalePan({-7, 3}, 2.0, 1.0), (PanOffset{-3, 1}));
}

TEST(ViewRectangle, CentredAndMovedBackByThePan) {
    EXPECT_EQ(pictureRect({3000, 2000}, 0.2, {600, 400}, {0, 0}), (ViewRect{0, 0, 600, 400}));
    EXPECT_EQ(pictureRect({100, 50}, 1.0, {300, 200}, {0, 0}), (ViewRect{100, 75, 200, 125}));
    EXPECT_EQ(pictureRect({100, 50}, 1.0, {300, 200}, {10, -5}), (ViewRect{90, 80, 190, 130}));
}

TEST(ViewRectangle, ZoomAboutThePointerKeepsThatPoint) {
    const PictureSize picture{400, 300}, client{400, 300};
    const PanOffset pan = panKeepingPoint(100, 50, picture, client, {0, 0}, 1.0, 2.0);
    const ViewRect after = pictureRect(picture, 2.0, client, pan);
    EXPECT_EQ(windowToPicture(100, 50, after, 2.0, picture), (PanOffset{100, 50}));
}

TEST(ViewRectangle, WindowPointsMapToPictureCoordinatesWithinThePicture) {
    const ViewRect r{100, 75, 300, 175};  // 100 x 50 at zoom 2
    EXPECT_EQ(windowToPicture(120, 85, r, 2.0, {100, 50}), (PanOffset{10, 5}));
    EXPECT_EQ(windowToPicture(0, 500, r, 2.0, {100, 50}), (PanOffset{0, 50}));
}

TEST(PageFit, FittedAndCentredOnThePageUnequalResolutionsCorrectingTheHeight) {
    EXPECT_EQ(pageRect({1600, 1200}, {4800, 6400}, 600, 600), (ViewRect{0, 1400, 4800, 5000}));
    const ViewRect r = pageRect({1600, 1200}, {4800, 6400}, 600, 300);
    EXPECT_EQ(r.width(), 4800);
    EXPECT_EQ(r.height(), 1800);  // half the height relative to the width
}

TEST(PageFit, NoPictureOrResolutionGivesNothing) {
    EXPECT_EQ(pageRect({0, 0}, {100, 100}, 600, 600), ViewRect{});
    EXPECT_EQ(pageRect({10, 10}, {100, 100}, 0, 600), ViewRect{});
}

}  // namespace
}  // namespace lv
