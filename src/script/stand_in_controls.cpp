#include "script/stand_in_controls.h"

#include <array>

#include "script/keywords.h"
#include "script/values.h"

namespace lv {

namespace {

int numberOf(const std::map<int, std::string>& properties, int keyword, int otherwise) {
    const auto found = properties.find(keyword);
    return found == properties.end() ? otherwise : leadingNumber(found->second);
}

}  // namespace

StandInControl::Rect StandInControl::rect() const {
    Rect r;
    r.left = numberOf(properties, kwLeft, 0);
    r.top = numberOf(properties, kwTop, 0);
    // A width or height wins over a right or bottom edge.
    r.right = properties.count(kwWidth) ? r.left + numberOf(properties, kwWidth, 0) : numberOf(properties, kwRight, r.left);
    r.bottom = properties.count(kwHeight) ? r.top + numberOf(properties, kwHeight, 0) : numberOf(properties, kwBottom, r.top);
    return r;
}

std::unique_ptr<ObjectInstance> StandInControlType::create(std::string_view) {
    return std::make_unique<StandInControl>();
}

std::optional<std::string> StandInControlType::get(ObjectInstance& instance, int property) {
    const auto& control = static_cast<StandInControl&>(instance);
    const StandInControl::Rect r = control.rect();
    switch (property) {
    case kwWindowleft: return numberText(r.left);
    case kwWindowtop: return numberText(r.top);
    case kwWindowright: return numberText(r.right);
    case kwWindowbottom: return numberText(r.bottom);
    case kwWindowwidth: return numberText(r.right - r.left);
    case kwWindowheight: return numberText(r.bottom - r.top);
    case kwHwnd: return std::nullopt;
    default: break;
    }
    const auto found = control.properties.find(property);
    if (found == control.properties.end()) return std::nullopt;
    return found->second;
}

int StandInControlType::set(std::unique_ptr<ObjectInstance>& slot, int property, std::string_view value) {
    if (!slot || property < 0) return -1;
    static_cast<StandInControl&>(*slot).properties[property] = std::string(value);
    return 0;
}

void registerStandInControls(ObjectRegistry& objects) {
    static std::array<StandInControlType, 5> types{StandInControlType("button"), StandInControlType("static"),
                                                   StandInControlType("viewer"), StandInControlType("thumbArea"),
                                                   StandInControlType("window")};
    for (StandInControlType& type : types)
        if (objects.findType(type.name()) != &type) objects.registerType(type);
}

}  // namespace lv
