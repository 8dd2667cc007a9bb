#include "script/lint.h"

#include <algorithm>

#include "platform/text.h"
#include "script/keywords.h"
#include "script/property_record.h"
#include "script/scan.h"
#include "script/statement_line.h"

namespace lv {

namespace {

class Linter {
public:
    Linter(const FunctionList& functions, std::vector<LintFinding>& findings)
        : functions_(functions), findings_(findings) {}

    void function(const ScriptFunction& f) {
        if (keywordLookup(f.name) >= 0)
            note(f.file, f.nameLine, "function name '" + f.name + "' is a keyword");
        for (std::size_t offset = 0; !atTextEnd(f.body, offset); offset = nextLine(f.body, offset))
            statement(f, offset);
    }

private:
    void statement(const ScriptFunction& f, std::size_t offset) {
        const StatementLine line = readStatementLine(f.body, offset);
        if (line.kind != StatementLine::kStatement || !line.hasProperties) return;
        const int lineNumber = f.sourceLine(offset);
        forEachProperty(f.body, line.wordEnd, [&](std::string_view name, std::string_view value) {
            const int keyword = keywordLookup(name);
            if (PropertyRecord::groupOf(keyword) == PropertyRecord::Group::None) {
                note(f.file, lineNumber, "property '" + std::string(name) + "' is taken by no statement");
                return;
            }
            const bool gotoTarget = (line.keyword == kwGoto && keyword == kwName) ||
                                    (line.keyword == kwIf && keyword == kwGoto);
            const bool callTarget = line.keyword == kwIf && keyword == kwCall;
            if (!gotoTarget && !callTarget) return;
            if (value.empty() || value.front() == '$') return;  // decided at run time
            if (callTarget && equalsNoCase(value, "exit")) return;
            if (!functions_.findGotoTarget(cutTo(value, ScriptFunction::kMaxName)).function)
                note(f.file, lineNumber,
                     std::string(callTarget ? "call" : "goto") + " target '" + std::string(value) + "' not found");
        });
    }

    void note(const std::string& file, int line, std::string message) {
        findings_.push_back({file, line, std::move(message)});
    }

    const FunctionList& functions_;
    std::vector<LintFinding>& findings_;
};

void lintQuotes(const ScriptText& script, std::vector<LintFinding>& findings) {
    int line = 1;
    int quotes = 0;
    for (std::size_t i = 0; i <= script.text.size(); ++i) {
        const char c = i < script.text.size() ? script.text[i] : '\n';
        if (c == '"') ++quotes;
        if (c != '\n' && c != '\r') continue;
        if (quotes % 2 != 0) findings.push_back({script.file, line, "unbalanced double quotes"});
        quotes = 0;
        if (c == '\n' || i + 1 >= script.text.size() || script.text[i + 1] != '\n') ++line;
    }
}

}  // namespace

std::vector<LintFinding> lintScript(const FunctionList& functions, const LoadReport& report,
                                    const std::vector<ScriptText>& texts) {
    std::vector<LintFinding> findings;
    for (const ScriptText& script : texts) lintQuotes(script, findings);
    for (const auto& place : report.unclosedBlocks)
        findings.push_back({place.file, place.line, "begin '" + place.name + "' without end"});
    Linter linter(functions, findings);
    for (const ScriptFunction& function : functions.all()) linter.function(function);
    std::stable_sort(findings.begin(), findings.end(), [](const LintFinding& a, const LintFinding& b) {
        return a.file != b.file ? a.file < b.file : a.line < b.line;
    });
    return findings;
}

}  // namespace lv
