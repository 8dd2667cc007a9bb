// A show menu definition as JSON, for authors: `lumavine-tool menu-make`
// writes a "menudef" file from it (docs/shows.md).
//
//     {"title": "Shows", "background": "photo06.jpg", "design_width": 800,
//      "design_height": 600, "shadow": true,
//      "title_item": {...}, "play_all": {...}, "loop_all": {...}, "items": [{...}]}
//
// An item: "thumb": [left, top, right, bottom], "label": [left, top, right,
// bottom], "anchor": [x, y], "face", "style" (numbering), "font_height",
// "box_opacity", the flags "bold", "italic", "shadow", "outline", "box",
// "horizontal" and "vertical" (0 flush left / top, 1 centred on the anchor,
// 2 flush right / bottom), and "text_colour", "outline_colour", "box_colour"
// ("#RRGGBB"). Strict: an unknown key, a value of the wrong kind or outside
// its field, or a text too long for its field is refused with its place
// named; a key left out is 0 or empty.
#pragma once

#include <optional>
#include <string>

#include "shell/json.h"
#include "show/menu_definition.h"

namespace lv {

std::optional<MenuDefinition> menuFromJson(const JsonValue& json, std::string& error);
JsonValue menuToJson(const MenuDefinition& menu);

}  // namespace lv
