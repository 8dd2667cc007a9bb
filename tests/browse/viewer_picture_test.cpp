#include "browse/viewer_picture.h"

#include <gtest/gtest.h>

#include <cstring>

namespace lv {
namespace {

// A w x h picture: the left half 100, the right half 200 in every channel.
BitmapPtr halves(int w, int h) {
    BitmapPtr p = createBitmap("p", w, h, 24);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) std::memset(p->rows[y] + 3 * x, x < w / 2 ? 100 : 200, 3);
    return p;
}

class ViewerPictureTest : public ::testing::Test {
protected:
    ViewerPicture v;
    void load(int w = 4, int h = 2, std::string name = "a.jpg") { v.open(halves(w, h), std::move(name), {400, 200}); }
    int pixel(int x, int y) { return v.shown()->rows[y][3 * x]; }
};

TEST_F(ViewerPictureTest, LevelsAddUpAgainstTheBase) {
    load();
    v.addLevel(Level::Bright, 10);
    v.applyAdjustments();
    const int once = pixel(0, 0);
    v.addLevel(Level::Bright, 10);
    v.applyAdjustments();
    const int twice = pixel(0, 0);
    ViewerPicture w;
    w.open(copyBitmap(*v.base()), "b", {400, 200});
    w.addLevel(Level::Bright, 20);
    w.applyAdjustments();
    EXPECT_EQ(twice, w.shown()->rows[0][0]);
    EXPECT_NE(once, twice);
    EXPECT_TRUE(v.modified);
}

TEST_F(ViewerPictureTest, TurningCommitsTheLevelsFirst) {
    load();
    v.addLevel(Level::Bright, 30);
    v.turn(90);
    v.applyAdjustments();
    EXPECT_EQ(v.shownSize(), (PictureSize{2, 4}));
    EXPECT_NE(v.base()->rows[0][0], 100);  // the brightened picture became the base
}

TEST_F(ViewerPictureTest, MirrorTogglesAndZeroDoesNothing) {
    load();
    v.toggleMirror(true, 1);
    v.applyAdjustments();
    EXPECT_EQ(pixel(0, 0), 200);
    v.toggleMirror(true, 0);
    v.applyAdjustments();
    EXPECT_EQ(pixel(0, 0), 200);
    v.toggleMirror(true, 1);  // commits the first mirror, then mirrors back
    v.applyAdjustments();
    EXPECT_EQ(pixel(0, 0), 100);
}

TEST_F(ViewerPictureTest, OpenedFilesAreFittedShownPicturesShrunkOnly) {
    load(4, 2);
    EXPECT_DOUBLE_EQ(v.zoom, 100.0);  // 400 / 4 = 100, the limit
    v.show(createBitmap("s", 40, 20, 24), "s", {400, 200});
    EXPECT_DOUBLE_EQ(v.zoom, 1.0);
}

TEST_F(ViewerPictureTest, ZoomKeepsItsLimitsAndScalesThePan) {
    load(800, 400);
    v.setZoom(1.0);
    v.pan = {10, 10};
    v.setZoom(1.5);
    EXPECT_EQ(v.pan, (PanOffset{15, 15}));
    v.setZoomUnscaled(0);
    EXPECT_DOUBLE_EQ(v.zoom, kMinZoom);
    v.setZoomUnscaled(1e9);
    EXPECT_DOUBLE_EQ(v.zoom, kMaxZoom);
}

TEST_F(ViewerPictureTest, ResizingRefits) {
    load(800, 400);
    v.setZoom(3.0);
    EXPECT_TRUE(v.refit({400, 400}));
    EXPECT_DOUBLE_EQ(v.zoom, 0.5);
    EXPECT_FALSE(v.refit({400, 400}));
}

TEST_F(ViewerPictureTest, CropTakesTheOrderedSelection) {
    load(4, 2);
    v.selection = {3, 2, 1, 0};
    ASSERT_TRUE(v.crop());
    EXPECT_EQ(v.shownSize(), (PictureSize{2, 2}));
    EXPECT_EQ(v.selection.left, -1);
    EXPECT_TRUE(v.modified);
    EXPECT_FALSE(v.crop());
    v.selection = {1, 0, 1, 2};  // empty
    EXPECT_FALSE(v.crop());
    EXPECT_EQ(v.shownSize(), (PictureSize{2, 2}));
}

TEST_F(ViewerPictureTest, ReloadKeepsThePathAndClearsModified) {
    load(4, 2, "C:\\keep.jpg");
    v.addLevel(Level::Contrast, 5);
    v.applyAdjustments();
    v.reload(createBitmap("r", 4, 2, 24), {400, 200});
    EXPECT_EQ(v.path, "C:\\keep.jpg");
    EXPECT_FALSE(v.modified);
    EXPECT_FALSE(v.adjustPending());
}

TEST_F(ViewerPictureTest, ShowPicturesWhilePlayingKeepTheBaseAndAreFittedOnce) {
    load(4, 2);
    const Bitmap* base = v.base();
    const double zoom = v.zoom;
    v.showPlaying(createBitmap("cell", 800, 600, 24), "cell", {400, 200});
    EXPECT_EQ(v.base(), base);
    EXPECT_EQ(v.shownSize(), (PictureSize{267, 200}));  // resized once to its fitted size
    EXPECT_EQ(v.zoom, zoom);
    EXPECT_EQ(v.path, "cell");
    // One side matching the window: not resized, the zoom shrinks it instead.
    v.showPlaying(createBitmap("wide", 800, 200, 24), "wide", {400, 200});
    EXPECT_EQ(v.shownSize(), (PictureSize{800, 200}));
    EXPECT_DOUBLE_EQ(v.zoom, 0.5);
}

// A picture opened at half its size: the whole picture is 8 x 4, held at 4 x 2 until more is needed.
class ReducedViewerPicture : public ::testing::Test {
protected:
    ViewerPicture v;
    int loads = 0;
    bool loadFails = false;
    void openHalf(PictureSize window = {4, 2}) {
        v.openReduced(halves(4, 2), {8, 4}, 2, [this] { return ++loads, loadFails ? nullptr : halves(8, 4); }, "a.jpg",
                      window);
    }
};

TEST_F(ReducedViewerPicture, SizesAndZoomAreTheWholePictures) {
    openHalf();
    EXPECT_TRUE(v.reduced());
    EXPECT_EQ(v.shownSize(), (PictureSize{8, 4}));
    EXPECT_DOUBLE_EQ(v.zoom, 0.5);
    EXPECT_EQ(v.shown()->width, 4);
    EXPECT_EQ(loads, 0);
}

TEST_F(ReducedViewerPicture, ZoomingInPastWhatIsHeldDecodesTheWholePictureOnce) {
    openHalf();
    v.setZoom(0.5);
    v.addLevel(Level::Bright, 10);
    v.applyAdjustments();  // levels alone keep it reduced
    EXPECT_EQ(loads, 0);
    EXPECT_EQ(v.shownSize(), (PictureSize{8, 4}));
    v.setZoom(0.75);
    EXPECT_EQ(loads, 1);
    EXPECT_FALSE(v.reduced());
    v.applyAdjustments();
    EXPECT_EQ(v.shown()->width, 8);
    EXPECT_GT(v.shown()->rows[0][0], 100);  // the levels, applied to the whole picture
    v.setZoomUnscaled(3.0);
    EXPECT_EQ(loads, 1);
}

TEST_F(ReducedViewerPicture, TurningAndCroppingWorkOnTheWholePicture) {
    openHalf();
    v.turn(90);
    v.applyAdjustments();
    EXPECT_EQ(loads, 1);
    EXPECT_EQ(v.shownSize(), (PictureSize{4, 8}));
    openHalf();
    v.selection = {4, 0, 8, 4};  // the right half, in whole-picture pixels
    ASSERT_TRUE(v.crop());
    EXPECT_EQ(v.shownSize(), (PictureSize{4, 4}));
    EXPECT_EQ(v.shown()->rows[0][0], 200);
}

TEST_F(ReducedViewerPicture, OutputsGetTheWholePictureOrNothing) {
    openHalf();
    loadFails = true;
    EXPECT_FALSE(v.ensureFull());
    EXPECT_TRUE(v.reduced());
    loadFails = false;
    ASSERT_TRUE(v.ensureFull());
    EXPECT_EQ(v.shown()->width, 8);
    EXPECT_TRUE(v.ensureFull());
    EXPECT_EQ(loads, 2);
}

TEST_F(ReducedViewerPicture, ANewPictureIsWholeAgain) {
    openHalf();
    v.show(halves(6, 2), "b.jpg", {4, 2});
    EXPECT_FALSE(v.reduced());
    EXPECT_EQ(v.shownSize(), (PictureSize{6, 2}));
}

TEST(SavePrompt, OnlyASaveOrNoLetsTheEditsGo) {
    EXPECT_TRUE(promptLetsGo(PromptAnswer::No, SaveResult::Cancelled));
    EXPECT_TRUE(promptLetsGo(PromptAnswer::Yes, SaveResult::Saved));
    EXPECT_FALSE(promptLetsGo(PromptAnswer::Yes, SaveResult::Cancelled));
    EXPECT_FALSE(promptLetsGo(PromptAnswer::Yes, SaveResult::Failed));
}

}  // namespace
}  // namespace lv
