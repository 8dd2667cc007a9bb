// What each cell setting does to the rendered pixels.
#include "show/cell_render.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

#include "show/caption_draw.h"
#include "show/cell_geometry.h"
#include "show/tint.h"
#include "show_samples.h"

namespace lv::test {
namespace {

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb&) const = default;
};
std::ostream& operator<<(std::ostream& o, const Rgb& c) { return o << "(" << c.r << "," << c.g << "," << c.b << ")"; }

constexpr Rgb kBlack{0, 0, 0}, kWhite{255, 255, 255}, kRed{255, 0, 0}, kBlue{0, 0, 255}, kGreen{0, 255, 0};

// Within one step per channel: the scaler's filters may round 255 to 254.
bool near(Rgb a, Rgb b) { return std::abs(a.r - b.r) <= 1 && std::abs(a.g - b.g) <= 1 && std::abs(a.b - b.b) <= 1; }

Rgb pixel(const Bitmap& b, int x, int y) {
    const std::uint8_t* p = b.rows[static_cast<std::size_t>(y)] + 3 * x;
    return Rgb{p[2], p[1], p[0]};
}

void setPixel(Bitmap& b, int x, int y, Rgb c) {
    std::uint8_t* p = b.rows[static_cast<std::size_t>(y)] + 3 * x;
    p[0] = static_cast<std::uint8_t>(c.b), p[1] = static_cast<std::uint8_t>(c.g), p[2] = static_cast<std::uint8_t>(c.r);
}

// A picture painted by a function of the position.
template <class F>
BitmapPtr picture(int w, int h, F colourAt) {
    BitmapPtr b = createBitmap("pic", w, h, 24);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) setPixel(*b, x, y, colourAt(x, y));
    return b;
}

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

// --- Background ---

TEST_F(CellRenderTest, BackgroundColourIsExact) {
    cell().hasImage = 0;
    cell().backgroundColour = 0x00336699;  // red 0x99, green 0x66, blue 0x33
    const auto out = render(64, 48);
    EXPECT_EQ(out->width, 64);
    EXPECT_TRUE(all(*out, [](Rgb c, int, int) { return c == Rgb{0x99, 0x66, 0x33}; }));
}

TEST_F(CellRenderTest, ShowBackgroundWhenTheCellAsksForIt) {
    cell().hasImage = 0;
    cell().useShowBackground = 1;
    show.backgroundColour = 0x000000FF;
    EXPECT_EQ(pixel(*render(8, 8), 3, 3), kRed);
}

TEST_F(CellRenderTest, NoBackgroundFlagIsBlack) {
    cell().hasImage = 0;
    cell().background = 0;
    cell().backgroundColour = 0xFFFFFF;
    EXPECT_EQ(pixel(*render(8, 8), 3, 3), kBlack);
}

TEST_F(CellRenderTest, MissingOrUndecodablePictureGivesTheBackgroundAlone) {
    cell().backgroundColour = 0x00FF0000;  // blue
    cell().imageFile = "missing.jpg";
    EXPECT_TRUE(all(*render(32, 24), [](Rgb c, int, int) { return c == kBlue; }));
    CellRenderer real;  // through the file services and the decoder
    cell().imageFile = "/nonexistent/lumavine/none.jpg";
    const auto out = real.render(show, 0, 32, 24, {});
    ASSERT_TRUE(out);
    EXPECT_EQ(pixel(*out, 10, 10), kBlue);
}

