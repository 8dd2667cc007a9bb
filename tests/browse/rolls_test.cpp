#include "browse/rolls.h"

#include <gtest/gtest.h>

#include <map>

namespace lv {
namespace {

// A folder tree as a table: pattern -> names the lister returns.
struct FakeTree {
    std::map<std::string, std::vector<std::string>> listings;
    mutable std::vector<std::size_t> maxima;
    FolderLister lister() const {
        return [this](std::string_view pattern, std::size_t maximum) {
            maxima.push_back(maximum);
            const auto found = listings.find(std::string(pattern));
            std::vector<std::string> out = found == listings.end() ? std::vector<std::string>{} : found->second;
            if (out.size() > maximum) out.resize(maximum);
            return out;
        };
    }
};

TEST(RollDiscovery, SubFolderWithPicturesIsPreferred) {
    FakeTree t;
    t.listings["C:/Pics/*.*"] = {"C:/Pics/.", "C:/Pics/..", "C:/Pics/Beach", "C:/Pics/Town"};
    t.listings["C:/Pics/Beach/small/*.jpg"] = {"C:/Pics/Beach/small/a.jpg"};
    t.listings["C:/Pics/Beach/*.jpg"] = {"C:/Pics/Beach/a.jpg"};
    t.listings["C:/Pics/Town/*.jpg"] = {"C:/Pics/Town/b.jpg"};
    EXPECT_EQ(findRolls("C:/Pics", "small", t.lister()),
              (std::vector<std::string>{"C:/Pics/Beach/small/", "C:/Pics/Town/"}));
}

TEST(RollDiscovery, FoldersWithoutPicturesAreNoRolls) {
    FakeTree t;
    t.listings["C:/Pics/*.*"] = {"C:/Pics/Empty", "C:/Pics/Town"};
    t.listings["C:/Pics/Town/*.jpg"] = {"C:/Pics/Town/b.jpg"};
    EXPECT_EQ(findRolls("C:/Pics/", "", t.lister()), (std::vector<std::string>{"C:/Pics/Town/"}));
}

TEST(RollDiscovery, TheRollFolderItselfWhenNoEntryIsARoll) {
    FakeTree t;
    t.listings["C:/Pics/*.*"] = {"C:/Pics/a.jpg"};
    t.listings["C:/Pics/*.jpg"] = {"C:/Pics/a.jpg"};
    EXPECT_EQ(findRolls("C:/Pics", "", t.lister()), (std::vector<std::string>{"C:/Pics/"}));
}

TEST(RollDiscovery, AtMostAHundredCandidatesAndTwoProbes) {
    FakeTree t;
    for (int i = 0; i < 101; ++i) {
        const std::string folder = "C:/P/d" + std::to_string(1000 + i);
        t.listings["C:/P/*.*"].push_back(folder);
        t.listings[folder + "/*.jpg"] = {folder + "/x.jpg"};
    }
    const auto rolls = findRolls("C:/P", "", t.lister());
    EXPECT_EQ(rolls.size(), 100u);
    EXPECT_EQ(rolls.back(), "C:/P/d1099/");
    EXPECT_EQ(t.maxima.front(), 100u);
    EXPECT_EQ(t.maxima.back(), 2u);
}

TEST(RollName, TheFirstComponentAfterTheRollFolder) {
    EXPECT_EQ(rollName("C:\\Pics", "C:\\Pics\\Beach\\"), "Beach");
    EXPECT_EQ(rollName("C:/Pics/", "C:/Pics/Beach/small/"), "Beach");
}

TEST(BaseFolder, RelativePathsResolve) {
    EXPECT_EQ(resolveAgainstBase("C:/a/b", "x.jpg"), "C:\\a\\b\\x.jpg");
    EXPECT_EQ(resolveAgainstBase("C:\\a\\b\\", ".\\..\\x.jpg"), "C:\\a\\x.jpg");
    EXPECT_EQ(resolveAgainstBase("C:\\a\\b", "/c/x.jpg"), "C:\\a\\b\\c\\x.jpg");
    EXPECT_EQ(resolveAgainstBase("", "x.jpg"), "x.jpg");
}

TEST(FileName, AfterTheLastSeparator) {
    EXPECT_EQ(fileNameOf("C:\\a/b\\c.jpg"), "c.jpg");
    EXPECT_EQ(fileNameOf("C:c.jpg"), "c.jpg");
}

}  // namespace
}  // namespace lv
