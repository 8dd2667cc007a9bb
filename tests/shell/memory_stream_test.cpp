#include "shell/memory_stream.h"

#include <gtest/gtest.h>

#include <string>

namespace lv {
namespace {

class MemoryStreamTest : public ::testing::Test {
protected:
    MemoryStream stream{std::vector<std::uint8_t>{'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i', 'j'}};

    std::string readText(std::size_t count) {
        std::string text(count, '\0');
        text.resize(static_cast<std::size_t>(stream.read(text.data(), count)));
        return text;
    }
};

TEST_F(MemoryStreamTest, SeeksFromTheStartFromHereAndBackFromTheEnd) {
    EXPECT_EQ(stream.seek(4, SeekOrigin::Start), 4);
    EXPECT_EQ(stream.seek(3, SeekOrigin::Current), 7);
    EXPECT_EQ(stream.seek(-2, SeekOrigin::Current), 5);
    EXPECT_EQ(readText(2), "fg");
    EXPECT_EQ(stream.seek(0, SeekOrigin::End), 10);
    EXPECT_EQ(stream.seek(3, SeekOrigin::End), 7);  // an offset from the end counts backwards
    EXPECT_EQ(readText(5), "hij");                   // and a read stops at the end
    EXPECT_EQ(stream.position(), 10u);
}

TEST_F(MemoryStreamTest, SeeksPastTheEndStopThereAndNegativeResultsFailKeepingThePosition) {
    EXPECT_EQ(stream.seek(25, SeekOrigin::Start), 10);
    EXPECT_EQ(stream.seek(-5, SeekOrigin::End), 10);
    EXPECT_EQ(readText(4), "");
    stream.seek(6, SeekOrigin::Start);
    EXPECT_EQ(stream.seek(-1, SeekOrigin::Start), -1);
    EXPECT_EQ(stream.seek(-7, SeekOrigin::Current), -1);
    EXPECT_EQ(stream.seek(11, SeekOrigin::End), -1);
    EXPECT_EQ(stream.position(), 6u);
}

TEST_F(MemoryStreamTest, ReadIntoNoBufferGivesOneAndReadsNothing) {
    EXPECT_EQ(stream.read(nullptr, 4), 1);
    EXPECT_EQ(stream.position(), 0u);
}

TEST_F(MemoryStreamTest, WriteOverwritesAndGrows) {
    stream.seek(8, SeekOrigin::Start);
    EXPECT_EQ(stream.write("XYZW", 4), 4);
    EXPECT_EQ(stream.size(), 12u);
    EXPECT_EQ(stream.position(), 12u);
    stream.seek(0, SeekOrigin::Start);
    EXPECT_EQ(readText(20), "abcdefghXYZW");
}

TEST(MemoryStream, AnEmptyStreamGrowsFromNothingAndTakeLeavesItEmpty) {
    MemoryStream empty;
    EXPECT_EQ(empty.seek(0, SeekOrigin::End), 0);
    for (int i = 0; i < 1000; ++i) ASSERT_EQ(empty.write("0123456789", 10), 10);
    EXPECT_EQ(empty.size(), 10000u);
    EXPECT_EQ(empty.data()[9995], '5');
    const std::vector<std::uint8_t> taken = empty.take();
    EXPECT_EQ(taken.size(), 10000u);
    EXPECT_EQ(taken[9995], '5');
    EXPECT_EQ(empty.size(), 0u);
    EXPECT_EQ(empty.seek(0, SeekOrigin::End), 0);
}

TEST(MemoryStream, WriteBeyondTheLimitGivesZeroAndChangesNothing) {
    MemoryStream stream(std::vector<std::uint8_t>(4, 'x'));
    stream.seek(4, SeekOrigin::Start);
    static const char byte = 'y';
    EXPECT_EQ(stream.write(&byte, MemoryStream::kMaxSize), 0);
    EXPECT_EQ(stream.size(), 4u);
}

}  // namespace
}  // namespace lv
