// Menu pages: numbering, page arithmetic, the hit test, the cut of long
// labels and the pixels of a rendered page.
#include "show/menu_page.h"

#include <gtest/gtest.h>

#include <optional>
#include <set>

#include "menu_samples.h"
#include "show_samples.h"
#include "show/caption_draw.h"

namespace lv::test {
namespace {

TEST(MenuNumbering, StylesJoinNumberAndText) {
    EXPECT_EQ(menuLabelText("%n. %t", 3, "Lakes"), "3. Lakes");
    EXPECT_EQ(menuLabelText("%n) %t", 5, "Play All"), "5) Play All");
    EXPECT_EQ(menuLabelText("%n: %t", 1, "A"), "1: A");
    EXPECT_EQ(menuLabelText("%n %t", 12, "B"), "12 B");
    EXPECT_EQ(menuLabelText("%t", 7, "B"), "7");
    EXPECT_EQ(menuLabelText("", 2, "B"), "2");
}

// Counts round up and never divide by zero; page steps stay within the
// pages, show steps wrap around the shows.
TEST(MenuPages, CountAndSteps) {
    EXPECT_EQ(menuPageCount(5, 4), 2);
    EXPECT_EQ(menuPageCount(4, 4), 1);
    EXPECT_EQ(menuPageCount(0, 4), 0);
    EXPECT_EQ(menuPageCount(3, 0), 3);
    EXPECT_EQ(menuPageCount(0x7FFFFFFF, 1), 0x7FFFFFFF);
    EXPECT_EQ(stepMenuPage(0, 3, -1), 0);
    EXPECT_EQ(stepMenuPage(1, 3, 1), 2);
    EXPECT_EQ(stepMenuPage(2, 3, 1), 2);
    EXPECT_EQ(stepMenuPage(0, 0, 1), 0);
    EXPECT_EQ(stepMenuPage(5, 0, -1), 0);
    EXPECT_EQ(stepShowIndex(2, 3, 1), 0);
    EXPECT_EQ(stepShowIndex(0, 3, -1), 2);
    EXPECT_EQ(stepShowIndex(0, 0, 1), 0);
    EXPECT_EQ(stepShowIndex(0, 0, -1), 0);
}

class MenuHitTest : public ::testing::Test {
protected:
    MenuDefinition menu = sampleMenu(4);
    MenuHit at(int shows, int page, int x, int y) { return hitTestMenu(menu, shows, page, x, y); }
};

TEST_F(MenuHitTest, PointsChooseTheShowOfThePageOrNothing) {
    const struct {
        int shows, page, x, y, choice;
        std::optional<MenuRect> rect = {};
    } cases[] = {
        {8, 0, 150, 20, 1, MenuRect{110, 10, 190, 70}},
        {8, 1, 150, 80, 5, MenuRect{110, 10, 190, 70}},  // the thumbnail's rectangle, though on the label
        {8, 0, 10, 10, 0},                                // edges: left and top inclusive
        {8, 0, 90, 20, -1},
        {8, 0, 20, 70, -1},
        {5, 1, 50, 20, 4},
        {5, 1, 150, 20, -1, MenuRect{110, 10, 190, 70}},  // a place without a show on the last page
        {5, 0, 20, 510, 5},                               // "Loop All": N
        {5, 0, 320, 510, 6, MenuRect{300, 500, 500, 540}},  // "Play All": N + 1
        {5, 0, 700, 300, -1, MenuRect{}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.shows << " shows, page " << c.page << " at " << c.x << "," << c.y);
        const MenuHit hit = at(c.shows, c.page, c.x, c.y);
        EXPECT_EQ(hit.choice, c.choice);
        if (c.rect) {
            EXPECT_EQ(hit.rect, *c.rect);
        }
    }
}

TEST_F(MenuHitTest, UnusedThumbnailLeavesTheLabel) {
    menu.items[2].thumb = {250, 10, 250, 70};
    EXPECT_EQ(at(8, 0, 250, 20).choice, -1);
    const MenuHit h = at(8, 0, 250, 80);
    EXPECT_EQ(h.choice, 2);
    EXPECT_EQ(h.rect, (MenuRect{210, 75, 290, 95}));
}

TEST(MenuLabelCut, FitsTextOrEndsItWithDots) {
    auto tenPerChar = [](std::string_view s) { return 10 * static_cast<int>(s.size()); };
    EXPECT_EQ(fitLabelText("Hello", 50, tenPerChar), "Hello");
    EXPECT_EQ(fitLabelText("Hello world", 50, tenPerChar), "He...");
    EXPECT_EQ(fitLabelText("Hello world", 30, tenPerChar), "...");
    EXPECT_EQ(fitLabelText("Hello world", 20, tenPerChar), "...");  // narrower than the dots
    EXPECT_EQ(fitLabelText("Hello world", -5, tenPerChar), "...");
    EXPECT_EQ(fitLabelText("", 0, tenPerChar), "");
}

TEST(MenuLabelPlace, CentredFlushAndKeptInside) {
    EXPECT_EQ(placeLabelSpan(0, 50, 10, 90, 20), 10);
    EXPECT_EQ(placeLabelSpan(2, 50, 10, 90, 20), 70);
    EXPECT_EQ(placeLabelSpan(1, 50, 10, 90, 20), 40);
    EXPECT_EQ(placeLabelSpan(1, 12, 10, 90, 20), 10);
    EXPECT_EQ(placeLabelSpan(1, 88, 10, 90, 20), 70);
}

// Records the texts drawn; draws each as a full block of ink.
class RecordingFonts : public FontRasteriser {
public:
    std::vector<std::string> texts;
    std::optional<OneBitImage> rasterise(const FontDescription& font, std::string_view text, bool fourFold) override {
        texts.emplace_back(text);
        const int h = font.height * (fourFold ? 4 : 1);
        OneBitImage image = oneBitImageFor(static_cast<int>(text.size()) * h / 2, h, fourFold);
        std::fill(image.bits.begin(), image.bits.end(), 0xFF);
        return image;
    }
};

TEST(MenuLabelDraw, LongLabelStaysInItsBox) {
    BitmapPtr page = solid(300, 60, Rgb{0, 0, 0});
    MenuItem item = menuItem({}, {20, 10, 120, 40});
    item.fontHeight = 20;
    drawMenuLabel(*page, item, "A label far too long for the box");
    bool inkInside = false;
    for (int y = 0; y < page->height; ++y)
        for (int x = 0; x < page->width; ++x) {
            const bool ink = pixel(*page, x, y).r != 0;
            if (x < 20 || x >= 120 || y < 10 || y >= 40) {
                EXPECT_FALSE(ink) << x << "," << y;
            }
            inkInside = inkInside || ink;
        }
    EXPECT_TRUE(inkInside);
    // Boxes narrower than the dots, or empty, draw without a fault.
    drawMenuLabel(*page, menuItem({}, {38, 0, 39, 39}), "Long text");
    drawMenuLabel(*page, menuItem({}, {10, 10, 10, 10}), "Long text");
}

class MenuRenderTest : public ::testing::Test {
protected:
    MenuDefinition menu = sampleMenu(4);
    RecordingFonts fonts;
    std::set<int> loaded;
    std::vector<std::uint32_t> cellColours{0x0000FF};  // one flat red cell per show
    Show current;

