// A show as JSON, for authors: `lumavine-tool show DIR --dump` prints it and
// `lumavine-tool show-make` writes a show file from it (docs/shows.md).
//
//     JsonValue j = showToJson(show);          // every interpreted field
//     std::optional<Show> back = showFromJson(j, error);   // equals show
//
// Keys are the field tables' English names (show_fields.h). An object holds
// its record's fields, then "sounds", "captions" and "cells" (show), "sound"
// and "captions" (cell), "font" and "text" (caption). Colours are "#RRGGBB"
// texts (red first, as the script writes them) or, when a colour uses its
// top byte, a plain number. Reading is strict: an unknown key, a value of
// the wrong kind, a number outside its field or a text too long for its
// field is refused with its place named; a key left out keeps the record's
// default (show_file.h).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "shell/json.h"
#include "show/show_file.h"

namespace lv {

// A colour as "#RRGGBB" (a plain number when its top byte is used), and back;
// false for anything else.
JsonValue colourToJson(std::uint32_t colour);
bool colourFromJson(const JsonValue& value, std::uint32_t& colour);

JsonValue showToJson(const Show& show);
std::optional<Show> showFromJson(const JsonValue& json, std::string& error);

}  // namespace lv
