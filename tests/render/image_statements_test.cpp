#include "render/image_statements.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "../script/script_fixture.h"
#include "render/bitmap_object.h"
#include "shell/process.h"

namespace lv {
namespace {

class ImageStatements : public ScriptFixture {
protected:
    ImageStatements() {
        objects.registerType(bitmapType());
        installImageStatements(engine);
    }
    ~ImageStatements() override { objects.unregisterType(bitmapType()); }

    Bitmap* bitmap(std::string_view name) { return bitmapObject(objects, name); }
    const std::uint8_t* px(std::string_view name, int x, int y) {
        Bitmap* b = bitmap(name);
        return b->rows[y] + x * (b->depth / 8);
    }
};

TEST_F(ImageStatements, BitmapNeedsBothSidesAndAKnownDepthAndDereferencesItsName) {
    let("which", "real");
    runLines("bitmap name=a width=10 height=5\nbitmap name=g width=3 height=3 bits=8\n"
           "bitmap name=bad width=10\nbitmap name=odd width=2 height=2 bits=16\nbitmap name=$which width=2 height=2");
    ASSERT_TRUE(bitmap("a"));
    EXPECT_EQ(bitmap("a")->depth, 24);
    EXPECT_EQ(bitmap("g")->depth, 8);
    EXPECT_FALSE(bitmap("bad"));
    EXPECT_FALSE(bitmap("odd"));
    EXPECT_EQ(objects.get("a", kwWidth), "10");
    EXPECT_TRUE(bitmap("real"));
}

TEST_F(ImageStatements, RectWithOnlyANamePaintsTheWholeBitmapWhite) {
    runLines("bitmap name=a width=4 height=3\nrect name=a");
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(px("a", x, y)[1], 255);
}

TEST_F(ImageStatements, RectGeometryAndColours) {
    runLines("bitmap name=a width=20 height=20\nrect name=a innerColor=#000000\n"
           "rect name=a left=5 width=3 top=2 height=4 innerColor=#FF0000");
    EXPECT_EQ(px("a", 5, 2)[2], 255);  // red is the pixel's third byte
    EXPECT_EQ(px("a", 7, 5)[2], 255);
    EXPECT_EQ(px("a", 8, 5)[2], 0);
    EXPECT_EQ(px("a", 5, 6)[2], 0);
}

TEST_F(ImageStatements, PatternOriginAndMask) {
    runLines("bitmap name=p width=2 height=1\nrect name=p innerColor=#FFFFFF\nrect name=p width=1 innerColor=#000000\n"
           "bitmap name=a width=6 height=1\nrect name=a innerColor=#808080\n"
           "rect name=a innerBit=p innerBitX=1");
    // The pattern's black column 0 falls on x = 1, 3, 5.
    EXPECT_EQ(px("a", 1, 0)[0], 0);
    EXPECT_EQ(px("a", 2, 0)[0], 255);
    EXPECT_EQ(px("a", 0, 0)[0], 255);
}

TEST_F(ImageStatements, CropTakesMarginsFromEachSide) {
    runLines("bitmap name=a width=10 height=8\ncrop name=a left=1 top=2 right=3 bottom=1");
    EXPECT_EQ(bitmap("a")->width, 6);
    EXPECT_EQ(bitmap("a")->height, 5);
}

// An odd angle is refused; no angle turns a quarter; -90 turns clockwise.
TEST_F(ImageStatements, RotateReplacesAndRefusesOddAngles) {
    runLines("bitmap name=a width=10 height=4\nrotate name=a angle=45");
    EXPECT_EQ(bitmap("a")->width, 10);
    runLines("rotate name=a");
    EXPECT_EQ(bitmap("a")->width, 4);
    EXPECT_EQ(bitmap("a")->height, 10);
    runLines("bitmap name=b width=2 height=1\nrect name=b innerColor=#000000\nrect name=b width=1 innerColor=#FFFFFF\n"
           "rotate name=b angle=-90");
    // White was on the left; a clockwise turn puts it on top.
    EXPECT_EQ(px("b", 0, 0)[0], 255);
    EXPECT_EQ(px("b", 0, 1)[0], 0);
}

TEST_F(ImageStatements, BlurGrowsAndSpreadLeavesColourPictures) {
    runLines("bitmap name=a width=100 height=50\nblur name=a radius=3\nspread name=a radius=2");
    EXPECT_EQ(bitmap("a")->width, 106);
    EXPECT_EQ(bitmap("a")->height, 56);
    runLines("bitmap name=g width=4 height=4 bits=8\nspread name=g radius=2");
    EXPECT_EQ(bitmap("g")->width, 8);
}

TEST_F(ImageStatements, AdjustAllZeroChangesNothing) {
    runLines("bitmap name=a width=2 height=1\nrect name=a innerColor=#102030\nadjust name=a\nadjust name=a white=0");
    EXPECT_EQ(px("a", 0, 0)[0], 0x30);
    runLines("adjust name=a white=256");
    EXPECT_EQ(px("a", 0, 0)[0], 0x5F);  // 511 * 48 / 256
}

TEST_F(ImageStatements, TextIsCentredAndTakesDollarReferences) {
    runLines("bitmap name=a width=400 height=100\nrect name=a\ntext name=a text=Hello");
    Bitmap* b = bitmap("a");
    int left = b->width, right = 0, top = b->height, bottom = 0;
    for (int y = 0; y < b->height; ++y)
        for (int x = 0; x < b->width; ++x)
            if (b->rows[y][3 * x] < 128) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
    ASSERT_LT(left, right);
    EXPECT_NEAR((left + right) / 2.0, 200, 4);
    EXPECT_NEAR((top + bottom) / 2.0, 50, 6);

    let("caption", "Some words");
    runLines("bitmap name=b width=400 height=100\nrect name=b\ntext name=b text=$caption");
    runLines("bitmap name=c width=400 height=100\nrect name=c\ntext name=c text=\"Some words\"");
    Bitmap* viaString = bitmap("b");
    Bitmap* direct = bitmap("c");
    EXPECT_EQ(std::memcmp(viaString->pixels(), direct->pixels(), direct->pixelBytes()), 0);
}

TEST_F(ImageStatements, ScaleKeepsProportionsWhenOneSideIsGiven) {
    runLines("bitmap name=a width=400 height=300\nscale name=a width=200");
    EXPECT_EQ(bitmap("a")->width, 200);
    EXPECT_EQ(bitmap("a")->height, 150);
    runLines("scale name=a height=30");
    EXPECT_EQ(bitmap("a")->width, 40);
    runLines("scale name=a");  // neither side: unchanged
    EXPECT_EQ(bitmap("a")->width, 40);
}

TEST_F(ImageStatements, BitmapFromASourceFileInTheProgramFolder) {
    StartupArgs args;
    args.programFolder = std::string(LUMAVINE_SOURCE_DIR) + "/tests/data/jpeg/";
    setStartupArgs(args);
    runLines("bitmap name=photo source=s444.jpg\nbitmap name=none source=missing.jpg\nbitmap name=bad source=s444.ppm");
    ASSERT_TRUE(bitmap("photo"));
    EXPECT_EQ(bitmap("photo")->width, 77);
    EXPECT_EQ(bitmap("photo")->height, 53);
    EXPECT_FALSE(bitmap("none"));
    EXPECT_FALSE(bitmap("bad"));
    setStartupArgs(StartupArgs{});
}

TEST_F(ImageStatements, MissingTargetsDoNothing) {
    runLines("rect name=nothing\ntext name=nothing text=x\nblur name=nothing\ncrop name=nothing left=1");
    EXPECT_TRUE(host.boxes.empty());
}

}  // namespace
}  // namespace lv
