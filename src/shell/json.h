// JSON values, a strict bounded reader and a writer, for the files that
// authors write by hand (show descriptions of `lumavine-tool show-make`).
//
//     std::string error;
//     std::optional<JsonValue> v = parseJson(text, error);
//     if (v && v->isObject()) if (const JsonValue* t = v->find("title")) ...
//     std::string out = writeJson(*v);   // two-space indent, keys in order
//
// Strict: RFC 8259 only (no comments, no trailing commas, no single quotes,
// no NaN), one value, nothing after it but white space; duplicate keys are
// refused. Bounded: at most kMaxJsonText bytes and kMaxJsonDepth levels of
// nesting. Texts are the program's 8-bit strings: the reader takes \u0000 to
// \u00FF as the byte of that value and refuses higher code points; the
// writer escapes control bytes and bytes from 0x7F as \u00XX, so every
// string comes back byte for byte. Integers (no fraction, no exponent) are
// kept exactly as 64-bit values; other numbers as doubles.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace lv {

inline constexpr std::size_t kMaxJsonText = std::size_t{16} << 20;
inline constexpr int kMaxJsonDepth = 32;

class JsonValue {
public:
    using Array = std::vector<JsonValue>;
    using Object = std::vector<std::pair<std::string, JsonValue>>;  // in the order written

    JsonValue() = default;  // null
    JsonValue(bool b) : value_(b) {}
    JsonValue(std::int64_t i) : value_(i) {}
    JsonValue(int i) : value_(std::int64_t{i}) {}
    JsonValue(double d) : value_(d) {}
    JsonValue(std::string s) : value_(std::move(s)) {}
    JsonValue(const char* s) : value_(std::string(s)) {}
    JsonValue(Array a) : value_(std::move(a)) {}
    JsonValue(Object o) : value_(std::move(o)) {}

    bool isNull() const { return std::holds_alternative<std::monostate>(value_); }
    bool isBool() const { return std::holds_alternative<bool>(value_); }
    bool isInteger() const { return std::holds_alternative<std::int64_t>(value_); }
    bool isNumber() const { return isInteger() || std::holds_alternative<double>(value_); }
    bool isString() const { return std::holds_alternative<std::string>(value_); }
    bool isArray() const { return std::holds_alternative<Array>(value_); }
    bool isObject() const { return std::holds_alternative<Object>(value_); }

    bool asBool() const { return std::get<bool>(value_); }
    std::int64_t asInteger() const { return std::get<std::int64_t>(value_); }
    double asNumber() const { return isInteger() ? static_cast<double>(asInteger()) : std::get<double>(value_); }
    const std::string& asString() const { return std::get<std::string>(value_); }
    const Array& asArray() const { return std::get<Array>(value_); }
    const Object& asObject() const { return std::get<Object>(value_); }
    Array& asArray() { return std::get<Array>(value_); }
    Object& asObject() { return std::get<Object>(value_); }

    // The member of an object by key; null when absent or not an object.
    const JsonValue* find(std::string_view key) const;
    // Appends a member to an object (no check for duplicates).
    void add(std::string key, JsonValue value) { asObject().emplace_back(std::move(key), std::move(value)); }

    bool operator==(const JsonValue&) const = default;

private:
    std::variant<std::monostate, bool, std::int64_t, double, std::string, Array, Object> value_;
};

// The value of the text, or nullopt with a reason (and the byte offset) in `error`.
std::optional<JsonValue> parseJson(std::string_view text, std::string& error);

// The value as text, objects and arrays over several lines with two-space
// indent, ending in a newline. Doubles are written so that they read back
// equal; non-finite doubles are written as null.
std::string writeJson(const JsonValue& value);

}  // namespace lv
