#include "script/engine.h"

#include <charconv>

#include "platform/program_control.h"
#include "platform/text.h"
#include "script/objects.h"
#include "script/scan.h"
#include "script/statement_line.h"
#include "script/values.h"
#include "shell/process.h"

namespace lv {

namespace {

std::intptr_t windowHandle(const std::optional<std::string>& text) {
    if (!text) return 0;
    long long value = 0;
    std::from_chars(text->data(), text->data() + text->size(), value);
    return static_cast<std::intptr_t>(value);
}

int statementDoesNothing(ScriptEngine&, const PropertyRecord&, std::string&) { return ScriptEngine::kDone; }

int gotoStatement(ScriptEngine&, const PropertyRecord& record, std::string& gotoTarget) {
    const auto& target = record.text(kwName);
    if (!target) return ScriptEngine::kDone;
    gotoTarget = cutTo(*target, ScriptEngine::kMaxGotoTarget);
    return ScriptEngine::kGoto;
}

int ifStatement(ScriptEngine& engine, const PropertyRecord& record, std::string& gotoTarget) {
    const auto& condition = record.text(kwName);
    const auto& target = record.text(kwGoto);
    const auto& label = record.text(kwCall);
    if (!condition || (!target && !label)) return ScriptEngine::kDone;
    if (integerValue(engine.objects(), *condition) == 0) return ScriptEngine::kDone;
    if (target) {
        gotoTarget = cutTo(*target, ScriptEngine::kMaxGotoTarget);
        return ScriptEngine::kGoto;
    }
    engine.runLabel(*label);
    return ScriptEngine::kDone;
}

int stringStatement(ScriptEngine& engine, const PropertyRecord& record, std::string&) {
    const auto& name = record.text(kwName);
    const auto& text = record.text(kwText);
    if (name && text) engine.objects().define("string", *name, *text);
    return ScriptEngine::kDone;
}

}  // namespace

ScriptEngine::ScriptEngine(const FunctionList& functions, ObjectRegistry& objects)
    : functions_(functions), objects_(objects) {
    for (int keyword = 0; keyword < kKeywordCount; ++keyword)
        if (keywordInfo(keyword).use & kStatement) statements_[static_cast<std::size_t>(keyword)] = statementDoesNothing;
    installControlFlow();
}

void ScriptEngine::installControlFlow() {
    setStatement(kwIf, ifStatement);
    setStatement(kwGoto, gotoStatement);
    setStatement(kwString, stringStatement);
}

void ScriptEngine::setStatement(int keyword, Statement handler) {
    if (keyword >= 0 && keyword < kKeywordCount) statements_[static_cast<std::size_t>(keyword)] = std::move(handler);
}

ScriptEngine::Statement ScriptEngine::statement(int keyword) const {
    if (keyword < 0 || keyword >= kKeywordCount) return {};
    return statements_[static_cast<std::size_t>(keyword)];
}

bool ScriptEngine::enter() {
    if (nesting_ == 0) {
        cutting_ = false;
        steps_ = 0;
    }
    if (cutting_ || nesting_ >= kMaxNesting) {
        cutting_ = true;
        return false;
    }
    ++nesting_;
    return true;
}

void ScriptEngine::leave() {
    if (--nesting_ == 0) lastRunCut_ = cutting_;
}

int ScriptEngine::runLabel(std::string_view name) {
    if (equalsNoCase(name, "exit")) {
        programControl().postQuit(0);
        return 0;
    }
    if (const ScriptFunction* function = functions_.find(name); function && !name.empty()) {
        runBody(*function, 0);
        return 0;
    }
    if (startupArgs().screenSaverPreviewWnd != 0) return -1;
    if (const std::intptr_t viewer = windowHandle(objects_.get("viewer", kwHwnd)); viewer != 0)
        programControl().focusWindow(viewer);
    return -1;
}

void ScriptEngine::runBody(const ScriptFunction& function, std::size_t offset) {
    if (!enter()) return;
    FunctionList::Place place{&function, offset};
    std::string gotoTarget;
    while (!cutting_ && !atTextEnd(place.function->body, place.offset)) {
        if (stepBudget_ != 0 && ++steps_ > stepBudget_) {
            cutting_ = true;
            break;
        }
        gotoTarget.clear();
        if (executeLine(*place.function, place.offset, gotoTarget) == kGoto) {
            place = functions_.findGotoTarget(gotoTarget);
            if (!place.function) break;
        } else {
            place.offset = nextLine(place.function->body, place.offset);
        }
    }
    leave();
}

int ScriptEngine::executeLine(const ScriptFunction& function, std::size_t offset, std::string& gotoTarget) {
    if (lineHook_) lineHook_(function, offset);
    const std::string_view text = function.body;
    const StatementLine line = readStatementLine(text, offset);
    switch (line.kind) {
    case StatementLine::kLabel: return kDone;
    case StatementLine::kAssignment: runAssignments(text, offset); return kDone;
    case StatementLine::kCall: return callUserFunction(text, line);
    case StatementLine::kStatement: break;
    }
    PropertyRecord record;  // all zero unless a blank follows the keyword
    if (line.hasProperties) parseProperties(text, line.wordEnd, record);
    if (line.keyword > kwTitle) return kNotAStatement;
    return runStatement(line.keyword, record, gotoTarget);
}

int ScriptEngine::runStatement(int keyword, const PropertyRecord& record, std::string& gotoTarget) {
    const Statement& statement = statements_[static_cast<std::size_t>(keyword)];
    if (!statement) return kNotAStatement;
    return statement(*this, record, gotoTarget) == kGoto ? kGoto : kDone;
}

int ScriptEngine::callUserFunction(std::string_view text, const StatementLine& line) {
    const std::string_view word = text.substr(line.wordStart, line.wordEnd - line.wordStart);
    const ScriptFunction* callee = word.empty() ? nullptr : functions_.find(word);
    if (!callee) return kNotAStatement;
    runAssignments(text, line.wordEnd);
    runBody(*callee, 0);
    return kNotAStatement;
}

void ScriptEngine::parseProperties(std::string_view text, std::size_t position, PropertyRecord& record) {
    record.resetToNotSet();
    forEachProperty(text, position, [&](std::string_view name, std::string_view value) {
        record.store(objects_, keywordLookup(name), value);
    });
}

void ScriptEngine::runAssignments(std::string_view text, std::size_t position) {
    forEachAssignment(text, position, [&](std::string_view name, std::string_view written) {
        std::string value(written);
        if (withoutQuotes(written).size() != written.size()) value = withoutQuotes(written);
        else if (!written.empty() && written.front() == '(') value = numberText(integerValue(objects_, written));
        objects_.define("string", name, value);
    });
}

}  // namespace lv
