#include "script/statement_line.h"

#include "script/keywords.h"
#include "script/property_record.h"
#include "script/scan.h"

namespace lv {

namespace {

// The first word of a line for the label test: up to a colon, semicolon,
// blank or line end; a double quote skips to just after the next one.
std::size_t labelWordEnd(std::string_view text, std::size_t position) {
    while (!atTextEnd(text, position)) {
        const char c = text[position];
        if (c == ':' || c == ';' || isBlank(c) || isLineEnd(c)) break;
        if (c == '"') {
            const std::size_t close = text.find('"', position + 1);
            position = close == std::string_view::npos ? text.size() : close + 1;
            continue;
        }
        ++position;
    }
    return position < text.size() ? position : text.size();
}

}  // namespace

StatementLine readStatementLine(std::string_view text, std::size_t offset) {
    StatementLine line;
    const std::size_t labelEnd = labelWordEnd(text, offset);
    if (labelEnd < text.size() && text[labelEnd] == ':') {
        line.kind = StatementLine::kLabel;
        return line;
    }
    line.wordStart = scan(text, offset, kSkipBlanksOnLine);
    line.wordEnd = scan(text, line.wordStart, kNameEnd);
    if (line.wordEnd < text.size() && text[line.wordEnd] == '=') {
        line.kind = StatementLine::kAssignment;
        return line;
    }
    line.keyword = keywordLookup(text.substr(line.wordStart, line.wordEnd - line.wordStart));
    if (line.wordEnd == line.wordStart || line.keyword < 0) {
        // A call's word runs to the next blank or line end.
        line.kind = StatementLine::kCall;
        line.keyword = -1;
        line.wordEnd = scan(text, line.wordStart, kTokenEnd);
        return line;
    }
    line.kind = StatementLine::kStatement;
    line.hasProperties = line.wordEnd < text.size() && isBlank(text[line.wordEnd]);
    return line;
}

void forEachProperty(std::string_view text, std::size_t position, const PropertyVisitor& visit) {
    while (!atLineEndOrTextEnd(text, position)) {
        position = scan(text, position, kSkipBlanksOnLine);
        if (atLineEndOrTextEnd(text, position)) break;
        const std::size_t nameEnd = scan(text, position, kNameEnd);
        if (nameEnd == position) {
            ++position;
            continue;
        }
        const std::string_view name = cutTo(text.substr(position, nameEnd - position), PropertyRecord::kMaxName);
        position = scan(text, nameEnd, kSkipBlanksAndLines);
        while (position < text.size() && text[position] == '=') ++position;
        position = scan(text, position, kSkipBlanksOnLine);
        std::string_view value;
        if (!atLineEndOrTextEnd(text, position)) {
            const std::size_t valueEnd = scan(text, position, kTokenEnd);
            value = withoutQuotes(cutTo(text.substr(position, valueEnd - position), PropertyRecord::kMaxValue));
            position = valueEnd;
        }
        visit(name, value);
    }
}

void forEachAssignment(std::string_view text, std::size_t position, const PropertyVisitor& visit) {
    for (;;) {
        position = scan(text, position, kSkipBlanksOnLine);
        if (atLineEndOrTextEnd(text, position)) break;
        const std::size_t nameEnd = scan(text, position, kNameEnd);
        const std::string_view name = cutTo(text.substr(position, nameEnd - position), PropertyRecord::kMaxName);
        position = nameEnd;
        if (!atTextEnd(text, position)) ++position;  // normally the equals sign
        position = scan(text, position, kSkipBlanksOnLine);
        const std::size_t valueEnd = scan(text, position, kTokenEnd);
        const std::string_view value = cutTo(text.substr(position, valueEnd - position), PropertyRecord::kMaxValue);
        position = valueEnd;
        visit(name, value);
    }
}

}  // namespace lv
