// Running the script: label runs, bodies, lines and the statement table.
//
// A label run executes a user function by name; it is how start-up (init,
// postInit) and the controls hand control to the script. A body runs line
// by line, each line one statement:
//
//     label:                      a label line: does nothing, goto reaches it
//     a=5 b="x y" c=(a+1)         an assignment: defines string objects
//     showMenu x=1                a call of a user function; x=1 defines the
//                                 string x as its argument, then it runs nested
//     rect name=b left=3 ...      a keyword statement with its property record
//     goto name=other             continue in other for good (not nested)
//
// Statements are looked up in a table indexed by keyword number. The engine
// itself provides `if`, `goto` and `string`; the others start as handlers that
// do nothing and are filled in by the subsystems that own them
// (setStatement). A handler returns kDone, or kGoto after writing the goto
// target.
//
// Limits: nested calls and label runs at most kMaxNesting deep (a deeper one
// ends the whole run quietly, so a function calling itself cannot exhaust the
// stack); an optional step budget ends a run after that many lines (tools and
// fuzzing; the program runs without one). Names and values written on a line
// are cut at the lengths of PropertyRecord and ScriptFunction.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "script/functions.h"
#include "script/keywords.h"
#include "script/property_record.h"

namespace lv {

class ObjectRegistry;
struct StatementLine;

class ScriptEngine {
public:
    static constexpr int kMaxNesting = 100;
    static constexpr std::size_t kMaxGotoTarget = 51;

    // Results of executeLine and of statement handlers.
    static constexpr int kDone = 0;
    static constexpr int kGoto = 1;
    static constexpr int kNotAStatement = -1;  // also: a user function was called

    using Statement = std::function<int(ScriptEngine& engine, const PropertyRecord& record, std::string& gotoTarget)>;
    // Called before each line runs: the function and the line's offset in its body.
    using LineHook = std::function<void(const ScriptFunction& function, std::size_t offset)>;

    ScriptEngine(const FunctionList& functions, ObjectRegistry& objects);

    // Replaces the handler of a statement keyword.
    void setStatement(int keyword, Statement handler);
    // The handler of a statement keyword (empty for none), so that a
    // subsystem can take a keyword over and hand other cases on.
    Statement statement(int keyword) const;

    // Runs the first function of that name (case ignored). "exit" posts the
    // quit message instead. 0 when a function ran or the name was "exit";
    // -1 otherwise (the viewer then gets the keyboard focus, unless the
    // program runs as a screen-saver preview).
    int runLabel(std::string_view name);

    // Executes lines from the offset to the end of the body, following gotos.
    void runBody(const ScriptFunction& function, std::size_t offset);

    // Executes the line at the offset: kDone, kGoto (gotoTarget written) or
    // kNotAStatement.
    int executeLine(const ScriptFunction& function, std::size_t offset, std::string& gotoTarget);

    // Fills the record from name=value pairs starting at the position.
    void parseProperties(std::string_view text, std::size_t position, PropertyRecord& record);

    // Defines a string object for each name=value pair starting at the position.
    void runAssignments(std::string_view text, std::size_t position);

    // Ends every run after that many executed lines; 0: no budget.
    void setStepBudget(std::uint64_t lines) { stepBudget_ = lines; }
    std::uint64_t stepsTaken() const { return steps_; }
    // True when the last outermost run was ended by the nesting cap or the budget.
    bool lastRunCut() const { return lastRunCut_; }

    void setLineHook(LineHook hook) { lineHook_ = std::move(hook); }

    ObjectRegistry& objects() { return objects_; }
    const FunctionList& functions() const { return functions_; }

private:
    int callUserFunction(std::string_view text, const StatementLine& line);
    int runStatement(int keyword, const PropertyRecord& record, std::string& gotoTarget);
    void installControlFlow();
    // Enters a nested run; false when the nesting cap is reached.
    bool enter();
    void leave();

    const FunctionList& functions_;
    ObjectRegistry& objects_;
    std::array<Statement, kKeywordCount> statements_;
    LineHook lineHook_;
    int nesting_ = 0;
    bool cutting_ = false;
    bool lastRunCut_ = false;
    std::uint64_t stepBudget_ = 0;
    std::uint64_t steps_ = 0;
};

}  // namespace lv
