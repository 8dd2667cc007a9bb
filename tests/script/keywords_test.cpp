#include "script/keywords.h"

#include <gtest/gtest.h>

#include "script/scan.h"

namespace lv {
namespace {

TEST(Keywords, NumbersAreFixedPositions) {
    EXPECT_EQ(keywordLookup("beep"), 0);
    EXPECT_EQ(keywordLookup("begin"), 12);
    EXPECT_EQ(keywordLookup("hwnd"), 36);
    EXPECT_EQ(keywordLookup("string"), 86);
    EXPECT_EQ(keywordLookup("if"), 97);
    EXPECT_EQ(keywordLookup("messagebox"), 112);
    EXPECT_EQ(keywordLookup("title"), 132);
    EXPECT_EQ(keywordLookup("reload"), 133);
}

TEST(Keywords, EveryKeywordFindsItsOwnNumberInAnyCase) {
    for (int i = 0; i < kKeywordCount; ++i) {
        std::string upper(keywordInfo(i).text);
        for (char& c : upper) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
        EXPECT_EQ(keywordLookup(keywordInfo(i).text), i);
        EXPECT_EQ(keywordLookup(upper), i) << upper;
    }
}

TEST(Keywords, OtherWordsAreNone) {
    for (const char* word : {"", "exit", "beginning", "zzz", "a", "thumb", "reloads", "call "})
        EXPECT_EQ(keywordLookup(word), -1) << word;
    EXPECT_EQ(keywordInfo(134).text, "");
    EXPECT_EQ(keywordInfo(-1).use, 0u);
}

struct ScanCase {
    const char* text;
    unsigned options;
    std::size_t expected;
};

class Scan : public ::testing::TestWithParam<ScanCase> {};

TEST_P(Scan, StopsWhereItsOptionsAsk) {
    const ScanCase& c = GetParam();
    EXPECT_EQ(scan(c.text, 0, c.options), c.expected) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Options, Scan,
    ::testing::Values(ScanCase{"  \tab", kSkipBlanksOnLine, 3}, ScanCase{"  \r\nab", kSkipBlanksOnLine, 2},
                      ScanCase{" \r\n ab", kSkipBlanksAndLines, 4}, ScanCase{"abc def", kTokenEnd, 3},
                      ScanCase{"abc\ndef", kTokenEnd, 3}, ScanCase{"ab=c d", kNameEnd, 2},
                      ScanCase{"ab=c d", kTokenEnd, 4}, ScanCase{"a b\nc", kLineEnd, 3},
                      ScanCase{"\r\n\r\nx", kSkipLineEnds, 4},
                      // Quotes protect blanks, line ends and equals signs, and stay in the token.
                      ScanCase{"\"a b\" c", kTokenEnd, 5}, ScanCase{"\"a\nb\" c", kTokenEnd, 5},
                      ScanCase{"\"a=b\"=c", kNameEnd, 5}, ScanCase{"x \"a\nb\"\nc", kLineEnd, 7},
                      // An unclosed quote runs to the end; a zero ends the text.
                      ScanCase{"\"abc def", kTokenEnd, 8}, ScanCase{"ab", kTokenEnd, 2}));

TEST(Scan, AZeroEndsTheTextAndNextLineSkipsAllLineEnds) {
    const std::string text("ab\0cd", 5);
    EXPECT_EQ(scan(text, 0, kTokenEnd), 2u);
    EXPECT_TRUE(atTextEnd(text, 2));
    EXPECT_EQ(scan(text, 7, kTokenEnd), 5u);
    EXPECT_EQ(nextLine("ab\r\n\r\ncd", 0), 6u);
    EXPECT_EQ(nextLine("ab", 0), 2u);
}

}  // namespace
}  // namespace lv
