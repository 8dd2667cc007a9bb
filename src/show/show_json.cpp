#include "show/show_json.h"

#include <cstdio>
#include <limits>

#include "show/show_fields.h"

namespace lv {

JsonValue colourToJson(std::uint32_t colour) {
    if (colour >> 24) return JsonValue(static_cast<std::int64_t>(colour));
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
    return JsonValue(text);
}

bool colourFromJson(const JsonValue& v, std::uint32_t& colour) {
    if (v.isInteger()) {
        if (v.asInteger() < 0 || v.asInteger() > 0xFFFFFFFFll) return false;
        colour = static_cast<std::uint32_t>(v.asInteger());
        return true;
    }
    if (!v.isString()) return false;
    const std::string& s = v.asString();
    if (s.size() != 7 || s[0] != '#') return false;
    std::uint32_t rgb = 0;
    for (std::size_t i = 1; i < 7; ++i) {
        const char c = s[i];
        int d = -1;
        if (c >= '0' && c <= '9') d = c - '0';
        else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
        if (d < 0) return false;
        rgb = rgb * 16 + static_cast<std::uint32_t>(d);
    }
    colour = (rgb >> 16) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
    return true;
}

namespace {

template <class... Ts>
struct Overloaded : Ts... {
    using Ts::operator()...;
};
template <class... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

template <class Record>
JsonValue fieldsToJson(std::span<const RecordField<Record>> table, const Record& record) {
    JsonValue out{JsonValue::Object{}};
    for (const RecordField<Record>& field : table) {
        std::visit(Overloaded{
                       [&](std::int32_t Record::*m) { out.add(field.key, JsonValue(std::int64_t{record.*m})); },
                       [&](std::uint32_t Record::*m) { out.add(field.key, colourToJson(record.*m)); },
                       [&](std::uint8_t Record::*m) { out.add(field.key, JsonValue(std::int64_t{record.*m})); },
                       [&](double Record::*m) { out.add(field.key, JsonValue(record.*m)); },
                       [&](std::string Record::*m) { out.add(field.key, JsonValue(record.*m)); },
                   },
                   field.member);
    }
    return out;
}

// Reads one member into its field; false with the reason in `error`.
template <class Record>
bool fieldFromJson(const RecordField<Record>& field, const JsonValue& v, Record& record, std::string& error) {
    const auto integerIn = [&](std::int64_t lo, std::int64_t hi) {
        return v.isInteger() && v.asInteger() >= lo && v.asInteger() <= hi;
    };
    const bool ok = std::visit(
        Overloaded{
            [&](std::int32_t Record::*m) {
                if (!integerIn(std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()))
                    return false;
                record.*m = static_cast<std::int32_t>(v.asInteger());
                return true;
            },
            [&](std::uint32_t Record::*m) { return colourFromJson(v, record.*m); },
            [&](std::uint8_t Record::*m) {
                if (!integerIn(0, 255)) return false;
                record.*m = static_cast<std::uint8_t>(v.asInteger());
                return true;
            },
            [&](double Record::*m) {
                if (!v.isNumber()) return false;
                record.*m = v.asNumber();
                return true;
            },
            [&](std::string Record::*m) {
                if (!v.isString() || v.asString().size() >= field.size ||
                    v.asString().find('\0') != std::string::npos)
                    return false;
                record.*m = v.asString();
                return true;
            },
        },
        field.member);
    if (!ok) error = std::string("\"") + field.key + "\" does not fit its field";
    return ok;
}

// The members of an object: the table's fields and the named extras (which
// the caller reads); anything else is refused.
template <class Record>
bool fieldsFromJson(std::span<const RecordField<Record>> table, const JsonValue& json, Record& record,
                    std::initializer_list<std::string_view> extras, std::string& error) {
    if (!json.isObject()) {
        error = "an object expected";
        return false;
    }
    for (const auto& [key, value] : json.asObject()) {
        bool known = false;
        for (const RecordField<Record>& field : table) {
            if (key != field.key) continue;
            if (!fieldFromJson(field, value, record, error)) return false;
            known = true;
            break;
        }
        for (const std::string_view extra : extras) known = known || key == extra;
        if (!known) {
            error = "unknown key \"" + key + "\"";
            return false;
        }
    }
    return true;
}

JsonValue captionToJson(const ShowCaption& c) {
    JsonValue out = fieldsToJson(captionFields(), c);
    out.add("font", fieldsToJson(fontFields(), c.font));
    out.add("text", JsonValue(c.text));
    return out;
}

JsonValue captionsToJson(const std::vector<ShowCaption>& captions) {
    JsonValue::Array out;
    for (const ShowCaption& c : captions) out.push_back(captionToJson(c));
    return JsonValue(std::move(out));
}

bool captionFromJson(const JsonValue& json, ShowCaption& c, std::string& error) {
    if (!fieldsFromJson(captionFields(), json, c, {"font", "text"}, error)) return false;
    if (const JsonValue* font = json.find("font"))
        if (!fieldsFromJson(fontFields(), *font, c.font, {}, error)) return false;
    if (const JsonValue* text = json.find("text")) {
        if (!text->isString() || text->asString().find('\0') != std::string::npos) {
            error = "\"text\" must be a text without zero bytes";
            return false;
        }
        c.text = text->asString();
    }
    return true;
}

// A list member: an array of at most `limit` items, each read by `read`.
template <class Item, class Read>
bool listFromJson(const JsonValue& parent, const char* key, std::size_t limit, std::vector<Item>& items, Read read,
                  std::string& error) {
    const JsonValue* list = parent.find(key);
    if (!list) return true;
    if (!list->isArray() || list->asArray().size() > limit) {
        error = std::string("\"") + key + "\" must be a list of at most " + std::to_string(limit);
        return false;
    }
    items.resize(list->asArray().size());
    for (std::size_t i = 0; i < items.size(); ++i)
        if (!read(list->asArray()[i], items[i], error)) {
            error = std::string(key) + "[" + std::to_string(i) + "]: " + error;
            return false;
        }
    return true;
}

bool soundFromJson(const JsonValue& json, ShowSound& s, std::string& error) {
    return fieldsFromJson(soundFields(), json, s, {}, error);
}

bool cellFromJson(const JsonValue& json, ShowCell& cell, std::string& error) {
    if (!fieldsFromJson(cellFields(), json, cell, {"sound", "captions"}, error)) return false;
    if (const JsonValue* sound = json.find("sound"))
        if (!soundFromJson(*sound, cell.sound, error)) {
            error = "sound: " + error;
            return false;
        }
    return listFromJson(json, "captions", ShowLayout::kMaxCaptions, cell.captions, captionFromJson, error);
}

}  // namespace

JsonValue showToJson(const Show& show) {
    JsonValue out = fieldsToJson(showFields(), show);
    JsonValue::Array sounds;
    for (const ShowSound& s : show.sounds) sounds.push_back(fieldsToJson(soundFields(), s));
    out.add("sounds", JsonValue(std::move(sounds)));
    out.add("captions", captionsToJson(show.captions));
    JsonValue::Array cells;
    for (const ShowCell& c : show.cells) {
        JsonValue cell = fieldsToJson(cellFields(), c);
        cell.add("sound", fieldsToJson(soundFields(), c.sound));
        cell.add("captions", captionsToJson(c.captions));
        cells.push_back(std::move(cell));
    }
    out.add("cells", JsonValue(std::move(cells)));
    return out;
}

std::optional<Show> showFromJson(const JsonValue& json, std::string& error) {
    Show show;
    if (!fieldsFromJson(showFields(), json, show, {"sounds", "captions", "cells"}, error)) return std::nullopt;
    if (!listFromJson(json, "sounds", ShowLayout::kMaxShowSounds, show.sounds, soundFromJson, error))
        return std::nullopt;
    if (!listFromJson(json, "captions", ShowLayout::kMaxCaptions, show.captions, captionFromJson, error))
        return std::nullopt;
    // Cells are bounded by what a show file may hold.
    if (!listFromJson(json, "cells", kMaxShowFile / ShowLayout::kMinCellBlock, show.cells, cellFromJson, error))
        return std::nullopt;
    return show;
}

}  // namespace lv