    MenuRenderer renderer() {
        auto pictures = [](const std::string& name) -> BitmapPtr {
            return name == "back.jpg" ? solid(400, 300, Rgb{100, 100, 100}) : nullptr;
        };
        auto shows = [this](int number) {
            loaded.insert(number);
            auto show = std::make_unique<Show>(makeShow("Show " + std::to_string(number + 1)));
            return show;
        };
        return MenuRenderer("/nowhere/", pictures, shows, &fonts);
    }
    Show makeShow(std::string title) const {
        Show show;
        show.title = std::move(title);
        for (std::uint32_t colour : cellColours) {
            ShowCell cell;
            cell.background = 1;
            cell.backgroundColour = colour;
            show.cells.push_back(cell);
        }
        return show;
    }
    BitmapPtr render(int shows, int page, int brightness = 0) {
        current = makeShow("Current");
        MenuPageRequest request;
        request.current = &current;
        request.showCount = shows;
        request.page = page;
        request.menuBrightness = brightness;
        return renderer().render(menu, request);
    }
    bool drew(const std::string& text) const {
        return std::find(fonts.texts.begin(), fonts.texts.end(), text) != fonts.texts.end();
    }
};

TEST_F(MenuRenderTest, BackgroundIsResizedToThePageAndWithoutItThereIsNone) {
    const BitmapPtr page = render(1, 0);
    ASSERT_TRUE(page);
    EXPECT_EQ(page->width, 800);
    EXPECT_EQ(page->height, 600);
    EXPECT_EQ(pixel(*page, 700, 300), (Rgb{100, 100, 100}));
    menu.background = "missing.jpg";
    EXPECT_FALSE(render(3, 0));
}

TEST_F(MenuRenderTest, BrightnessLiftsTheBlackOrLowersTheWhiteLevel) {
    const BitmapPtr lifted = render(1, 0, 40), lowered = render(1, 0, -40);
    ASSERT_TRUE(lifted && lowered);
    EXPECT_EQ(pixel(*lifted, 700, 300).r, 40 + 215 * 100 / 256);
    EXPECT_EQ(pixel(*lowered, 700, 300).r, 215 * 100 / 256);
}

TEST_F(MenuRenderTest, LastPageShowsOnlyTheShowsLeft) {
    ASSERT_TRUE(render(5, 1));
    EXPECT_EQ(loaded, (std::set<int>{4}));
    EXPECT_TRUE(drew("5. Show 5"));
    EXPECT_EQ(pixel(*render(5, 1), 150, 20), (Rgb{100, 100, 100}));  // second place is empty
}

// The first show is the current one, not loaded again; the extra items are
// numbered after the shows.
TEST_F(MenuRenderTest, FirstShowIsTheCurrentOneAndExtraItemsFollowTheShows) {
    menu.playAll.style = "%n) %t";
    ASSERT_TRUE(render(3, 0));
    EXPECT_EQ(loaded, (std::set<int>{1, 2}));
    EXPECT_TRUE(drew("1. Current"));
    EXPECT_TRUE(drew("3. Show 3"));
    EXPECT_TRUE(drew("5) Play All"));
    EXPECT_TRUE(drew("4. Loop All"));
}

TEST_F(MenuRenderTest, OneShowOffersOnlyLoop) {
    ASSERT_TRUE(render(1, 0));
    EXPECT_TRUE(drew("2. Loop"));
    for (const std::string& t : fonts.texts) EXPECT_EQ(t.find("Play All"), std::string::npos);
}

TEST_F(MenuRenderTest, ThumbnailIsDrawnAtItsRectangleFromTheLastFlatCell) {
    BitmapPtr page = render(2, 0);
    ASSERT_TRUE(page);
    EXPECT_EQ(pixel(*page, 10, 10), (Rgb{255, 0, 0}));
    EXPECT_EQ(pixel(*page, 89, 69), (Rgb{255, 0, 0}));
    EXPECT_EQ(pixel(*page, 90, 69), (Rgb{100, 100, 100}));
    cellColours = {0x0000FF, 0x00FF00, 0xFF0000};  // only flat cells: the last one's
    page = render(2, 0);
    ASSERT_TRUE(page);
    EXPECT_EQ(pixel(*page, 50, 40), (Rgb{0, 0, 255}));
    menu.items[0].thumb = {10, 10, 10, 70};  // unused: not drawn, the label still is
    fonts.texts.clear();
    page = render(2, 0);
    ASSERT_TRUE(page);
    EXPECT_EQ(pixel(*page, 10, 10), (Rgb{100, 100, 100}));
    EXPECT_TRUE(drew("1. Current"));
}

TEST_F(MenuRenderTest, ThumbnailShadowDarkensFourPixelsBeyond) {
    menu.shadow = 1;
    const BitmapPtr page = render(2, 0);
    ASSERT_TRUE(page);
    EXPECT_EQ(pixel(*page, 93, 73).r, pixel(*page, 93, 73).g);
    EXPECT_LT(pixel(*page, 93, 73).r, 60);
    EXPECT_EQ(pixel(*page, 94, 74), (Rgb{100, 100, 100}));
}

// Busy when the steps between neighbours, summed over the rows after the
// first, pass 5000: pixels 0, 250, 0, 250, 0 in each channel give 3000 a row.
TEST(MenuThumbnail, BusyWhenTheStepsOfTheRowsAfterTheFirstPass5000) {
    auto busy = [](int firstRow, int rows) {
        BitmapPtr p = solid(5, 3, Rgb{0, 0, 0});
        for (int y = firstRow; y < firstRow + rows; ++y)
            for (int c = 0; c < 3; ++c) p->rows[y][3 + c] = 250, p->rows[y][9 + c] = 250;
        return isBusyThumbnail(*p);
    };
    EXPECT_FALSE(busy(1, 0));  // flat
    EXPECT_FALSE(busy(1, 1));  // 3000
    EXPECT_TRUE(busy(1, 2));   // 6000
    EXPECT_FALSE(busy(0, 2));  // the first row does not count
}

}  // namespace
}  // namespace lv::test
