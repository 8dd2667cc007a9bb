// The strict JSON reader and the writer.
#include "shell/json.h"

#include <gtest/gtest.h>

namespace lv {
namespace {

std::optional<JsonValue> parse(std::string_view text) {
    std::string error;
    return parseJson(text, error);
}

TEST(Json, ReadsEveryKindOfValue) {
    const auto v = parse(R"({"a": [1, -2, 3.5, true, false, null], "b": {"c": "d"}, "e": -0.25e2})");
    ASSERT_TRUE(v);
    const auto& a = v->find("a")->asArray();
    EXPECT_EQ(a[0].asInteger(), 1);
    EXPECT_EQ(a[1].asInteger(), -2);
    EXPECT_DOUBLE_EQ(a[2].asNumber(), 3.5);
    EXPECT_TRUE(a[3].asBool());
    EXPECT_TRUE(a[5].isNull());
    EXPECT_EQ(v->find("b")->find("c")->asString(), "d");
    EXPECT_DOUBLE_EQ(v->find("e")->asNumber(), -25);
}

TEST(Json, RefusesWhatTheStandardDoesNotAllowOrNestsTooDeep) {
    for (const char* bad : {"", "{", "[1,]", "{\"a\":1,}", "{'a':1}", "01", "1.", ".5", "-", "1e", "NaN", "[1] 2",
                            "\"tab\there\"", "\"\\x\"", "\"\\u12\"", "{\"a\":1,\"a\":2}", "tru", "// c\n1",
                            "99999999999999999999", "1e999"}) {
        EXPECT_FALSE(parse(bad)) << bad;
    }
    std::string error;
    EXPECT_FALSE(parseJson("[1, 2, x]", error));
    EXPECT_NE(error.find("byte 7"), std::string::npos) << error;  // errors name their place
    EXPECT_TRUE(parse(std::string(kMaxJsonDepth, '[') + std::string(kMaxJsonDepth, ']')));
    EXPECT_FALSE(parse(std::string(kMaxJsonDepth + 2, '[') + std::string(kMaxJsonDepth + 2, ']')));
    EXPECT_FALSE(parse(std::string(100000, '[')));  // nesting is bounded, never a stack overflow
}

TEST(Json, EightBitTextsComeBackByteForByte) {
    std::string text = "quote \" back \\ ";
    for (int b = 1; b < 256; ++b) text.push_back(static_cast<char>(b));
    text.push_back('\0');
    const std::string written = writeJson(JsonValue(text));
    for (const char c : written) EXPECT_TRUE((c >= 0x20 && c < 0x7F) || c == '\n');
    const auto back = parse(written);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->asString(), text);
    EXPECT_FALSE(parse("\"\\u0100\""));
}

TEST(Json, NumbersComeBackExactly) {
    for (double d : {0.1, 12.5, 1e-300, 123456789.123456789, -2.0}) {
        const auto back = parse(writeJson(JsonValue(d)));
        ASSERT_TRUE(back);
        EXPECT_FALSE(back->isInteger());
        EXPECT_EQ(back->asNumber(), d);
    }
    const auto big = parse(writeJson(JsonValue(std::int64_t{-9223372036854775807LL - 1})));
    ASSERT_TRUE(big);
    EXPECT_EQ(big->asInteger(), -9223372036854775807LL - 1);
}

TEST(Json, WrittenObjectsKeepTheirOrderAndReadBackEqual) {
    JsonValue v{JsonValue::Object{}};
    v.add("z", JsonValue(1));
    v.add("a", JsonValue(JsonValue::Array{JsonValue("x"), JsonValue(JsonValue::Object{})}));
    const std::string text = writeJson(v);
    EXPECT_LT(text.find("\"z\""), text.find("\"a\""));
    EXPECT_EQ(parse(text), v);
}

}  // namespace
}  // namespace lv
