#include "shell/json.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace lv {

const JsonValue* JsonValue::find(std::string_view key) const {
    if (!isObject()) return nullptr;
    for (const auto& [k, v] : asObject())
        if (k == key) return &v;
    return nullptr;
}

namespace {

// --- Reading ---

class Reader {
public:
    Reader(std::string_view text, std::string& error) : text_(text), error_(error) {}

    std::optional<JsonValue> document() {
        if (text_.size() > kMaxJsonText) return fail("the text is too long");
        std::optional<JsonValue> v = value(0);
        if (!v) return std::nullopt;
        skipSpace();
        if (at_ != text_.size()) return fail("text after the value");
        return v;
    }

private:
    std::nullopt_t fail(const char* reason) {
        if (error_.empty()) error_ = std::string(reason) + " at byte " + std::to_string(at_);
        return std::nullopt;
    }
    bool more() const { return at_ < text_.size(); }
    char peek() const { return more() ? text_[at_] : '\0'; }
    void skipSpace() {
        while (more() && (peek() == ' ' || peek() == '\t' || peek() == '\n' || peek() == '\r')) ++at_;
    }
    bool literal(std::string_view word) {
        if (text_.substr(at_, word.size()) != word) return false;
        at_ += word.size();
        return true;
    }

    std::optional<JsonValue> value(int depth) {
        if (depth > kMaxJsonDepth) return fail("nesting too deep");
        skipSpace();
        switch (peek()) {
        case '{': return object(depth);
        case '[': return array(depth);
        case '"': {
            std::optional<std::string> s = string();
            if (!s) return std::nullopt;
            return JsonValue(std::move(*s));
        }
        case 't': if (literal("true")) return JsonValue(true); break;
        case 'f': if (literal("false")) return JsonValue(false); break;
        case 'n': if (literal("null")) return JsonValue(); break;
        default:
            if (peek() == '-' || (peek() >= '0' && peek() <= '9')) return number();
        }
        return fail("no value");
    }

    std::optional<JsonValue> object(int depth) {
        ++at_;  // {
        JsonValue::Object members;
        skipSpace();
        if (peek() == '}') {
            ++at_;
            return JsonValue(std::move(members));
        }
        for (;;) {
            skipSpace();
            if (peek() != '"') return fail("a key must be a string");
            std::optional<std::string> key = string();
            if (!key) return std::nullopt;
            for (const auto& m : members)
                if (m.first == *key) return fail("a key appears twice");
            skipSpace();
            if (peek() != ':') return fail("':' expected");
            ++at_;
            std::optional<JsonValue> v = value(depth + 1);
            if (!v) return std::nullopt;
            members.emplace_back(std::move(*key), std::move(*v));
            skipSpace();
            if (peek() == ',') { ++at_; continue; }
            if (peek() == '}') { ++at_; return JsonValue(std::move(members)); }
            return fail("',' or '}' expected");
        }
    }

    std::optional<JsonValue> array(int depth) {
        ++at_;  // [
        JsonValue::Array items;
        skipSpace();
        if (peek() == ']') {
            ++at_;
            return JsonValue(std::move(items));
        }
        for (;;) {
            std::optional<JsonValue> v = value(depth + 1);
            if (!v) return std::nullopt;
            items.push_back(std::move(*v));
            skipSpace();
            if (peek() == ',') { ++at_; continue; }
            if (peek() == ']') { ++at_; return JsonValue(std::move(items)); }
            return fail("',' or ']' expected");
        }
    }

    static int hexDigit(char c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    }

    std::optional<std::string> string() {
        ++at_;  // "
        std::string out;
        while (more()) {
            const char c = text_[at_++];
            if (c == '"') return out;
            if (static_cast<unsigned char>(c) < 0x20) return fail("a control byte inside a string");
            if (c != '\\') {
                out.push_back(c);
                continue;
            }
            if (!more()) break;
            const char e = text_[at_++];
            switch (e) {
            case '"': out.push_back('"'); break;
            case '\\': out.push_back('\\'); break;
            case '/': out.push_back('/'); break;
            case 'b': out.push_back('\b'); break;
            case 'f': out.push_back('\f'); break;
            case 'n': out.push_back('\n'); break;
            case 'r': out.push_back('\r'); break;
            case 't': out.push_back('\t'); break;
            case 'u': {
                if (text_.size() - at_ < 4) return fail("a short \\u escape");
                int code = 0;
                for (int i = 0; i < 4; ++i) {
                    const int d = hexDigit(text_[at_++]);
                    if (d < 0) return fail("a bad \\u escape");
                    code = code * 16 + d;
                }
                if (code > 0xFF) return fail("a character beyond \\u00FF (texts are 8-bit)");
                out.push_back(static_cast<char>(code));
                break;
            }
            default: return fail("an unknown escape");
            }
        }
        return fail("an unterminated string");
    }

