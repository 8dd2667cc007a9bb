#include "script/values.h"

#include <cstdio>

#include "platform/text.h"
#include "script/keywords.h"
#include "script/objects.h"
#include "script/scan.h"
#include "shell/process.h"

namespace lv {

namespace {

// Nested parentheses deeper than this read as 0 (a value holds at most 999
// characters, so a script never comes near it).
constexpr int kMaxNesting = 200;

constexpr std::int32_t wrap(std::int64_t value) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(value)));
}

constexpr bool isDigit(char c) { return c >= '0' && c <= '9'; }
constexpr bool isOperator(char c) { return c == '+' || c == '-' || c == '*' || c == '/' || c == '%'; }

// The position after the parenthesis that closes the one at the position (the
// end when none does).
std::size_t closingParenthesis(std::string_view text, std::size_t open, std::size_t& inner) {
    int depth = 0;
    for (std::size_t i = open; i < text.size(); ++i) {
        if (text[i] == '(') ++depth;
        if (text[i] == ')' && --depth == 0) {
            inner = i;
            return i + 1;
        }
    }
    inner = text.size();
    return text.size();
}

// The end of a name term: the first operator outside quotes and parentheses.
std::size_t nameEnd(std::string_view text, std::size_t position) {
    bool quoted = false;
    int depth = 0;
    for (; position < text.size(); ++position) {
        const char c = text[position];
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        if (c == '(') ++depth;
        if (c == ')' && depth > 0) --depth;
        if (depth == 0 && isOperator(c)) break;
    }
    return position;
}

std::int32_t combine(char op, std::int32_t a, std::int32_t t, bool percentage) {
    const std::int64_t a64 = a, t64 = t;
    switch (op) {
    case '+': return percentage ? wrap(a64 + wrap(a64 * t64) / 100) : wrap(a64 + t64);
    case '-': return percentage ? wrap(a64 - wrap(a64 * t64) / 100) : wrap(a64 - t64);
    case '*': return percentage ? wrap(a64 * t64) / 100 : wrap(a64 * t64);
    case '/':
        if (t == 0) return 0;
        return percentage ? wrap(wrap(a64 * 100) / t64) : wrap(a64 / t64);
    default: return a;
    }
}

std::int32_t evaluate(ObjectRegistry& objects, std::string_view text, int nesting);

// The text a name term stands for.
std::optional<std::string> nameTermText(ObjectRegistry& objects, std::string_view name) {
    const std::size_t open = name.find('(');
    if (!name.empty() && name.back() == ')' && open != std::string_view::npos) {
        const std::string_view inside = name.substr(open + 1, name.size() - open - 2);
        const int property = keywordLookup(inside);
        if (property < 0) return std::string();
        return objects.get(name.substr(0, open), property);
    }
    if (!name.empty() && name.front() == '$') return dereference(objects, name);
    return objects.get(name, kwNone);
}

std::int32_t evaluate(ObjectRegistry& objects, std::string_view text, int nesting) {
    text = withoutQuotes(text);
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    if (text.empty() || nesting > kMaxNesting) return 0;

    std::int32_t accumulator = 0;
    char pending = '+';
    std::size_t position = 0;
    for (;;) {
        std::int32_t term = 0;
        if (position < text.size() && text[position] == '(') {
            std::size_t inner = 0;
            const std::size_t after = closingParenthesis(text, position, inner);
            term = evaluate(objects, text.substr(position + 1, inner - position - 1), nesting + 1);
            position = after;
        } else if (position < text.size() && isDigit(text[position])) {
            std::int64_t value = 0;
            for (; position < text.size() && isDigit(text[position]); ++position)
                value = wrap(value * 10 + (text[position] - '0'));
            term = static_cast<std::int32_t>(value);
        } else {
            const std::size_t end = nameEnd(text, position);
            const auto termText = nameTermText(objects, text.substr(position, end - position));
            term = termText ? leadingNumber(*termText) : 0;
            position = end;
        }
        bool percentage = false;
        if (position < text.size() && text[position] == '%') {
            percentage = true;
            ++position;
        }
        accumulator = combine(pending, accumulator, term, percentage);
        if (position >= text.size()) return accumulator;
        pending = text[position++];
    }
}

// The work of one dereference, shared by every dereference it starts on the
// way: reading "$$b" dereferences the name "$b" again, so a self-referring
// chain would otherwise recurse without end. Main thread only, like the
// registry; the counts live on the thread because the nesting runs through
// ObjectRegistry::get.
struct DereferenceBudget {
    int depth = 0;
    std::size_t stepsLeft = 0;
};
thread_local DereferenceBudget dereferenceBudget;

