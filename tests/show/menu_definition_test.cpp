// The "menudef" reader: the layout of the file, refusals of damaged files,
// scaling to the drawn size and the JSON of authors.
#include "show/menu_definition.h"

#include <gtest/gtest.h>

#include "menu_samples.h"
#include "show/menu_json.h"
#include "show_samples.h"

namespace lv::test {
namespace {

std::optional<MenuDefinition> parse(const std::vector<std::uint8_t>& bytes) { return parseMenuDefinition(bytes); }

class MenuFileTest : public ::testing::Test {
protected:
    MenuDefinition menu = sampleMenu(3);
    std::vector<std::uint8_t> bytes = encodeMenuDefinition(menu);
};

TEST_F(MenuFileTest, WrittenDefinitionReadsBackEqual) {
    menu.shadow = 1;
    menu.items[1].flags = MenuFlag::kBold | MenuFlag::kBox | (2 << MenuFlag::kVerticalShift);
    menu.items[2].fontHeight = -7;
    menu.items[2].labelLeft = -300;
    menu.playAll.boxColour = 0x00ABCDEF;
    const auto back = parse(encodeMenuDefinition(menu));
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, menu);
}

TEST_F(MenuFileTest, FieldsSitAtTheirFileOffsetsAndTextsEndWithinThem) {
    EXPECT_EQ(bytes.size(), 1u + 1367 + 3 * 189);
    poke32(bytes, kFileDesignWidth, 1600);
    poke32(bytes, kFileFirstItem + 189 + 8, 1234);  // second item's thumbnail right
    bytes[kFileFirstItem + 161] = 0xF6;             // first item's largest font height: -10
    bytes[kFileFirstItem + 163] = 0x2C;             // label left 300 (0x012C)
    bytes[kFileFirstItem + 164] = 0x01;
    bytes[1 + 1363] = 1;                            // thumbnail shadow flag
    std::fill(bytes.begin() + 1, bytes.begin() + 1 + 260, 'A');  // title without a terminator
    const auto m = parse(bytes);
    ASSERT_TRUE(m);
    EXPECT_EQ(m->designWidth, 1600);
    EXPECT_EQ(m->items[1].thumb.right, 1234);
    EXPECT_EQ(m->items[0].fontHeight, -10);
    EXPECT_EQ(m->items[0].labelLeft, 300);
    EXPECT_EQ(m->shadow, 1);
    EXPECT_EQ(m->title.size(), 259u);
}

// Short, wrong or unscalable files, and item counts the file does not hold
// (refused before anything is set aside for the items).
TEST_F(MenuFileTest, RefusesDamagedFiles) {
    EXPECT_FALSE(parse({}));
    EXPECT_FALSE(parse(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 1367)));  // header cut short
    EXPECT_FALSE(parse(std::vector<std::uint8_t>(bytes.begin(), bytes.end() - 1)));        // last item cut short
    const std::vector<std::uint8_t> whole = bytes;
    const std::pair<std::size_t, std::int32_t> damage[] = {
        {kFileItemCount, 4},         {kFileItemCount, -1},  {kFileItemCount, 0x7FFFFFFF},
        {kFileItemCount, INT32_MIN}, {kFileDesignWidth, 0}, {kFileDesignHeight, -600},
    };
    for (const auto& [at, value] : damage) {
        bytes = whole;
        poke32(bytes, at, value);
        EXPECT_FALSE(parse(bytes)) << at << ": " << value;
    }
    bytes = whole;
    bytes[0] = 1;  // the version byte
    EXPECT_FALSE(parse(bytes));
}

TEST_F(MenuFileTest, NoPlacesCountAsOneItemPerPage) {
    const auto m = parse(encodeMenuDefinition(sampleMenu(0)));
    ASSERT_TRUE(m);
    EXPECT_TRUE(m->items.empty());
    EXPECT_EQ(m->itemsPerPage(), 1);
    EXPECT_EQ(sampleMenu(3).itemsPerPage(), 3);
}

