#include "script/values.h"

#include <gtest/gtest.h>

#include "script_fixture.h"

namespace lv {
namespace {

class Values : public ScriptFixture {
protected:
    std::int32_t value(std::string_view text) { return integerValue(objects, text); }
    std::uint32_t colour(std::string_view text) { return colourValue(objects, text); }
};

TEST_F(Values, DereferenceFollowsStringsToTheFirstPlainText) {
    let("a", "$b");
    let("b", "7");
    EXPECT_EQ(dereference(objects, "$a"), "7");
    EXPECT_EQ(dereference(objects, "plain"), "plain");
    EXPECT_EQ(dereference(objects, "$nobody"), "$nobody");
    let("r", "$$c");  // r names the object whose name c holds
    let("c", "b");
    EXPECT_EQ(dereference(objects, "$r"), "7");
}

// b holding "$$b" makes reading b's text dereference the name "$b" again;
// a self reference, a circle or such a name ends instead of recursing.
TEST_F(Values, SelfAndMutualReferencesEndInsteadOfRecursing) {
    let("a", "$a");
    EXPECT_EQ(dereference(objects, "$a"), "$a");
    let("x", "$y");
    let("y", "$x");
    const std::string end = dereference(objects, "$x");
    EXPECT_TRUE(end == "$x" || end == "$y") << end;
    let("b", "$$b");
    EXPECT_EQ(dereference(objects, "$b"), "$$b");
    EXPECT_EQ(value("($b)"), 0);
    EXPECT_EQ(value("$b+1"), 1);
    EXPECT_EQ(colour("$b"), 0x0B0000u);  // "$$b": the dollar signs count as 0 digits
    EXPECT_FALSE(objects.get("$b", 7).has_value());
    let("p", "$$q");
    let("q", "$$p");
    EXPECT_EQ(value("$p"), 0);
    EXPECT_EQ(value("$q*2"), 0);
}

TEST_F(Values, ExpressionsRunStrictlyLeftToRight) {
    EXPECT_EQ(value("2+3*4"), 20);
    EXPECT_EQ(value("1+2*3"), 9);
    EXPECT_EQ(value("(1+2)*3"), 9);
    EXPECT_EQ(value("2*(3+(4-1))"), 12);
    EXPECT_EQ(value("-5"), -5);
    EXPECT_EQ(value("7/2"), 3);
    EXPECT_EQ(value("-7/2"), -3);
    EXPECT_EQ(value("7/0"), 0);
    EXPECT_EQ(value(""), 0);
    EXPECT_EQ(value("  \"12\""), 0);  // blanks first, then the quotes are not at the start
    EXPECT_EQ(value("\"  12\""), 12);
    EXPECT_EQ(value("(2+3"), 5);  // an unclosed parenthesis takes the rest
    EXPECT_EQ(value("5+"), 5);
}

TEST_F(Values, PercentTermsScaleTheAccumulator) {
    EXPECT_EQ(value("10+50%"), 15);
    EXPECT_EQ(value("10-50%"), 5);
    EXPECT_EQ(value("50*10%"), 5);
    EXPECT_EQ(value("30/50%"), 60);
    EXPECT_EQ(value("30/0%"), 0);
}

TEST_F(Values, NamesReadObjectsAsNumbers) {
    let("count", "12abc");
    let("ref", "$count");
    EXPECT_EQ(value("$count+1"), 13);
    EXPECT_EQ(value("$ref*2"), 24);
    EXPECT_EQ(value("count+1"), 1);  // a string has no property -1
    EXPECT_EQ(value("count(text)"), 12);
    EXPECT_EQ(value("count(nosuchword)"), 0);
    EXPECT_EQ(value("nobody"), 0);
    let("neg", "  -40");
    EXPECT_EQ(value("$neg"), -40);
}

TEST_F(Values, ArithmeticWrapsAt32Bits) {
    EXPECT_EQ(value("2147483647+1"), INT32_MIN);
    EXPECT_EQ(value("4294967296"), 0);
    let("min", "-2147483648");
    let("minusOne", "-1");
    EXPECT_EQ(value("$min/$minusOne"), INT32_MIN);
    EXPECT_EQ(value("$min*$minusOne"), INT32_MIN);
}

TEST_F(Values, DeepNestingReadsAsZeroInsteadOfOverflowing) {
    EXPECT_EQ(value(std::string(100000, '(') + "1"), 0);
    EXPECT_EQ(value(std::string(50, '(') + "1"), 1);
}

TEST_F(Values, ColoursPutRedInTheLowByte) {
    EXPECT_EQ(colour("#FF0000"), 0x0000FFu);
    EXPECT_EQ(colour("00FF00"), 0x00FF00u);
    EXPECT_EQ(colour("#0000ff"), 0xFF0000u);
    EXPECT_EQ(colour("#GG0000"), 0u);
    EXPECT_EQ(colour("#123"), 0x230100u);
    EXPECT_EQ(colour(""), 0u);
    let("c", "#102030");
    EXPECT_EQ(colour("$c"), 0x302010u);
}

TEST(NumberText, IsDecimal) {
    EXPECT_EQ(numberText(-32768), "-32768");
    EXPECT_EQ(numberText(0), "0");
    EXPECT_EQ(leadingNumber(" +42x"), 42);
    EXPECT_EQ(leadingNumber("x42"), 0);
}

TEST(ScriptPath, IsRelativeToTheLoaderFolder) {
    const std::string loader = "C:\\shows\\";
    EXPECT_EQ(scriptPath(std::nullopt, loader), loader);
    EXPECT_EQ(scriptPath(".\\x.jpg", loader), "x.jpg");
    EXPECT_EQ(scriptPath(".x", loader), ".x");
    EXPECT_EQ(scriptPath("..\\x", loader), "C:\\shows\\..\\x");
    EXPECT_EQ(scriptPath("pics\\%.%a.jpg", loader), "C:\\shows\\pics\\C:\\shows\\a.jpg");
    EXPECT_EQ(scriptPath("*/packed.jpg", loader), "*/packed.jpg");
    EXPECT_EQ(scriptPath(std::string(400, 'x'), loader).size(), kMaxPath);
    EXPECT_EQ(expandLoaderPathPrefix("%loaderpath%help.html", loader), "C:\\shows\\help.html");
    EXPECT_EQ(expandLoaderPathPrefix("%LOADERPATH%help.html", loader), "%LOADERPATH%help.html");
}

}  // namespace
}  // namespace lv
