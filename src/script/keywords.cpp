#include "script/keywords.h"

#include <algorithm>
#include <array>

#include "platform/text.h"

namespace lv {

namespace {

constexpr std::array<KeywordInfo, kKeywordCount> kKeywords{{
    {"beep", kStatement},
    {"bitmap", kStatement},
    {"bits", kNumberProperty},
    {"button", kStatement},
    {"crop", kStatement | kNumberProperty},
    {"rect", kStatement},
    {"oval", kStatement},
    {"text", kStatement | kTextProperty},
    {"thumbArea", kStatement},
    {"static", kStatement},
    {"viewer", kStatement},
    {"window", kStatement},
    {"begin", kDelimiter},
    {"end", kDelimiter},
    {"width", kNumberProperty},
    {"height", kNumberProperty},
    {"left", kNumberProperty},
    {"top", kStatement | kNumberProperty},
    {"right", kNumberProperty},
    {"bottom", kNumberProperty},
    {"name", kTextProperty},
    {"source", kTextProperty},
    {"dest", kTextProperty},
    {"trigger", kTextProperty},
    {"normalstate", kTextProperty},
    {"overstate", kTextProperty},
    {"downstate", kTextProperty},
    {"seldownstate", kTextProperty},
    {"enabled", kNumberProperty},
    {"ctrl", kNumberProperty},
    {"shift", kNumberProperty},
    {"alt", kNumberProperty},
    {"key", kNumberProperty},
    {"thumbsizex", kNumberProperty},
    {"thumbsizey", kNumberProperty},
    {"maximize", kNumberProperty},
    {"hwnd", kObjectProperty},
    {"parent", kTextProperty},
    {"visible", kNumberProperty},
    {"show", kStatement},
    {"hide", kStatement},
    {"size", kStatement | kTextProperty},
    {"windowwidth", kObjectProperty},
    {"windowheight", kObjectProperty},
    {"windowleft", kObjectProperty},
    {"windowtop", kObjectProperty},
    {"windowright", kObjectProperty},
    {"windowbottom", kObjectProperty},
    {"close", kTextProperty},
    {"innerColor", kColourProperty},
    {"innerOpacity", kNumberProperty},
    {"innerBit", kTextProperty},
    {"innerBitX", kNumberProperty},
    {"innerBitY", kNumberProperty},
    {"innerXpar", kTextProperty},
    {"innerXparX", kNumberProperty},
    {"innerXparY", kNumberProperty},
    {"outerColor", kColourProperty},
    {"outerOpacity", kNumberProperty},
    {"outerBit", kTextProperty},
    {"outerBitX", kNumberProperty},
    {"outerBitY", kNumberProperty},
    {"outerXpar", kTextProperty},
    {"outerXparX", kNumberProperty},
    {"outerXparY", kNumberProperty},
    {"thickness", kNumberProperty},
    {"textWidth", kNumberProperty},
    {"textHeight", kNumberProperty},
    {"shadow", kNumberProperty},
    {"shadowColor", kColourProperty},
    {"bold", kNumberProperty},
    {"italic", kNumberProperty},
    {"underline", kNumberProperty},
    {"strike", kNumberProperty},
    {"outline", kNumberProperty},
    {"backlight", kColourProperty},
    {"emboss", kStatement | kNumberProperty},
    {"gloss", kNumberProperty},
    {"angle", kNumberProperty},
    {"adjust", kStatement},
    {"bright", kNumberProperty},
    {"contrast", kNumberProperty},
    {"black", kNumberProperty},
    {"white", kNumberProperty},
    {"rotate", kStatement},
    {"flip", kStatement},
    {"string", kStatement},
    {"horz", kNumberProperty},
    {"vert", kNumberProperty},
    {"blur", kStatement},
    {"spread", kStatement},
    {"radius", kNumberProperty},
    {"scale", kStatement},
    {"imageWidth", kNumberProperty},
    {"imageHeight", kNumberProperty},
    {"setViewer", kStatement},
    {"oversample", kNumberProperty},
    {"if", kStatement},
    {"goto", kStatement | kTextProperty},
    {"call", kTextProperty},
    {"in", kTextProperty},
    {"out", kTextProperty},
    {"double", kTextProperty},
    {"ssActive", kNumberProperty},
    {"ssDelay", kNumberProperty},
    {"ssPause", kNumberProperty},
    {"ssOrder", kNumberProperty},
    {"zoom", kNumberProperty},
    {"zoomAdd", kNumberProperty},
    {"pan", kNumberProperty},
    {"valid", kTextProperty},
    {"invalid", kTextProperty},
    {"messagebox", kStatement},
    {"net", kStatement},
    {"save", kStatement},
    {"copy", kStatement},
    {"print", kStatement},
    {"exec", kStatement},
    {"resize", kNumberProperty},
    {"viewNext", kStatement},
    {"viewPrev", kStatement},
    {"readFiles", kStatement},
    {"firstRoll", kObjectProperty},
    {"lastRoll", kObjectProperty},
    {"nextRoll", kStatement},
    {"prevRoll", kStatement},
    {"rolls", kStatement},
    {"roll", kObjectProperty},
    {"rollName", kObjectProperty},
    {"path", kTextProperty},
    {"redeye", kNumberProperty},
    {"fade", kNumberProperty},
    {"title", kStatement},
    {"reload", kNumberProperty},
}};

bool lessNoCase(std::string_view a, std::string_view b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return toLowerAscii(x) < toLowerAscii(y); });
}

// Keyword numbers sorted by text without regard to case, for halving searches.
struct SortedKeywords {
    std::array<int, kKeywordCount> numbers{};
    SortedKeywords() {
        for (int i = 0; i < kKeywordCount; ++i) numbers[i] = i;
        std::sort(numbers.begin(), numbers.end(),
                  [](int a, int b) { return lessNoCase(kKeywords[a].text, kKeywords[b].text); });
    }
};

const SortedKeywords& sorted() {
    static const SortedKeywords table;
    return table;
}

}  // namespace

const KeywordInfo& keywordInfo(int number) {
    static constexpr KeywordInfo kNoKeyword{"", 0};
    if (number < 0 || number >= kKeywordCount) return kNoKeyword;
    return kKeywords[static_cast<std::size_t>(number)];
}

int keywordLookup(std::string_view text) {
    const auto& numbers = sorted().numbers;
    const auto found = std::lower_bound(numbers.begin(), numbers.end(), text,
                                        [](int n, std::string_view t) { return lessNoCase(kKeywords[n].text, t); });
    if (found == numbers.end() || !equalsNoCase(kKeywords[*found].text, text)) return -1;
    return *found;
}

}  // namespace lv
