#include "script/property_record.h"

#include "script/keywords.h"
#include "script/values.h"

namespace lv {

namespace {

// Each property's slot in its group, in the record's order.
constexpr Keyword kNumberProperties[PropertyRecord::kNumberCount] = {
    kwWidth,      kwHeight,      kwLeft,       kwTop,        kwRight,      kwBottom,     kwEnabled,   kwCtrl,
    kwAlt,        kwShift,       kwKey,        kwThumbsizex, kwThumbsizey, kwMaximize,   kwVisible,   kwBits,
    kwInnerOpacity, kwInnerBitX, kwInnerBitY,  kwInnerXparX, kwInnerXparY, kwOuterOpacity, kwOuterBitX, kwOuterBitY,
    kwOuterXparX, kwOuterXparY,  kwThickness,  kwTextWidth,  kwTextHeight, kwShadow,     kwBold,      kwItalic,
    kwUnderline,  kwStrike,      kwOutline,    kwEmboss,     kwGloss,      kwAngle,      kwBright,    kwContrast,
    kwBlack,      kwWhite,       kwHorz,       kwVert,       kwRadius,     kwImageWidth, kwImageHeight, kwOversample,
    kwSsActive,   kwSsDelay,     kwSsPause,    kwSsOrder,    kwZoom,       kwZoomAdd,    kwPan,       kwCrop,
    kwResize,     kwRedeye,      kwFade,       kwReload};
constexpr Keyword kColourProperties[PropertyRecord::kColourCount] = {kwInnerColor, kwOuterColor, kwBacklight,
                                                                     kwShadowColor};
constexpr Keyword kTextProperties[PropertyRecord::kTextCount] = {
    kwSource, kwDest,   kwName,  kwTrigger, kwNormalstate, kwOverstate, kwDownstate, kwSeldownstate,
    kwText,   kwParent, kwSize,  kwClose,   kwInnerBit,    kwInnerXpar, kwOuterBit,  kwOuterXpar,
    kwGoto,   kwCall,   kwIn,    kwOut,     kwDouble,      kwValid,     kwInvalid,   kwPath};

struct Slot {
    PropertyRecord::Group group = PropertyRecord::Group::None;
    int index = -1;
};

struct SlotTable {
    std::array<Slot, kKeywordCount> slots{};
    constexpr SlotTable() {
        for (int i = 0; i < PropertyRecord::kNumberCount; ++i) slots[kNumberProperties[i]] = {PropertyRecord::Group::Number, i};
        for (int i = 0; i < PropertyRecord::kColourCount; ++i) slots[kColourProperties[i]] = {PropertyRecord::Group::Colour, i};
        for (int i = 0; i < PropertyRecord::kTextCount; ++i) slots[kTextProperties[i]] = {PropertyRecord::Group::Text, i};
    }
};
constexpr SlotTable kSlots;

Slot slotOf(int keyword, PropertyRecord::Group group) {
    if (keyword < 0 || keyword >= kKeywordCount) return {};
    const Slot slot = kSlots.slots[static_cast<std::size_t>(keyword)];
    return slot.group == group ? slot : Slot{};
}

const std::optional<std::string> kNoText;

}  // namespace

PropertyRecord::Group PropertyRecord::groupOf(int keyword) {
    if (keyword < 0 || keyword >= kKeywordCount) return Group::None;
    return kSlots.slots[static_cast<std::size_t>(keyword)].group;
}

void PropertyRecord::clearToZero() {
    numbers_.fill(0);
    colours_.fill(0);
    for (auto& text : texts_) text.reset();
}

void PropertyRecord::resetToNotSet() {
    numbers_.fill(kNumberNotSet);
    colours_.fill(kColourNotSet);
    for (auto& text : texts_) text.reset();
}

void PropertyRecord::store(ObjectRegistry& objects, int keyword, std::string_view value) {
    switch (groupOf(keyword)) {
    case Group::Number: setNumber(keyword, integerValue(objects, value)); break;
    case Group::Colour: setColour(keyword, colourValue(objects, value)); break;
    case Group::Text: setText(keyword, std::string(value)); break;
    case Group::None: break;
    }
}

std::int32_t PropertyRecord::number(int keyword) const {
    const Slot slot = slotOf(keyword, Group::Number);
    return slot.index < 0 ? kNumberNotSet : numbers_[static_cast<std::size_t>(slot.index)];
}

std::uint32_t PropertyRecord::colour(int keyword) const {
    const Slot slot = slotOf(keyword, Group::Colour);
    return slot.index < 0 ? kColourNotSet : colours_[static_cast<std::size_t>(slot.index)];
}

const std::optional<std::string>& PropertyRecord::text(int keyword) const {
    const Slot slot = slotOf(keyword, Group::Text);
    return slot.index < 0 ? kNoText : texts_[static_cast<std::size_t>(slot.index)];
}

bool PropertyRecord::given(int keyword) const {
    switch (groupOf(keyword)) {
    case Group::Number: return number(keyword) != kNumberNotSet;
    case Group::Colour: return colour(keyword) != kColourNotSet;
    case Group::Text: return text(keyword).has_value();
    case Group::None: return false;
    }
    return false;
}

void PropertyRecord::setNumber(int keyword, std::int32_t value) {
    const Slot slot = slotOf(keyword, Group::Number);
    if (slot.index >= 0) numbers_[static_cast<std::size_t>(slot.index)] = value;
}

void PropertyRecord::setColour(int keyword, std::uint32_t value) {
    const Slot slot = slotOf(keyword, Group::Colour);
    if (slot.index >= 0) colours_[static_cast<std::size_t>(slot.index)] = value;
}

void PropertyRecord::setText(int keyword, std::optional<std::string> value) {
    const Slot slot = slotOf(keyword, Group::Text);
    if (slot.index >= 0) texts_[static_cast<std::size_t>(slot.index)] = std::move(value);
}

}  // namespace lv