    std::optional<JsonValue> number() {
        const std::size_t start = at_;
        bool integer = true;
        if (peek() == '-') ++at_;
        if (peek() == '0') {
            ++at_;
        } else if (peek() >= '1' && peek() <= '9') {
            while (peek() >= '0' && peek() <= '9') ++at_;
        } else {
            return fail("a bad number");
        }
        if (peek() == '.') {
            integer = false;
            ++at_;
            if (!(peek() >= '0' && peek() <= '9')) return fail("a bad fraction");
            while (peek() >= '0' && peek() <= '9') ++at_;
        }
        if (peek() == 'e' || peek() == 'E') {
            integer = false;
            ++at_;
            if (peek() == '+' || peek() == '-') ++at_;
            if (!(peek() >= '0' && peek() <= '9')) return fail("a bad exponent");
            while (peek() >= '0' && peek() <= '9') ++at_;
        }
        const std::string digits(text_.substr(start, at_ - start));
        errno = 0;
        if (integer) {
            char* end = nullptr;
            const long long v = std::strtoll(digits.c_str(), &end, 10);
            if (errno == ERANGE) return fail("an integer beyond 64 bits");
            return JsonValue(static_cast<std::int64_t>(v));
        }
        const double d = std::strtod(digits.c_str(), nullptr);
        if (!std::isfinite(d)) return fail("a number beyond the double range");
        return JsonValue(d);
    }

    std::string_view text_;
    std::string& error_;
    std::size_t at_ = 0;
};

// --- Writing ---

void writeString(std::string& out, const std::string& s) {
    out.push_back('"');
    for (const char c : s) {
        const auto b = static_cast<unsigned char>(c);
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\t': out += "\\t"; break;
        case '\r': out += "\\r"; break;
        default:
            if (b < 0x20 || b >= 0x7F) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04X", b);
                out += escape;
            } else {
                out.push_back(c);
            }
        }
    }
    out.push_back('"');
}

void writeDouble(std::string& out, double d) {
    if (!std::isfinite(d)) {
        out += "null";
        return;
    }
    char text[40];
    for (int precision = 15; precision <= 17; ++precision) {
        std::snprintf(text, sizeof text, "%.*g", precision, d);
        if (std::strtod(text, nullptr) == d) break;
    }
    std::string s(text);
    // Keep it a double when read back: give it a fraction or an exponent.
    if (s.find_first_of(".eE") == std::string::npos) s += ".0";
    out += s;
}

void write(std::string& out, const JsonValue& v, int indent) {
    const std::string pad(static_cast<std::size_t>(indent) * 2, ' ');
    const std::string inner(static_cast<std::size_t>(indent + 1) * 2, ' ');
    if (v.isNull()) out += "null";
    else if (v.isBool()) out += v.asBool() ? "true" : "false";
    else if (v.isInteger()) out += std::to_string(v.asInteger());
    else if (v.isNumber()) writeDouble(out, v.asNumber());
    else if (v.isString()) writeString(out, v.asString());
    else if (v.isArray()) {
        if (v.asArray().empty()) {
            out += "[]";
            return;
        }
        out += "[\n";
        for (std::size_t i = 0; i < v.asArray().size(); ++i) {
            out += inner;
            write(out, v.asArray()[i], indent + 1);
            out += i + 1 < v.asArray().size() ? ",\n" : "\n";
        }
        out += pad + "]";
    } else {
        if (v.asObject().empty()) {
            out += "{}";
            return;
        }
        out += "{\n";
        for (std::size_t i = 0; i < v.asObject().size(); ++i) {
            out += inner;
            writeString(out, v.asObject()[i].first);
            out += ": ";
            write(out, v.asObject()[i].second, indent + 1);
            out += i + 1 < v.asObject().size() ? ",\n" : "\n";
        }
        out += pad + "}";
    }
}

}  // namespace

std::optional<JsonValue> parseJson(std::string_view text, std::string& error) {
    error.clear();
    return Reader(text, error).document();
}

std::string writeJson(const JsonValue& value) {
    std::string out;
    write(out, value, 0);
    out.push_back('\n');
    return out;
}

}  // namespace lv
