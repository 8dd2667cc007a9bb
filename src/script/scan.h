// The tokenizer primitive of the script engine: every parse is built from it.
//
// A scan walks from a position with the quote state off and stops at the
// first character that one of its options asks for; a double quote flips the
// quote state, so quotes protect blanks, line ends and equals signs inside a
// token (and stay part of it). The text ends at its end or at a zero
// character, whichever comes first; a scan never passes that end.
#pragma once

#include <cstddef>
#include <string_view>

namespace lv {

enum ScanOption : unsigned {
    kStopAtLineEnd = 1,  // outside quotes: stop at a carriage return or line feed
    kStopAtBlank = 2,    // outside quotes: stop at a space or tab
    kStopAtEquals = 4,   // outside quotes: stop at an equals sign
    kSkipLineEnds = 8,   // stop at anything that is not a line end
    kSkipWhite = 16,     // stop at anything that is neither a blank nor a line end
};

// The combinations in use.
constexpr unsigned kSkipBlanksOnLine = kSkipWhite | kStopAtLineEnd;
constexpr unsigned kSkipBlanksAndLines = kSkipWhite;
constexpr unsigned kTokenEnd = kStopAtBlank | kStopAtLineEnd;
constexpr unsigned kNameEnd = kStopAtBlank | kStopAtLineEnd | kStopAtEquals;
constexpr unsigned kLineEnd = kStopAtLineEnd;

constexpr bool isBlank(char c) { return c == ' ' || c == '\t'; }
constexpr bool isLineEnd(char c) { return c == '\r' || c == '\n'; }

// True when the position is at the end of the text (its end or a zero).
bool atTextEnd(std::string_view text, std::size_t position);
// True at a line end or at the end of the text.
bool atLineEndOrTextEnd(std::string_view text, std::size_t position);

// Where the scan from the position stops; the end of the text at the latest.
std::size_t scan(std::string_view text, std::size_t position, unsigned options);

// The start of the next line: to the line end, then over the line ends.
std::size_t nextLine(std::string_view text, std::size_t position);

// A text cut to at most the given number of characters.
std::string_view cutTo(std::string_view text, std::size_t limit);

// A text of at least two characters that begins and ends with a double quote,
// without those two quotes; any other text unchanged.
std::string_view withoutQuotes(std::string_view text);

}  // namespace lv
