#include "script/engine.h"

#include <charconv>

#include "platform/program_control.h"
#include "platform/text.h"
#include "script/objects.h"
#include "script/scan.h"
#include "script/values.h"
#include "shell/process.h"

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
    Place place{&function, offset};
    std::string gotoTarget;
    while (!cutting_ && !atTextEnd(place.function->body, place.offset)) {
        if (stepBudget_ != 0 && ++steps_ > stepBudget_) {
            cutting_ = true;
            break;
        }
        gotoTarget.clear();
        if (executeLine(*place.function, place.offset, gotoTarget) == kGoto) {
            place = findGotoTarget(gotoTarget);
            if (!place.function) break;
        } else {
            place.offset = nextLine(place.function->body, place.offset);
        }
    }
    leave();
}

ScriptEngine::Place ScriptEngine::findGotoTarget(std::string_view target) const {
    for (const ScriptFunction& function : functions_.all()) {
        if (equalsNoCase(function.name, target)) return {&function, 0};
        const std::string_view body = function.body;
        for (std::size_t line = 0; !atTextEnd(body, line); line = nextLine(body, line)) {
            const std::string_view rest = body.substr(line);
            if (rest.size() > target.size() && startsWithNoCase(rest, target) && rest[target.size()] == ':')
                return {&function, nextLine(body, line)};
        }
    }
    return {};
}

int ScriptEngine::executeLine(const ScriptFunction& function, std::size_t offset, std::string& gotoTarget) {
    if (lineHook_) lineHook_(function, offset);
    const std::string_view text = function.body;
    const std::size_t labelEnd = labelWordEnd(text, offset);
    if (labelEnd < text.size() && text[labelEnd] == ':') return kDone;

    PropertyRecord record;  // all zero
    const std::size_t wordStart = scan(text, offset, kSkipBlanksOnLine);
    const std::size_t wordEnd = scan(text, wordStart, kNameEnd);
    if (wordEnd < text.size() && text[wordEnd] == '=') {
        runAssignments(text, offset);
        return kDone;
    }
    const int keyword = keywordLookup(text.substr(wordStart, wordEnd - wordStart));
    if (wordEnd == wordStart || keyword < 0) return callUserFunction(function, offset);
    if (wordEnd < text.size() && isBlank(text[wordEnd])) parseProperties(text, wordEnd, record);
    if (keyword > kwTitle) return kNotAStatement;
    return runStatement(keyword, record, gotoTarget);
}

int ScriptEngine::runStatement(int keyword, const PropertyRecord& record, std::string& gotoTarget) {
    const Statement& statement = statements_[static_cast<std::size_t>(keyword)];
    if (!statement) return kNotAStatement;
    return statement(*this, record, gotoTarget) == kGoto ? kGoto : kDone;
}

int ScriptEngine::callUserFunction(const ScriptFunction& caller, std::size_t offset) {
    const std::string_view text = caller.body;
    const std::size_t wordStart = scan(text, offset, kSkipBlanksOnLine);
    const std::size_t wordEnd = scan(text, wordStart, kTokenEnd);
    const std::string_view word = text.substr(wordStart, wordEnd - wordStart);
    if (word.empty()) return kNotAStatement;
    const ScriptFunction* callee = functions_.find(word);
    if (!callee) return kNotAStatement;
    runAssignments(text, wordEnd);
    runBody(*callee, 0);
    return kNotAStatement;
}

void ScriptEngine::parseProperties(std::string_view text, std::size_t position, PropertyRecord& record) {
    record.resetToNotSet();
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
        record.store(objects_, keywordLookup(name), value);
    }
}

void ScriptEngine::runAssignments(std::string_view text, std::size_t position) {
    for (;;) {
        position = scan(text, position, kSkipBlanksOnLine);
        if (atLineEndOrTextEnd(text, position)) break;
        const std::size_t nameEnd = scan(text, position, kNameEnd);
        const std::string name(cutTo(text.substr(position, nameEnd - position), PropertyRecord::kMaxName));
        position = nameEnd;
        if (!atTextEnd(text, position)) ++position;  // normally the equals sign
        position = scan(text, position, kSkipBlanksOnLine);
        const std::size_t valueEnd = scan(text, position, kTokenEnd);
        std::string value(cutTo(text.substr(position, valueEnd - position), PropertyRecord::kMaxValue));
        position = valueEnd;
        if (withoutQuotes(value).size() != value.size()) value = value.substr(1, value.size() - 2);
        else if (!value.empty() && value.front() == '(') value = numberText(integerValue(objects_, value));
        objects_.define("string", name, value);
    }
}

}  // namespace lv
