// Shows as JSON: what the tool's dump prints is what show-make reads.
#include "show/show_json.h"

#include <gtest/gtest.h>

#include "show_samples.h"

namespace lv::test {
namespace {

std::optional<Show> fromText(std::string_view text, std::string& error) {
    const auto json = parseJson(text, error);
    return json ? showFromJson(*json, error) : std::nullopt;
}

TEST(ShowJson, DumpReadsBackToTheSameShow) {
    const Show show = sampleShow();
    std::string error;
    const auto back = fromText(writeJson(showToJson(show)), error);
    ASSERT_TRUE(back) << error;
    EXPECT_EQ(*back, show);
    EXPECT_EQ(writeJson(showToJson(*back)), writeJson(showToJson(show)));
}

TEST(ShowJson, ColoursAreWrittenRedFirst) {
    Show show;
    show.backgroundColour = 0x00336699;  // red 0x99
    const JsonValue j = showToJson(show);
    EXPECT_EQ(j.find("background_colour")->asString(), "#996633");
    show.backgroundColour = 0x80000001;  // a top byte: a plain number
    EXPECT_EQ(showToJson(show).find("background_colour")->asInteger(), 0x80000001LL);
}

TEST(ShowJson, LeftOutKeysKeepTheDefaults) {
    std::string error;
    const auto show = fromText(R"({"title": "t", "cells": [{"image": "a.jpg", "display_ms": 2500}]})", error);
    ASSERT_TRUE(show) << error;
    EXPECT_EQ(show->title, "t");
    ASSERT_EQ(show->cells.size(), 1u);
    EXPECT_EQ(show->cells[0].displayMs, 2500);
    EXPECT_EQ(show->cells[0].zoom, 10000);
}

TEST(ShowJson, RefusesWhatDoesNotFitWithItsPlace) {
    std::string error;
    EXPECT_FALSE(fromText(R"({"titel": "t"})", error));
    EXPECT_NE(error.find("titel"), std::string::npos);
    EXPECT_FALSE(fromText(R"({"cells": [{}, {"zoom": 3000000000}]})", error));
    EXPECT_NE(error.find("cells[1]"), std::string::npos) << error;
    EXPECT_FALSE(fromText(R"({"band_timing": 256})", error));
    EXPECT_FALSE(fromText(R"({"background_colour": "#12345"})", error));
    EXPECT_FALSE(fromText("{\"title\": \"" + std::string(520, 'a') + "\"}", error));
    EXPECT_TRUE(fromText("{\"title\": \"" + std::string(519, 'a') + "\"}", error));
    std::string many = R"({"captions": [)";
    for (int i = 0; i < 21; ++i) many += std::string(i ? "," : "") + "{}";
    EXPECT_FALSE(fromText(many + "]}", error));
}

}  // namespace
}  // namespace lv::test
