#include "browse/file_cache.h"

#include <gtest/gtest.h>

namespace lv {
namespace {

FileData bytes(std::size_t n) { return std::make_shared<const std::vector<std::uint8_t>>(n, std::uint8_t{7}); }

TEST(FileCacheLimits, OldestEntriesGoBeforeALargeFile) {
    FileCache cache;
    for (int i = 0; i < 5; ++i) cache.add(std::string("f").append(std::to_string(i)), bytes(1000000));
    EXPECT_EQ(cache.totalBytes(), 5000000u);
    cache.add("big", bytes(300000));
    EXPECT_EQ(cache.paths(), (std::vector<std::string>{"f1", "f2", "f3", "f4", "big"}));
    EXPECT_LE(cache.totalBytes(), FileCache::kMaxBytes);
}

TEST(FileCacheLimits, OneFileAboveTheLimitStaysAlone) {
    FileCache cache;
    cache.add("a", bytes(10));
    cache.add("huge", bytes(FileCache::kMaxBytes + 1));
    EXPECT_EQ(cache.paths(), (std::vector<std::string>{"huge"}));
}

TEST(FileCacheLimits, EntryCountIsLimited) {
    FileCache cache;
    for (std::size_t i = 0; i <= FileCache::kMaxEntries; ++i) cache.add("x", bytes(0));
    EXPECT_EQ(cache.size(), FileCache::kMaxEntries);
}

TEST(FileCacheLookup, NewestOfThePathIgnoringCase) {
    FileCache cache;
    cache.add("C:\\A.jpg", bytes(1));
    cache.add("c:\\a.JPG", bytes(2));
    ASSERT_TRUE(cache.find("C:\\a.jpg"));
    EXPECT_EQ(cache.find("C:\\a.jpg")->size(), 2u);
    EXPECT_FALSE(cache.find("C:\\b.jpg"));
}

}  // namespace
}  // namespace lv