// Enters one level of dereference; the outermost level sets the step budget.
class DereferenceLevel {
public:
    explicit DereferenceLevel(std::size_t objectCount) {
        if (dereferenceBudget.depth++ == 0) dereferenceBudget.stepsLeft = objectCount + kMaxDereferenceDepth;
    }
    ~DereferenceLevel() { --dereferenceBudget.depth; }
    DereferenceLevel(const DereferenceLevel&) = delete;
    DereferenceLevel& operator=(const DereferenceLevel&) = delete;

    bool tooDeep() const { return dereferenceBudget.depth > kMaxDereferenceDepth; }
    // Takes one step of the budget; false when it is spent.
    bool takeStep() {
        if (dereferenceBudget.stepsLeft == 0) return false;
        --dereferenceBudget.stepsLeft;
        return true;
    }
};

}  // namespace

std::string dereference(ObjectRegistry& objects, std::string_view text) {
    std::string current(text);
    if (current.empty() || current.front() != '$') return current;
    DereferenceLevel level(objects.objects().size());
    if (level.tooDeep()) return current;
    // Each step of a chain that goes somewhere reaches another object, so a
    // chain longer than the object count runs in a circle; the budget bounds
    // the nested chains too.
    while (!current.empty() && current.front() == '$' && level.takeStep()) {
        auto next = objects.get(std::string_view(current).substr(1), kwText);
        if (!next || *next == current) break;
        current = std::move(*next);
    }
    return current;
}

std::int32_t integerValue(ObjectRegistry& objects, std::string_view text) { return evaluate(objects, text, 0); }

std::uint32_t colourValue(ObjectRegistry& objects, std::string_view text) {
    const std::string value = dereference(objects, text);
    std::string_view digits = value;
    if (!digits.empty() && digits.front() == '#') digits.remove_prefix(1);
    std::uint32_t rgb = 0;
    for (const char c : digits) {
        unsigned digit = 0;
        if (c >= '0' && c <= '9') digit = static_cast<unsigned>(c - '0');
        else if (c >= 'A' && c <= 'F') digit = static_cast<unsigned>(c - 'A' + 10);
        else if (c >= 'a' && c <= 'f') digit = static_cast<unsigned>(c - 'a' + 10);
        rgb = rgb * 16 + digit;
    }
    const std::uint32_t red = (rgb >> 16) & 0xFF, green = (rgb >> 8) & 0xFF, blue = rgb & 0xFF;
    return red | (green << 8) | (blue << 16);
}

std::string numberText(long value) {
    char text[24];
    std::snprintf(text, sizeof text, "%ld", value);
    return text;
}

std::int32_t leadingNumber(std::string_view text) {
    std::size_t position = 0;
    while (position < text.size() && isSpace(text[position])) ++position;
    bool negative = false;
    if (position < text.size() && (text[position] == '+' || text[position] == '-'))
        negative = text[position++] == '-';
    std::int64_t value = 0;
    for (; position < text.size() && isDigit(text[position]); ++position) value = wrap(value * 10 + (text[position] - '0'));
    return wrap(negative ? -value : value);
}

std::string scriptPath(std::optional<std::string_view> text, std::string_view loaderPath) {
    if (!text) return std::string(cutTo(loaderPath, kMaxPath));
    std::string_view rest = *text;
    if (rest.starts_with("*/")) return std::string(cutTo(rest, kMaxPath));
    std::string path;
    if (!rest.empty() && rest.front() == '.' && !(rest.size() > 1 && rest[1] == '.')) {
        if (rest.starts_with(".\\")) rest.remove_prefix(2);
    } else {
        path = loaderPath;
    }
    while (!rest.empty() && path.size() < kMaxPath) {
        if (rest.starts_with("%.%")) {
            path += loaderPath;
            rest.remove_prefix(3);
        } else {
            path += rest.front();
            rest.remove_prefix(1);
        }
    }
    return std::string(cutTo(path, kMaxPath));
}

std::string scriptPath(std::optional<std::string_view> text) { return scriptPath(text, startupArgs().loaderPath); }

std::string expandLoaderPathPrefix(std::string_view text, std::string_view loaderPath) {
    if (!text.starts_with("%loaderpath%")) return std::string(text);
    return std::string(loaderPath) + std::string(text.substr(12));
}

}  // namespace lv
