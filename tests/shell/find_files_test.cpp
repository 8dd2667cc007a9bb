#include "shell/find_files.h"

#include <gtest/gtest.h>

#include <set>

#include "shell/temp_folder.h"

namespace lv {
namespace {

class FindFilesTest : public ::testing::Test {
protected:
    test::TempFolder temp;

    std::set<std::string> namesOf(const std::string& pattern) {
        std::set<std::string> names;
        for (FinderPtr f = findFirst(pattern); f;) {
            names.insert(f->entry().name());
            if (f->next() != 1) break;
        }
        return names;
    }
};

TEST_F(FindFilesTest, AllUpperCaseNamesListByTheirShortNameOthersByTheirLongName) {
    temp.write("README.TXT", "x");
    temp.write("readme.md", "x");
    FinderPtr f = findFirst(temp.folder() + "readme.txt");
    ASSERT_TRUE(f);
    EXPECT_EQ(f->entry().name(), "README.TXT");
    EXPECT_EQ(f->entry().shortName, "README.TXT");
    EXPECT_EQ(f->entry().longName, "");
    EXPECT_TRUE(f->entry().valid);
    ASSERT_TRUE(f = findFirst(temp.folder() + "README.MD"));
    EXPECT_EQ(f->entry().name(), "readme.md");
}

TEST_F(FindFilesTest, PatternsMatchLikeTheSystemFind) {
    for (const char* name : {"a.jpg", "B.JPG", "c.jpeg.txt", "noext", "x1.jpg"}) temp.write(name, "x");
    EXPECT_EQ(namesOf(temp.folder() + "*.jpg"), (std::set<std::string>{"a.jpg", "B.JPG", "x1.jpg"}));
    EXPECT_EQ(namesOf(temp.folder() + "?.jpg"), (std::set<std::string>{"a.jpg", "B.JPG"}));
    const auto all = namesOf(temp.folder() + "*.*");
    EXPECT_TRUE(all.count("noext"));
    EXPECT_TRUE(all.count("c.jpeg.txt"));
    EXPECT_FALSE(findFirst(temp.folder() + "*.none"));
    EXPECT_FALSE(findFirst(temp.folder() + "*.jpg", 1));  // a reserved argument
}

TEST_F(FindFilesTest, EntriesCarryTheDirectoryAttributeSizeAndLocalDosDateOfTheLastWrite) {
    std::filesystem::create_directory(temp.file("Sub"));
    temp.write("f.txt", "12345");
    FinderPtr sub = findFirst(temp.folder() + "Sub");
    ASSERT_TRUE(sub);
    EXPECT_TRUE(sub->entry().isDirectory());
    FinderPtr file = findFirst(temp.folder() + "f.txt");
    ASSERT_TRUE(file);
    EXPECT_FALSE(file->entry().isDirectory());
    EXPECT_EQ(file->entry().size, 5u);
    const std::time_t now = std::time(nullptr);
    std::tm local = *std::localtime(&now);
    const DosDateTime expected = toDosDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, 0, 0, 0);
    // The date is today's (a run across midnight may see yesterday's), never later.
    const int behind = expected.date - file->entry().dosDate;
    EXPECT_TRUE(behind == 0 || behind == 1) << behind;
}

TEST(FindDrives, StarDotStarListsTheDrivesPresent) {
    int count = 0;
    const std::uint32_t mask = logicalDriveMask();
    for (FinderPtr f = findFirst("*.*"); f; ++count) {
        const FindEntry& e = f->entry();
        ASSERT_EQ(e.name().size(), 2u);
        EXPECT_EQ(e.name()[1], ':');
        EXPECT_TRUE(mask & (1u << (e.name()[0] - 'A'))) << e.name();
        EXPECT_TRUE(e.isDirectory());
        EXPECT_EQ(e.longName, "");
        if (f->next() != 1) break;
    }
    EXPECT_EQ(count + 1, std::popcount(mask));
    EXPECT_TRUE(findFirst(""));
}

TEST(FindDrives, ALetterAndAColonFindsThatOneDrive) {
    const std::uint32_t mask = logicalDriveMask();
    for (int drive = 0; drive < 26; ++drive) {
        const std::string lower{static_cast<char>('a' + drive), ':'};
        FinderPtr f = findFirst(lower);
        ASSERT_EQ(static_cast<bool>(f), static_cast<bool>(mask & (1u << drive))) << lower;
        if (!f) continue;
        EXPECT_EQ(f->entry().name(), std::string({static_cast<char>('A' + drive), ':'}));
        EXPECT_TRUE(f->entry().isDirectory());
        EXPECT_EQ(f->next(), 0);
    }
}

TEST(DosDateTime, PacksTheFieldsAndRefusesYearsOutsideItsRange) {
    const DosDateTime t = toDosDateTime(2001, 12, 31, 23, 59, 58);
    EXPECT_EQ(t.date, (21 << 9) | (12 << 5) | 31);
    EXPECT_EQ(t.time, (23 << 11) | (59 << 5) | 29);
    EXPECT_EQ(toDosDateTime(1979, 1, 1, 0, 0, 0).date, 0);
    EXPECT_EQ(toDosDateTime(2108, 1, 1, 0, 0, 0).date, 0);
}

}  // namespace
}  // namespace lv
