#include "script/scan.h"

namespace lv {

bool atTextEnd(std::string_view text, std::size_t position) {
    return position >= text.size() || text[position] == '\0';
}

bool atLineEndOrTextEnd(std::string_view text, std::size_t position) {
    return atTextEnd(text, position) || isLineEnd(text[position]);
}

std::size_t scan(std::string_view text, std::size_t position, unsigned options) {
    bool quoted = false;
    for (; !atTextEnd(text, position); ++position) {
        const char c = text[position];
        if (!quoted) {
            if ((options & kStopAtLineEnd) && isLineEnd(c)) break;
            if ((options & kStopAtBlank) && isBlank(c)) break;
            if ((options & kStopAtEquals) && c == '=') break;
        }
        if ((options & kSkipLineEnds) && !isLineEnd(c)) break;
        if ((options & kSkipWhite) && !isBlank(c) && !isLineEnd(c)) break;
        if (c == '"') quoted = !quoted;
    }
    return position < text.size() ? position : text.size();
}

std::size_t nextLine(std::string_view text, std::size_t position) {
    return scan(text, scan(text, position, kLineEnd), kSkipLineEnds);
}

std::string_view cutTo(std::string_view text, std::size_t limit) { return text.substr(0, limit); }

std::string_view withoutQuotes(std::string_view text) {
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') return text.substr(1, text.size() - 2);
    return text;
}

}  // namespace lv
