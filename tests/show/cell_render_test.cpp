// What each cell setting does to the rendered pixels.
#include "show/cell_render.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <optional>

#include "show/caption_draw.h"
#include "show/cell_geometry.h"
#include "show/tint.h"
#include "show_samples.h"

namespace lv::test {
namespace {

constexpr Rgb kBlack{0, 0, 0}, kWhite{255, 255, 255}, kRed{255, 0, 0}, kBlue{0, 0, 255}, kGreen{0, 255, 0};

// Within one step per channel: the scaler's filters may round 255 to 254.
bool near(Rgb a, Rgb b) { return std::abs(a.r - b.r) <= 1 && std::abs(a.g - b.g) <= 1 && std::abs(a.b - b.b) <= 1; }

class CellRenderTest : public ::testing::Test {
protected:
    std::map<std::string, const Bitmap*> pictures;
    std::vector<BitmapPtr> owned;
    Show show;
    ShowCell& cell() { return show.cells.at(0); }

    void SetUp() override {
        show.cells.resize(1);
        cell().hasImage = 1;
        cell().imageFile = "pic.jpg";
        cell().background = 1;
        cell().backgroundColour = 0;
    }
    template <class F>
    void usePicture(int w, int h, F colourAt) {
        owned.push_back(picture(w, h, colourAt));
        pictures["pic.jpg"] = owned.back().get();
    }
    BitmapPtr render(int w, int h, CellRenderOptions options = {}) {
        CellRenderer renderer([this](const std::string& name) -> BitmapPtr {
            auto it = pictures.find(name);
            return it == pictures.end() ? nullptr : copyBitmap(*it->second);
        });
        BitmapPtr out = renderer.render(show, 0, w, h, options);
        EXPECT_TRUE(out);
        return out;
    }
    // Every pixel of the frame satisfies the predicate.
    template <class P>
    static bool all(const Bitmap& b, P ok) {
        for (int y = 0; y < b.height; ++y)
            for (int x = 0; x < b.width; ++x)
                if (!ok(pixel(b, x, y), x, y)) return false;
        return true;
    }
};

// A cell setting and the colours it puts at places of the frame (or on every
// pixel). Pictures and settings are plain functions so each row stays one line.
struct Spot {
    int x, y;
    Rgb colour;
};
struct CellCase {
    const char* name;
    Rgb (*paint)(int, int);  // nullptr: the cell has no picture
    int pictureWidth, pictureHeight;
    void (*set)(Show&, ShowCell&);
    int frameWidth, frameHeight;
    std::vector<Spot> spots;
    std::optional<Rgb> everywhere = {};
    int tolerance = 0;  // a step for the scaler's filters
};

void PrintTo(const CellCase& c, std::ostream* out) { *out << c.name; }

Rgb leftRed(int x, int) { return x < 20 ? kRed : kBlue; }
Rgb white(int, int) { return kWhite; }

const CellCase kCellCases[] = {
    // Background.
    {"BackgroundColourIsExact", nullptr, 0, 0, [](Show&, ShowCell& c) { c.backgroundColour = 0x00336699; }, 64, 48, {},
     Rgb{0x99, 0x66, 0x33}},
    {"ShowBackgroundWhenTheCellAsksForIt", nullptr, 0, 0,
     [](Show& s, ShowCell& c) { c.useShowBackground = 1, s.backgroundColour = 0x000000FF; }, 8, 8, {{3, 3, kRed}}},
    {"NoBackgroundFlagIsBlack", nullptr, 0, 0, [](Show&, ShowCell& c) { c.background = 0, c.backgroundColour = 0xFFFFFF; },
     8, 8, {{3, 3, kBlack}}},
    // Fit modes: 400 x 300 inside 800 x 400 is 534 wide from 133.
    {"FitInsidePlacesThePictureBetweenBars", white, 400, 300, [](Show&, ShowCell& c) { c.fitMode = 1; }, 800, 400,
     {{132, 0, kBlack}, {133, 0, kWhite}, {666, 200, kWhite}, {667, 200, kBlack}, {132, 399, kBlack}, {666, 399, kWhite}}},
    // In 700 x 400: a 525 x 300 source from -62 cuts 82.67 and 84 drawing pixels, truncated to 82 and 84,
    // so the picture is 534 wide from 82, not 83 as rounding would give.
    {"FitInsideCutsTruncatingTowardZero", white, 400, 300, [](Show&, ShowCell& c) { c.fitMode = 1; }, 700, 400,
     {{81, 0, kBlack}, {82, 0, kWhite}, {615, 200, kWhite}, {616, 200, kBlack}}},
    {"FillCropsTheOverflowAndCoversTheFrame", [](int, int y) { return y < 50 || y >= 250 ? kGreen : kWhite; }, 400, 300,
     [](Show&, ShowCell& c) { c.fitMode = 2; }, 800, 400, {}, kWhite},
    {"NaturalSizeIsCentredPixelForPixel", [](int x, int y) { return Rgb{x * 2, y * 4, 77}; }, 100, 50,
     [](Show&, ShowCell& c) { c.fitMode = 0; }, 200, 100,
     {{49, 24, kBlack}, {50, 25, Rgb{0, 0, 77}}, {149, 74, Rgb{198, 196, 77}}, {150, 75, kBlack}}},
    {"OtherFitModesStretchToTheFrame", [](int, int) { return kRed; }, 100, 50, [](Show&, ShowCell& c) { c.fitMode = 7; },
     90, 300, {{0, 0, kRed}, {45, 150, kRed}, {89, 299, kRed}}, {}, 1},
    // Zoom and pan.
    {"Zoom20000ShowsTheMiddleHalf", [](int x, int y) { return x < 25 || x >= 75 || y < 25 || y >= 75 ? kRed : kBlue; },
     100, 100, [](Show&, ShowCell& c) { c.fitMode = 2, c.zoom = 20000; }, 100, 100, {}, kBlue},
    {"ZeroZoomCountsAsNoZoom", [](int x, int) { return x < 50 ? kRed : kBlue; }, 100, 100,
     [](Show&, ShowCell& c) { c.fitMode = 2, c.zoom = 0; }, 100, 100, {{0, 50, kRed}, {99, 50, kBlue}}},
    {"NegativeZoomCountsAsNoZoom", [](int x, int) { return x < 50 ? kRed : kBlue; }, 100, 100,
     [](Show&, ShowCell& c) { c.fitMode = 2, c.zoom = -20000; }, 100, 100, {{0, 50, kRed}, {99, 50, kBlue}}},
    {"HugeZoomKeepsOneSourcePixel", [](int x, int y) { return x == 50 && y == 50 ? kGreen : kRed; }, 101, 101,
     [](Show&, ShowCell& c) { c.fitMode = 2, c.zoom = 0x7FFFFFFF; }, 64, 64,
     {{0, 0, kGreen}, {32, 32, kGreen}, {63, 63, kGreen}}, {}, 1},
    {"Pan5000MovesThePictureRightByHalf", white, 100, 100, [](Show&, ShowCell& c) { c.fitMode = 2, c.panX = 5000; }, 100,
     100, {{49, 50, kBlack}, {50, 50, kWhite}, {99, 50, kWhite}}},
    {"PanBeyondThePictureLeavesTheBackground", white, 100, 100, [](Show&, ShowCell& c) { c.panY = -10000; }, 50, 50, {},
     kBlack},
    // Rotation and mirrors: red on the left (or top left).
    {"Rotation90TurnsClockwise", leftRed, 40, 20, [](Show&, ShowCell& c) { c.fitMode = 0, c.rotation = 90; }, 20, 40,
     {{10, 5, kRed}, {10, 35, kBlue}}},
    {"Rotation270TurnsCounterClockwise", leftRed, 40, 20, [](Show&, ShowCell& c) { c.fitMode = 0, c.rotation = 270; }, 20,
     40, {{10, 35, kRed}}},
    {"OtherAnglesTurnNothing", leftRed, 40, 20, [](Show&, ShowCell& c) { c.fitMode = 0, c.rotation = 45; }, 40, 20,
     {{5, 10, kRed}}},
    {"MirrorLeftRight", [](int x, int y) { return x < 20 && y < 20 ? kRed : kBlue; }, 40, 40,
     [](Show&, ShowCell& c) { c.fitMode = 0, c.mirrorLeftRight = 1; }, 40, 40, {{35, 5, kRed}}},
    {"MirrorBothWays", [](int x, int y) { return x < 20 && y < 20 ? kRed : kBlue; }, 40, 40,
     [](Show&, ShowCell& c) { c.fitMode = 0, c.mirrorLeftRight = 1, c.mirrorTopBottom = 1; }, 40, 40, {{35, 35, kRed}}},
    // Opacity: trunc(d (255 - a) / 255) + trunc(s a / 255) of white over blue.
    {"ImageOpacityBlendsOverTheBackground", white, 20, 20,
     [](Show&, ShowCell& c) { c.fitMode = 3, c.backgroundColour = 0x00FF0000, c.imageOpacity = 100; }, 20, 20,
     {{7, 7, Rgb{100, 100, 155 + 100}}}},
    // Tone.
    {"BrightnessLightensThePicture", [](int, int) { return Rgb{100, 100, 100}; }, 20, 20,
     [](Show&, ShowCell& c) { c.fitMode = 3, c.brightness = 500; }, 20, 20, {}, Rgb{136, 136, 136}},
};

class CellSettings : public CellRenderTest, public ::testing::WithParamInterface<CellCase> {};

TEST_P(CellSettings, PutTheirColoursInTheFrame) {
    const CellCase& c = GetParam();
    if (c.paint != nullptr) {
        usePicture(c.pictureWidth, c.pictureHeight, c.paint);
    } else {
        cell().hasImage = 0;
    }
    c.set(show, cell());
    const auto out = render(c.frameWidth, c.frameHeight);
    ASSERT_TRUE(out);
    ASSERT_EQ(out->width, c.frameWidth);
    for (const Spot& s : c.spots) {
        const Rgb shown = pixel(*out, s.x, s.y);
        EXPECT_TRUE(c.tolerance ? near(shown, s.colour) : shown == s.colour) << s.x << "," << s.y << ": " << shown;
    }
    if (c.everywhere) {
        EXPECT_TRUE(all(*out, [&](Rgb shown, int, int) { return shown == *c.everywhere; }));
    }
}

INSTANTIATE_TEST_SUITE_P(Cells, CellSettings, ::testing::ValuesIn(kCellCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CellRenderTest, PictureThatCannotBeReadGivesTheBackgroundAlone) {
    TempFolder folder;
    folder.write("bad.jpg", "not a picture at all");
    writeBytes(folder, "cut.jpg", {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F'});
    cell().backgroundColour = 0x0000FF00;  // green
    for (const std::string& name : {folder.file("bad.jpg"), folder.file("cut.jpg"), folder.file("none.jpg")}) {
        cell().imageFile = name;
        const auto out = CellRenderer{}.render(show, 0, 32, 24, {});  // through the file services and the decoder
        ASSERT_TRUE(out);
        EXPECT_TRUE(all(*out, [](Rgb c, int, int) { return c == kGreen; })) << name;
    }
}

TEST_F(CellRenderTest, PositionOutsideTheCellsIsSmallBlack) {
    for (int position : {-1, 1, 2}) {
        CellRenderer renderer;
        const auto out = renderer.render(show, position, 640, 480, {});
        ASSERT_TRUE(out);
        EXPECT_EQ(out->width, 4);
        EXPECT_EQ(out->height, 3);
        EXPECT_TRUE(all(*out, [](Rgb c, int, int) { return c == kBlack; }));
    }
}

// --- Tone, tint, opacity ---

TEST_F(CellRenderTest, GreyTintGivesEqualChannels) {
    usePicture(60, 40, [](int x, int y) { return Rgb{x * 4, y * 6, (x * y) % 256}; });
    cell().tint = 1;
    cell().tintColour = 0x808080;
    for (int size : {30, 120}) {  // shrunk (tint after resize) and enlarged (before)
        EXPECT_TRUE(all(*render(size, size * 2 / 3), [](Rgb c, int, int) { return c.r == c.g && c.g == c.b; }));
    }
}

TEST(ShowTint, RampsFromBlackThroughTheColourToWhite) {
    const auto table = tintTable(0x0000FF);  // red, low byte
    EXPECT_EQ(table[0][2], 0);
    EXPECT_EQ(table[255][0], 255);
    // Grey 127: L = 889 just below 892, red 255 * 889 / 892 lands in byte 2.
    EXPECT_EQ(table[127][2], 255 * 889 / 892);
    EXPECT_EQ(table[127][0], 0);
    // Grey 200: L = 1400, above the colour toward white.
    EXPECT_EQ(table[200][0], (255 * (1400 - 892)) / 893);
}

// --- Banner and captions ---

TEST_F(CellRenderTest, BannerBandOverBlackHasThePaintedColourWhereAllowed) {
    cell().hasImage = 0;
    cell().background = 0;
    show.banner = 1;
    show.bannerText = "Banner";
    const auto out = render(400, 400);
    const BannerBand band = bannerBand(400, 400, false);
    // 0x320080 at opacity 200 over black: red 128, blue 50, each × 200 / 255.
    const Rgb expected{128 * 200 / 255, 0, 50 * 200 / 255};
    EXPECT_EQ(pixel(*out, 2, band.bandTop), expected);
    EXPECT_EQ(pixel(*out, 399, band.bandBottom - 1), expected);
    EXPECT_EQ(pixel(*out, 2, band.bandTop - 1), kBlack);
    EXPECT_EQ(pixel(*out, 2, band.bandBottom), kBlack);
    EXPECT_EQ(band.bandTop, 400 * 34 / 40 - 10);
    // Left out when not allowed or in the screen saver's preview; moved up when asked.
    const int y = band.bandTop;
    EXPECT_EQ(pixel(*render(400, 400, {.bannerAllowed = false}), 2, y), kBlack);
    EXPECT_EQ(pixel(*render(400, 400, {.bannerAllowed = true, .screenSaverPreview = true}), 2, y), kBlack);
    show.bannerMiddle = 1;
    EXPECT_NE(pixel(*render(400, 400), 2, bannerBand(400, 400, true).bandTop), kBlack);
}

class CaptionTest : public CellRenderTest {
protected:
    ShowCaption caption;
    void SetUp() override {
        CellRenderTest::SetUp();
        cell().hasImage = 0;
        cell().background = 0;
        caption.anchorX = 5000;
        caption.anchorY = 5000;
        caption.alignment = 2;
        caption.font.height = 2000;  // a tenth of the frame height
        caption.textColour = 0x0000FF;
        caption.textOpacity = 255;
        caption.text = "Centre";
    }
    // The bounding box of pixels that are not black.
    static IntRect ink(const Bitmap& b) {
        IntRect r{b.width, b.height, -1, -1};
        for (int y = 0; y < b.height; ++y)
            for (int x = 0; x < b.width; ++x) {
                if (pixel(b, x, y) == kBlack) continue;
                r.left = std::min(r.left, x), r.top = std::min(r.top, y);
                r.right = std::max(r.right, x + 1), r.bottom = std::max(r.bottom, y + 1);
            }
        return r;
    }
};

TEST_F(CaptionTest, CentredCaptionIsCentredInThePicture) {
    cell().captions = {caption};
    const auto out = render(400, 300);
    const IntRect r = ink(*out);
    ASSERT_GT(r.width(), 10);
    EXPECT_NEAR((r.left + r.right) / 2.0, 200, 4);
    EXPECT_NEAR((r.top + r.bottom) / 2.0, 150, 4);
    EXPECT_NEAR(r.height(), 30, 12);  // the font height follows the frame
}

TEST_F(CaptionTest, AlignmentPutsTheAnchorAtTheLeftOrRightEdge) {
    caption.alignment = 0;
    cell().captions = {caption};
    EXPECT_GE(ink(*render(400, 300)).left, 200);
    caption.alignment = 1;
    cell().captions = {caption};
    EXPECT_LE(ink(*render(400, 300)).right, 200);
}

TEST_F(CaptionTest, OutlineAndShadowAddTheirLayers) {
    caption.outline = 1;
    caption.outlineColour = 0x00FF00;  // green ring
    cell().captions = {caption};
    auto out = render(400, 300);
    EXPECT_TRUE(!all(*out, [](Rgb c, int, int) { return c.g == 0; }));
    caption.outline = 0;
    caption.shadow = 1;
    caption.shadowOpacity = 255;
    cell().background = 1;
    cell().backgroundColour = 0xFFFFFF;
    cell().captions = {caption};
    out = render(400, 300);
    // Dark shadow pixels over the white background.
    EXPECT_FALSE(all(*out, [](Rgb c, int, int) { return c.r > 100 || c.g > 100 || c.b > 100; }));
}

TEST_F(CaptionTest, TransparentTextDrawsNothing) {
    caption.textOpacity = 0;
    cell().captions = {caption};
    EXPECT_TRUE(all(*render(200, 100), [](Rgb c, int, int) { return c == kBlack; }));
}

// A pan of a whole picture width leaves nothing (the pixels alone would not
// tell an empty source from an invisible picture); one pixel stays visible.
TEST(CellGeometry, NothingLeftAfterClippingIsInvisible) {
    ShowCell c;
    c.fitMode = 2;
    c.panX = 10000;
    EXPECT_FALSE(placeCellPicture({100, 100}, {100, 100}, c).visible);
    c.panX = 0;
    EXPECT_TRUE(placeCellPicture({1, 1}, {1920, 1080}, c).visible);
}

}  // namespace
}  // namespace lv::test
