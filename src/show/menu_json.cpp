#include "show/menu_json.h"

#include <array>
#include <cstdint>
#include <limits>

#include "show/show_json.h"

namespace lv {

namespace {

// A reader of one JSON object that names the place of the first fault.
class ObjectReader {
public:
    ObjectReader(const JsonValue& value, std::string place, std::string& error)
        : value_(value), place_(std::move(place)), error_(error) {
        if (!value.isObject()) fail("", "is not an object");
    }
    bool ok() const { return ok_; }

    // Refuses keys outside the list.
    template <std::size_t N>
    void onlyKeys(const std::array<const char*, N>& keys) {
        if (!ok_) return;
        for (const auto& [key, v] : value_.asObject()) {
            bool known = false;
            for (const char* k : keys) known = known || key == k;
            if (!known) return fail(key, "is not a known key");
        }
    }
    template <class T>
    void integer(const char* key, T& out, std::int64_t lo = std::numeric_limits<T>::min(),
                 std::int64_t hi = std::numeric_limits<T>::max()) {
        const JsonValue* v = find(key);
        if (!v) return;
        if (!v->isInteger() || v->asInteger() < lo || v->asInteger() > hi) return fail(key, "is not an integer in range");
        out = static_cast<T>(v->asInteger());
    }
    void flag(const char* key, std::uint16_t& flags, unsigned bit) {
        const JsonValue* v = find(key);
        if (!v) return;
        if (!v->isBool()) return fail(key, "is not true or false");
        if (v->asBool()) flags = static_cast<std::uint16_t>(flags | bit);
    }
    void text(const char* key, std::string& out, std::size_t fieldSize) {
        const JsonValue* v = find(key);
        if (!v) return;
        if (!v->isString() || v->asString().size() >= fieldSize || v->asString().find('\0') != std::string::npos)
            return fail(key, "is not a text that fits its field");
        out = v->asString();
    }
    void colour(const char* key, std::uint32_t& out) {
        const JsonValue* v = find(key);
        if (v && !colourFromJson(*v, out)) fail(key, "is not a colour");
    }
    // An array of exactly N integers of the type's range.
    template <class T, std::size_t N>
    void integers(const char* key, std::array<T*, N> out) {
        const JsonValue* v = find(key);
        if (!v) return;
        if (!v->isArray() || v->asArray().size() != N) return fail(key, "is not an array of the right length");
        for (std::size_t i = 0; i < N; ++i) {
            const JsonValue& e = v->asArray()[i];
            if (!e.isInteger() || e.asInteger() < std::numeric_limits<T>::min() ||
                e.asInteger() > std::numeric_limits<T>::max())
                return fail(key, "holds a value that is not an integer in range");
            *out[i] = static_cast<T>(e.asInteger());
        }
    }
    const JsonValue* find(const char* key) const { return ok_ ? value_.find(key) : nullptr; }
    std::string place(const std::string& key) const { return place_ + "." + key; }
    void fail(const std::string& key, const char* what) {
        if (!ok_) return;
        ok_ = false;
        error_ = (key.empty() ? place_ : place(key)) + " " + what;
    }

private:
    const JsonValue& value_;
    std::string place_;
    std::string& error_;
    bool ok_ = true;
};

constexpr std::array kItemKeys = {"thumb",   "label", "anchor",   "face",       "style",    "font_height",
                                  "box_opacity", "bold", "italic", "shadow",     "outline",  "box",
                                  "horizontal",  "vertical", "text_colour", "outline_colour", "box_colour"};
constexpr std::array kMenuKeys = {"title",      "background", "design_width", "design_height", "shadow",
                                  "title_item", "play_all",   "loop_all",     "items"};

bool itemFromJson(const JsonValue& json, const std::string& place, MenuItem& item, std::string& error) {
    ObjectReader r(json, place, error);
    r.onlyKeys(kItemKeys);
    r.integers<std::int32_t, 4>("thumb", {&item.thumb.left, &item.thumb.top, &item.thumb.right, &item.thumb.bottom});
    std::int16_t label[6] = {};
    r.integers<std::int16_t, 4>("label", {&label[0], &label[1], &label[2], &label[3]});
    r.integers<std::int16_t, 2>("anchor", {&label[4], &label[5]});
    item.labelLeft = label[0];
    item.labelTop = label[1];
    item.labelRight = label[2];
    item.labelBottom = label[3];
    item.anchorX = label[4];
    item.anchorY = label[5];
    r.text("face", item.face, kMenuFaceSize);
    r.text("style", item.style, kMenuStyleSize);
    r.integer("font_height", item.fontHeight, -128, 127);
    r.integer("box_opacity", item.boxOpacity);
    r.flag("bold", item.flags, MenuFlag::kBold);
    r.flag("italic", item.flags, MenuFlag::kItalic);
    r.flag("shadow", item.flags, MenuFlag::kShadow);
    r.flag("outline", item.flags, MenuFlag::kOutline);
    r.flag("box", item.flags, MenuFlag::kBox);
    int horizontal = 0, vertical = 0;
    r.integer("horizontal", horizontal, 0, 2);
    r.integer("vertical", vertical, 0, 2);
    item.flags = static_cast<std::uint16_t>(item.flags | (horizontal << MenuFlag::kHorizontalShift) |
                                            (vertical << MenuFlag::kVerticalShift));
    r.colour("text_colour", item.textColour);
    r.colour("outline_colour", item.outlineColour);
    r.colour("box_colour", item.boxColour);
    return r.ok();
}

JsonValue itemToJson(const MenuItem& item) {
    JsonValue j{JsonValue::Object{}};
    j.add("thumb", JsonValue::Array{item.thumb.left, item.thumb.top, item.thumb.right, item.thumb.bottom});
    j.add("label", JsonValue::Array{item.labelLeft, item.labelTop, item.labelRight, item.labelBottom});
    j.add("anchor", JsonValue::Array{item.anchorX, item.anchorY});
    j.add("face", item.face);
    j.add("style", item.style);
    j.add("font_height", item.fontHeight);
    j.add("box_opacity", int{item.boxOpacity});
    j.add("bold", (item.flags & MenuFlag::kBold) != 0);
    j.add("italic", (item.flags & MenuFlag::kItalic) != 0);
    j.add("shadow", (item.flags & MenuFlag::kShadow) != 0);
    j.add("outline", (item.flags & MenuFlag::kOutline) != 0);
    j.add("box", (item.flags & MenuFlag::kBox) != 0);
    j.add("horizontal", item.horizontalPlacement());
    j.add("vertical", item.verticalPlacement());
    j.add("text_colour", colourToJson(item.textColour));
    j.add("outline_colour", colourToJson(item.outlineColour));
    j.add("box_colour", colourToJson(item.boxColour));
    return j;
}

}  // namespace

std::optional<MenuDefinition> menuFromJson(const JsonValue& json, std::string& error) {
    MenuDefinition menu;
    ObjectReader r(json, "menu", error);
    r.onlyKeys(kMenuKeys);
    r.text("title", menu.title, kMenuTextSize);
    r.text("background", menu.background, kMenuTextSize);
    r.integer("design_width", menu.designWidth, 1);
    r.integer("design_height", menu.designHeight, 1);
    if (const JsonValue* v = r.find("shadow")) {
        if (v->isBool()) menu.shadow = v->asBool() ? 1 : 0;
        else r.fail("shadow", "is not true or false");
    }
    if (!r.ok()) return std::nullopt;
    if (!r.find("design_width") || !r.find("design_height")) {
        error = "menu needs design_width and design_height";
        return std::nullopt;
    }
    const std::pair<const char*, MenuItem*> named[] = {
        {"title_item", &menu.titleItem}, {"play_all", &menu.playAll}, {"loop_all", &menu.loopAll}};
    for (const auto& [key, item] : named)
        if (const JsonValue* v = r.find(key); v && !itemFromJson(*v, r.place(key), *item, error)) return std::nullopt;
    if (const JsonValue* items = r.find("items")) {
        if (!items->isArray() || items->asArray().size() > 10000) {
            error = "menu.items is not an array of at most 10000 items";
            return std::nullopt;
        }
        for (const JsonValue& v : items->asArray()) {
            MenuItem item;
            if (!itemFromJson(v, r.place("items[" + std::to_string(menu.items.size()) + "]"), item, error))
                return std::nullopt;
            menu.items.push_back(item);
        }
    }
    return menu;
}

JsonValue menuToJson(const MenuDefinition& menu) {
    JsonValue j{JsonValue::Object{}};
    j.add("title", menu.title);
    j.add("background", menu.background);
    j.add("design_width", menu.designWidth);
    j.add("design_height", menu.designHeight);
    j.add("shadow", menu.shadow != 0);
    j.add("title_item", itemToJson(menu.titleItem));
    j.add("play_all", itemToJson(menu.playAll));
    j.add("loop_all", itemToJson(menu.loopAll));
    JsonValue::Array items;
    for (const MenuItem& item : menu.items) items.push_back(itemToJson(item));
    j.add("items", std::move(items));
    return j;
}

}  // namespace lv
