#include "script/script_loader.h"

#include "platform/host.h"
#include "platform/text.h"
#include "script/keywords.h"
#include "script/scan.h"

namespace lv {

namespace {

// Line numbers of positions, for positions visited in increasing order.
class LineCounter {
public:
    explicit LineCounter(std::string_view text) : text_(text) {}
    int lineAt(std::size_t position) {
        for (; at_ < position && at_ < text_.size(); ++at_) {
            const char c = text_[at_];
            if (c == '\n' || (c == '\r' && (at_ + 1 >= text_.size() || text_[at_ + 1] != '\n'))) ++line_;
        }
        return line_;
    }

private:
    std::string_view text_;
    std::size_t at_ = 0;
    int line_ = 1;
};

// True when the first word at the position is the block word, matched without
// regard to case and followed by a blank or a line end.
bool startsWithBlockWord(std::string_view text, std::size_t position, std::string_view word) {
    const std::string_view rest = text.substr(position);
    return rest.size() > word.size() && startsWithNoCase(rest, word) &&
           (isBlank(rest[word.size()]) || isLineEnd(rest[word.size()]));
}

// Finds the end lines of one text. Every line start after a position is on
// the line walk from it, so once a walk from some line start found no end
// line, no walk from a later one can; a walk from an earlier one stops where
// the failed one began. Each line is then walked at most once per search
// that succeeds and once for all that fail, which keeps loading linear even
// when every block is left open (an "end;" typo leaves them all open).
class EndLineFinder {
public:
    EndLineFinder(std::string_view text, std::size_t& linesWalked) : text_(text), linesWalked_(linesWalked) {}

    // The position of the closing end word at or after the line start, or npos.
    std::size_t find(std::size_t position) {
        const std::size_t from = position;
        while (!atTextEnd(text_, position) && position < noEndFrom_) {
            ++linesWalked_;
            const std::size_t word = scan(text_, position, kSkipBlanksOnLine);
            if (startsWithBlockWord(text_, word, "end")) return word;
            position = nextLine(text_, position);
        }
        noEndFrom_ = from;
        return std::string_view::npos;
    }

private:
    std::string_view text_;
    std::size_t& linesWalked_;
    std::size_t noEndFrom_ = std::string_view::npos;
};

void addFunction(FunctionList& functions, std::string_view name, std::string_view body, std::string_view file,
                 int nameLine, int bodyLine) {
    if (keywordLookup(name) >= 0) host().messageBox(name, "FUNC=KEYWORD", Host::kOk);
    functions.add(name, body, file, nameLine, bodyLine);
}

}  // namespace

void addScriptText(FunctionList& functions, std::string_view text, std::string_view file, LoadReport* report) {
    text = text.substr(0, text.find('\0'));
    LineCounter lines(text);
    std::size_t linesWalked = 0;
    EndLineFinder endLines(text, linesWalked);
    std::size_t position = 0;
    while (!atTextEnd(text, position)) {
        const std::size_t word = scan(text, position, kSkipBlanksOnLine);
        if (!startsWithBlockWord(text, word, "begin")) {
            position = nextLine(text, position);
            continue;
        }
        const std::size_t nameStart = scan(text, word + 5, kSkipBlanksAndLines);
        const std::size_t nameEnd = scan(text, nameStart, kTokenEnd);
        const std::string_view name = text.substr(nameStart, nameEnd - nameStart);
        const std::size_t bodyStart = nextLine(text, nameEnd);
        const std::size_t end = endLines.find(bodyStart);
        if (end == std::string_view::npos) {
            if (report) report->unclosedBlocks.push_back({std::string(file), lines.lineAt(word), std::string(name)});
            position = nextLine(text, word);
            continue;
        }
        const int nameLine = lines.lineAt(nameStart);
        const int bodyLine = lines.lineAt(bodyStart);
        addFunction(functions, name, text.substr(bodyStart, end - bodyStart), file, nameLine, bodyLine);
        position = nextLine(text, end);
    }
    if (report) report->endSearchLines += linesWalked;
}

std::string launcherScriptPath(std::string_view launcherPath) {
    std::size_t length = launcherPath.size();
    while (length > 0 && launcherPath[length - 1] != '.' && launcherPath[length - 1] != '/' &&
           launcherPath[length - 1] != '\\')
        --length;
    if (length == 0 || launcherPath[length - 1] != '.') return {};
    return std::string(launcherPath.substr(0, length)) + "scr";
}

void loadScript(FunctionList& functions, ScriptSourceFiles& files, std::string_view programFolder,
                std::string_view launcherPath, LoadReport* report) {
    auto addFile = [&](const std::string& path) {
        const auto text = files.readWhole(path);
        if (!text) return;
        if (report) report->filesRead.push_back(path);
        addScriptText(functions, *text, path, report);
    };
    for (const std::string& name : files.listScripts(programFolder)) addFile(std::string(programFolder) + name);
    const std::string own = launcherScriptPath(launcherPath);
    if (!own.empty()) addFile(own);
}

}  // namespace lv