TEST(MenuScale, PositionsScaleFromTheDesignSizeRoundingHalfUp) {
    MenuDefinition m = sampleMenu(1, 400, 300);
    m.items[0].fontHeight = 15;
    const MenuDefinition s = scaleMenuDefinition(m, 800, 450);  // x2 across, x1.5 down
    EXPECT_EQ(s.items[0].thumb, (MenuRect{20, 15, 180, 105}));
    EXPECT_EQ(s.items[0].labelLeft, 20);
    EXPECT_EQ(s.items[0].labelTop, 113);  // 75 x 1.5 = 112.5 -> 113
    EXPECT_EQ(s.items[0].labelBottom, 143);
    EXPECT_EQ(s.items[0].anchorX, 100);
    EXPECT_EQ(s.items[0].fontHeight, 23);  // 22.5 -> 23
    EXPECT_EQ(s.loopAll.labelRight, 400);
}

TEST(MenuScale, TruncatesTowardZeroAfterAddingAHalf) {
    MenuDefinition m = sampleMenu(1, 3, 3);
    m.items[0].labelLeft = 1;
    m.items[0].labelRight = 2;
    m.items[0].anchorX = -2;
    const MenuDefinition s = scaleMenuDefinition(m, 1, 1);
    EXPECT_EQ(s.items[0].labelLeft, 0);   // 0.83
    EXPECT_EQ(s.items[0].labelRight, 1);  // 1.17
    EXPECT_EQ(s.items[0].anchorX, 0);     // -0.17 -> 0
}

TEST(MenuScale, UnusedThumbnailKeepsItsValuesAndHugeValuesStayInRange) {
    MenuDefinition m = sampleMenu(1, 400, 300);
    m.items[0].thumb = {50, 10, 50, 70};
    EXPECT_EQ(scaleMenuDefinition(m, 800, 600).items[0].thumb, (MenuRect{50, 10, 50, 70}));
    m = sampleMenu(1, 1, 1);
    m.items[0].thumb = {0, 0, 0x7FFFFFFF, 10};
    EXPECT_EQ(scaleMenuDefinition(m, 4000, 4000).items[0].thumb.right, 0x7FFFFFFF);
}

TEST(MenuLoad, ReadsTheFileBesideTheProgramScaled) {
    TempFolder dir;
    EXPECT_FALSE(loadMenuDefinition(dir.folder(), 800, 600));
    EXPECT_EQ(menuItemsPerPage(dir.folder()), 0);
    writeBytes(dir, "menudef", encodeMenuDefinition(sampleMenu(4, 400, 300)));
    const auto m = loadMenuDefinition(dir.folder(), 800, 600);
    ASSERT_TRUE(m);
    EXPECT_EQ(m->items[1].thumb.left, 220);
    EXPECT_EQ(menuItemsPerPage(dir.folder()), 4);
}

TEST(MenuJson, RoundTripsADefinition) {
    MenuDefinition m = sampleMenu(2);
    m.items[0].flags = MenuFlag::kOutline | MenuFlag::kItalic | (1 << MenuFlag::kHorizontalShift);
    m.items[1].textColour = 0x00102030;
    m.shadow = 1;
    std::string error;
    const auto back = menuFromJson(menuToJson(m), error);
    ASSERT_TRUE(back) << error;
    EXPECT_EQ(*back, m);
}

TEST(MenuJson, RefusesBadValuesNamingThePlace) {
    std::string error;
    JsonValue j = menuToJson(sampleMenu(1));
    for (auto& [key, value] : j.asObject())
        if (key == "items") value.asArray()[0].asObject()[0].second = JsonValue::Array{1, 2, 3};
    EXPECT_FALSE(menuFromJson(j, error));
    EXPECT_NE(error.find("menu.items[0].thumb"), std::string::npos) << error;

    j = menuToJson(sampleMenu(1));
    j.add("colour", "#FFFFFF");
    EXPECT_FALSE(menuFromJson(j, error));
    EXPECT_NE(error.find("colour"), std::string::npos);

    j = menuToJson(sampleMenu(1));
    for (auto& [key, value] : j.asObject())
        if (key == "design_width") value = 0;
    EXPECT_FALSE(menuFromJson(j, error));
}

}  // namespace
}  // namespace lv::test
