// How a body line reads, before anything runs: the shared parse of the
// engine and of the lint.
//
//   label:          kLabel        (first word ends at a colon)
//   a=1 b=2         kAssignment   (first word ends at an equals sign)
//   rect name=x     kStatement    (first word is a keyword)
//   showMenu x=1    kCall         (anything else: a user function or nothing)
#pragma once

#include <cstddef>
#include <functional>
#include <string_view>

namespace lv {

struct StatementLine {
    enum Kind { kLabel, kAssignment, kStatement, kCall } kind = kCall;
    int keyword = -1;           // for kStatement
    std::size_t wordStart = 0;  // the first word
    std::size_t wordEnd = 0;
    bool hasProperties = false;  // kStatement: a blank follows the keyword
};

StatementLine readStatementLine(std::string_view text, std::size_t offset);

// Walks the name=value pairs from the position: names cut to 99 characters,
// values to 999 and freed of enclosing double quotes. A name that ends its
// line takes the first word of the next line as its value.
using PropertyVisitor = std::function<void(std::string_view name, std::string_view value)>;
void forEachProperty(std::string_view text, std::size_t position, const PropertyVisitor& visit);

// Walks the name=value pairs of an assignment: a quoted value loses its
// quotes; each pair is handed on as written otherwise.
void forEachAssignment(std::string_view text, std::size_t position, const PropertyVisitor& visit);

}  // namespace lv
