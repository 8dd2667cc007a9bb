#include "shell/packed_index.h"

#include <gtest/gtest.h>

#include <cstring>

namespace lv {
namespace {

PackedEntry entry(std::string name, std::uint32_t size, std::uint32_t offset, std::uint8_t flags = 0) {
    return PackedEntry{std::move(name), flags, size, offset};
}

std::vector<std::uint8_t> indexOf(std::vector<PackedEntry> entries) { return *encodePackedIndex(entries); }

TEST(PackedIndex, RecordLayoutIsByteExact) {
    const auto bytes = indexOf({entry("*/menu.scr", 0x01020304, 0xA0B0C0D0, 0x20)});
    ASSERT_EQ(bytes.size(), 128u);
    EXPECT_EQ(std::memcmp(bytes.data(), "*/menu.scr\0", 11), 0);
    EXPECT_EQ(bytes[119], 0x20);
    EXPECT_EQ((std::vector<std::uint8_t>(bytes.begin() + 120, bytes.end())),
              (std::vector<std::uint8_t>{0x04, 0x03, 0x02, 0x01, 0xD0, 0xC0, 0xB0, 0xA0}));
}

TEST(PackedIndex, ReadsBackWhatWasWritten) {
    const std::vector<PackedEntry> entries{entry("*/a.jpg", 100, 2000), entry("*/b.jpg", 0, 2100),
                                           entry("C:\\x\\menu.scr", 50, 2100, 0x30)};
    EXPECT_EQ(parsePackedIndex(indexOf(entries), 2150), entries);
}

TEST(PackedIndex, OnlyWholeRecordsAreReadUpToTheLimit) {
    auto bytes = indexOf({entry("*/a", 4, 0), entry("*/b", 4, 4)});
    bytes.resize(bytes.size() - 1);
    EXPECT_EQ(parsePackedIndex(bytes, 8).size(), 1u);
    EXPECT_TRUE(parsePackedIndex(std::vector<std::uint8_t>(127, 0), 8).empty());
    const std::vector<std::uint8_t> huge((kMaxPackedEntries + 3) * PackedEntry::kRecordSize, 0);
    EXPECT_EQ(parsePackedIndex(huge, 0).size(), kMaxPackedEntries);
}

// Flags with low bits, data outside the launcher (also where offset + size
// wraps) and a name without its zero make an entry unusable.
TEST(PackedIndex, UnusableEntries) {
    EXPECT_TRUE(entry("a", 1, 0, 0xF0).usable());
    for (std::uint8_t flags : {0x01, 0x02, 0x04, 0x08, 0x1F}) EXPECT_FALSE(entry("a", 1, 0, flags).usable());
    const auto entries = parsePackedIndex(
        indexOf({entry("*/fits", 10, 90), entry("*/past-end", 11, 90), entry("*/far", 1, 5000),
                 entry("*/wraps", 0xFFFFFFFF, 2)}),
        100);
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_TRUE(entries[0].usable());
    EXPECT_FALSE(entries[1].usable());
    EXPECT_FALSE(entries[2].usable());
    EXPECT_FALSE(entries[3].usable());
    auto bytes = indexOf({entry("*/a", 1, 0)});
    std::memset(bytes.data(), 'n', PackedEntry::kNameField);
    const auto unnamed = parsePackedIndex(bytes, 100);
    ASSERT_EQ(unnamed.size(), 1u);
    EXPECT_FALSE(unnamed[0].usable());
    EXPECT_EQ(unnamed[0].name.size(), PackedEntry::kNameField);
}

TEST(PackedIndex, NamesTooLongForTheFieldAreRefused) {
    EXPECT_TRUE(encodePackedIndex(std::vector{entry(std::string(118, 'n'), 0, 0)}));
    EXPECT_FALSE(encodePackedIndex(std::vector{entry(std::string(119, 'n'), 0, 0)}));
    EXPECT_FALSE(encodePackedIndex(std::vector{entry(std::string("a\0b", 3), 0, 0)}));
}

}  // namespace
}  // namespace lv