TEST_F(CellRenderTest, PictureThatDoesNotDecodeGivesTheBackgroundAlone) {
    UniqueFolder folder;
    ASSERT_TRUE(folder.ok());
    const std::string text = "not a picture at all";
    folder.write("bad.jpg", std::vector<std::uint8_t>(text.begin(), text.end()));
    std::vector<std::uint8_t> cut = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F'};
    folder.write("cut.jpg", cut);
    cell().backgroundColour = 0x0000FF00;  // green
    for (const char* name : {"bad.jpg", "cut.jpg"}) {
        cell().imageFile = folder.file(name);
        const auto out = CellRenderer{}.render(show, 0, 32, 24, {});
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

// --- Fit modes ---

TEST_F(CellRenderTest, FitInsidePlacesThePictureBetweenBars) {
    usePicture(400, 300, [](int, int) { return kWhite; });
    cell().fitMode = 1;
    const auto out = render(800, 400);
    for (int y : {0, 200, 399}) {
        EXPECT_EQ(pixel(*out, 132, y), kBlack);
        EXPECT_EQ(pixel(*out, 133, y), kWhite);
        EXPECT_EQ(pixel(*out, 666, y), kWhite);
        EXPECT_EQ(pixel(*out, 667, y), kBlack);
    }
}

TEST_F(CellRenderTest, FillCropsTheOverflowAndCoversTheFrame) {
    // Rows 0-49 and 250-299 are outside the 400 x 200 middle band.
    usePicture(400, 300, [](int, int y) { return y < 50 || y >= 250 ? kGreen : kWhite; });
    cell().fitMode = 2;
    EXPECT_TRUE(all(*render(800, 400), [](Rgb c, int, int) { return c == kWhite; }));
}

TEST_F(CellRenderTest, NaturalSizeIsCentredPixelForPixel) {
    usePicture(100, 50, [](int x, int y) { return Rgb{x * 2, y * 4, 77}; });
    cell().fitMode = 0;
    const auto out = render(200, 100);
    EXPECT_EQ(pixel(*out, 49, 24), kBlack);
    EXPECT_EQ(pixel(*out, 50, 25), (Rgb{0, 0, 77}));
    EXPECT_EQ(pixel(*out, 149, 74), (Rgb{198, 196, 77}));
    EXPECT_EQ(pixel(*out, 150, 75), kBlack);
}

TEST_F(CellRenderTest, OtherFitModesStretchToTheFrame) {
    usePicture(100, 50, [](int, int) { return kRed; });
    cell().fitMode = 7;
    const auto out = render(90, 300);
    EXPECT_TRUE(near(pixel(*out, 0, 0), kRed));
    EXPECT_TRUE(near(pixel(*out, 45, 150), kRed));
    EXPECT_TRUE(near(pixel(*out, 89, 299), kRed));
}

// --- Zoom and pan ---

TEST_F(CellRenderTest, Zoom20000ShowsTheMiddleHalf) {
    usePicture(100, 100, [](int x, int y) { return x < 25 || x >= 75 || y < 25 || y >= 75 ? kRed : kBlue; });
    cell().fitMode = 2;
    cell().zoom = 20000;
    EXPECT_TRUE(all(*render(100, 100), [](Rgb c, int, int) { return c == kBlue; }));
}

TEST_F(CellRenderTest, ZeroOrNegativeZoomCountsAsNoZoom) {
    usePicture(100, 100, [](int x, int) { return x < 50 ? kRed : kBlue; });
    cell().fitMode = 2;
    for (int zoom : {0, -20000}) {
        cell().zoom = zoom;
        const auto out = render(100, 100);
        EXPECT_EQ(pixel(*out, 0, 50), kRed) << zoom;
        EXPECT_EQ(pixel(*out, 99, 50), kBlue) << zoom;
    }
}

TEST_F(CellRenderTest, HugeZoomKeepsOneSourcePixel) {
    usePicture(101, 101, [](int x, int y) { return x == 50 && y == 50 ? kGreen : kRed; });
    cell().fitMode = 2;
    cell().zoom = 0x7FFFFFFF;
    const auto out = render(64, 64);
    EXPECT_TRUE(near(pixel(*out, 0, 0), kGreen));
    EXPECT_TRUE(near(pixel(*out, 32, 32), kGreen));
    EXPECT_TRUE(near(pixel(*out, 63, 63), kGreen));
}

TEST_F(CellRenderTest, Pan5000MovesThePictureRightByHalf) {
    usePicture(100, 100, [](int, int) { return kWhite; });
    cell().fitMode = 2;
    cell().panX = 5000;
    const auto out = render(100, 100);
    EXPECT_EQ(pixel(*out, 49, 50), kBlack);
    EXPECT_EQ(pixel(*out, 50, 50), kWhite);
    EXPECT_EQ(pixel(*out, 99, 50), kWhite);
}

TEST_F(CellRenderTest, PanBeyondThePictureLeavesTheBackground) {
    usePicture(100, 100, [](int, int) { return kWhite; });
    cell().panY = -10000;
    EXPECT_TRUE(all(*render(50, 50), [](Rgb c, int, int) { return c == kBlack; }));
}

// --- Rotation and mirrors ---

TEST_F(CellRenderTest, Rotation90TurnsClockwise) {
    usePicture(40, 20, [](int x, int) { return x < 20 ? kRed : kBlue; });  // red left
    cell().fitMode = 0;
    cell().rotation = 90;
    const auto out = render(20, 40);
    EXPECT_EQ(pixel(*out, 10, 5), kRed);   // left went to the top
    EXPECT_EQ(pixel(*out, 10, 35), kBlue);
}

TEST_F(CellRenderTest, Rotation270TurnsCounterClockwiseAndOtherAnglesNothing) {
    usePicture(40, 20, [](int x, int) { return x < 20 ? kRed : kBlue; });
    cell().fitMode = 0;
    cell().rotation = 270;
    EXPECT_EQ(pixel(*render(20, 40), 10, 35), kRed);
    cell().rotation = 45;
    EXPECT_EQ(pixel(*render(40, 20), 5, 10), kRed);
}

TEST_F(CellRenderTest, MirrorsFlipEachWay) {
    usePicture(40, 40, [](int x, int y) { return x < 20 && y < 20 ? kRed : kBlue; });  // red top left
    cell().fitMode = 0;
    cell().mirrorLeftRight = 1;
    EXPECT_EQ(pixel(*render(40, 40), 35, 5), kRed);
    cell().mirrorTopBottom = 1;
    EXPECT_EQ(pixel(*render(40, 40), 35, 35), kRed);
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

TEST_F(CellRenderTest, BrightnessLightensThePicture) {
    usePicture(20, 20, [](int, int) { return Rgb{100, 100, 100}; });
    cell().fitMode = 3;
    const Rgb plain = pixel(*render(20, 20), 5, 5);
    cell().brightness = 500;
    const Rgb bright = pixel(*render(20, 20), 5, 5);
    EXPECT_EQ(plain, (Rgb{100, 100, 100}));
    EXPECT_GT(bright.r, 120);
}

TEST_F(CellRenderTest, ImageOpacityBlendsOverTheBackground) {
    usePicture(20, 20, [](int, int) { return kWhite; });
    cell().fitMode = 3;
    cell().backgroundColour = 0x00FF0000;  // blue
    cell().imageOpacity = 100;
    // trunc(d (255 - a) / 255) + trunc(s a / 255)
    const int keep = 255 * 155 / 255, add = 255 * 100 / 255;
    EXPECT_EQ(pixel(*render(20, 20), 7, 7), (Rgb{add, add, keep + add}));
}

// --- Banner and captions ---

TEST_F(CellRenderTest, BannerBandOverBlackHasThePaintedColour) {
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
}

TEST_F(CellRenderTest, BannerIsLeftOutWhenNotAllowedOrInThePreview) {
    cell().hasImage = 0;
    cell().background = 0;
    show.banner = 1;
    const int y = bannerBand(400, 400, false).bandTop;
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
    static IntRect ink(const Bitmap& b, Rgb only = kBlack, bool anyInk = true) {
        IntRect r{b.width, b.height, -1, -1};
        for (int y = 0; y < b.height; ++y)
            for (int x = 0; x < b.width; ++x) {
                const Rgb c = pixel(b, x, y);
                if (anyInk ? c == kBlack : !(c == only)) continue;
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

// --- Geometry, as numbers ---

TEST(CellGeometry, FitInsideExampleCutsTruncatingTowardZero) {
    ShowCell c;
    c.fitMode = 1;
    const CellPlacement p = placeCellPicture({400, 300}, {800, 400}, c);
    ASSERT_TRUE(p.visible);
    EXPECT_EQ(p.source, (IntRect{0, 0, 400, 300}));
    EXPECT_EQ(p.drawWidth, 534);
    EXPECT_EQ(p.drawHeight, 400);
    EXPECT_EQ(p.left, 133);
    EXPECT_EQ(p.top, 0);
}

TEST(CellGeometry, CutsTruncateWhereRoundingWouldDiffer) {
    // 400 x 300 in 700 x 400: a 525 x 300 source from -62 cuts 62 and 63
    // picture pixels, 82.67 and 84 drawing pixels: 82 and 84, shift -1.
    ShowCell c;
    c.fitMode = 1;
    const CellPlacement p = placeCellPicture({400, 300}, {700, 400}, c);
    EXPECT_EQ(p.drawWidth, 534);
    EXPECT_EQ(p.left, (700 - 534) / 2 - 1);
}

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
