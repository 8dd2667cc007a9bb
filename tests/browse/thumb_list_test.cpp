#include "browse/thumb_list.h"

#include <gtest/gtest.h>

#include <map>

namespace lv {
namespace {

// Files as a table of one-byte contents: byte 1 decodes, anything else fails.
class ThumbListTest : public ::testing::Test {
protected:
    std::map<std::string, int> reads;
    std::map<std::string, std::uint8_t> files;
    ThumbList list;

    void SetUp() override {
        for (int i = 0; i < 8; ++i) files[std::string("p").append(std::to_string(i))] = 1;
        list.assign({"p0", "p1", "p2", "p3", "p4", "p5", "p6", "p7"});
    }
    int step(VisibleRange visible) {
        return list.decodeOne(
            visible, {10, 10},
            [this](const std::string& path) -> FileData {
                ++reads[path];
                const auto f = files.find(path);
                if (f == files.end()) return nullptr;
                return std::make_shared<const std::vector<std::uint8_t>>(1, f->second);
            },
            [](std::span<const std::uint8_t> data, PictureSize box) -> BitmapPtr {
                return data[0] == 1 ? createBitmap("t", box.width, box.height, 24) : nullptr;
            });
    }
};

TEST_F(ThumbListTest, VisibleEntriesComeFirst) {
    EXPECT_EQ(step({5, 6}), 5);
    EXPECT_EQ(step({5, 6}), 6);
    EXPECT_EQ(step({5, 6}), 0);
    EXPECT_TRUE(list.entries[5].picture);
}

TEST_F(ThumbListTest, AFailingFileIsTriedOnceAndKeepsNoPicture) {
    files["p2"] = 0;
    files.erase("p3");
    for (int i = 0; i < 20; ++i) step({2, 3});
    EXPECT_EQ(reads["p2"], 1);
    EXPECT_EQ(reads["p3"], 1);
    EXPECT_FALSE(list.entries[2].picture);
    EXPECT_TRUE(list.entries[2].tried);
}

TEST_F(ThumbListTest, NoWorkOnceNothingIsPending) {
    files["p7"] = 0;
    while (step({0, 7}) >= 0) {
    }
    EXPECT_FALSE(list.pending());
    const auto before = reads;
    EXPECT_EQ(step({0, 7}), -1);
    EXPECT_EQ(reads, before);
}

TEST_F(ThumbListTest, ANewPictureDropsTheOldTile) {
    list.entries[0].tile = createBitmap("tile", 1, 1, 24);
    step({0, 0});
    EXPECT_FALSE(list.entries[0].tile);
}

TEST_F(ThumbListTest, SelectionMarks) {
    EXPECT_EQ(list.firstSelected(), -1);
    list.entries[2].selected = list.entries[5].selected = true;
    EXPECT_EQ(list.firstSelected(), 2);
    EXPECT_EQ(list.lastSelected(), 5);
}

}  // namespace
}  // namespace lv
