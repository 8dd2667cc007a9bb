#include "script/engine.h"

#include <gtest/gtest.h>

#include "script/keywords.h"
#include "script_fixture.h"

namespace lv {
namespace {

class Engine : public ScriptFixture {
protected:
    // Records the records the statement `rect` receives.
    Engine() {
        engine.setStatement(kwRect, [this](ScriptEngine&, const PropertyRecord& record, std::string&) {
            records.push_back(record);
            return ScriptEngine::kDone;
        });
    }
    // The record the one statement line gives.
    PropertyRecord record(std::string_view line) {
        records.clear();
        runLines(line);
        EXPECT_EQ(records.size(), 1u) << line;
        return records.empty() ? PropertyRecord() : records[0];
    }
    std::vector<PropertyRecord> records;
};

// An unknown label fails and focuses the viewer window.
TEST_F(Engine, ExitPostsQuitAndUnknownLabelsFail) {
    EXPECT_EQ(run("EXIT"), 0);
    EXPECT_EQ(control.quits, std::vector<int>{0});
    EXPECT_EQ(run("nothing"), -1);
    EXPECT_EQ(run(""), -1);
    EXPECT_TRUE(control.focused.empty());
    struct Viewer final : ObjectType {
        Viewer() : ObjectType("viewer") {}
        std::unique_ptr<ObjectInstance> create(std::string_view) override { return std::make_unique<ObjectInstance>(); }
        std::optional<std::string> get(ObjectInstance&, int p) override {
            return p == kwHwnd ? std::optional<std::string>("4660") : std::nullopt;
        }
        int set(std::unique_ptr<ObjectInstance>&, int, std::string_view) override { return -1; }
    } viewer;
    objects.registerType(viewer);
    objects.define("viewer", "viewer", "");
    EXPECT_EQ(run("missing"), -1);
    EXPECT_EQ(control.focused, std::vector<std::intptr_t>{4660});
    objects.unregisterType(viewer);
}

TEST_F(Engine, SelfReferringStringEndsEveryStatementThatReadsIt) {
    load("begin init\nb=$$b\nx=($b)\nif name=$b goto=t\nstring name=$b text=1\nz=3\nend\nbegin t\nwent=1\nend\n");
    EXPECT_EQ(run("init"), 0);
    EXPECT_EQ(str("x"), "0");
    EXPECT_EQ(str("z"), "3");
    EXPECT_EQ(str("went"), "<none>");
    EXPECT_EQ(str("$$b"), "1");  // the name the reference ended at
}

// A script run from "init", and the strings it leaves ("<none>": none).
struct Ran {
    const char* name;
    const char* script;
    std::vector<std::pair<const char*, const char*>> strings;
};

class Runs : public ScriptFixture, public ::testing::WithParamInterface<Ran> {};

TEST_P(Runs, LeaveTheirStrings) {
    load(GetParam().script);
    EXPECT_EQ(run("init"), 0);
    for (const auto& [name, value] : GetParam().strings) EXPECT_EQ(str(name), value) << name;
    EXPECT_TRUE(control.quits.empty());  // "exit" as a line's first word is no quit
}

INSTANTIATE_TEST_SUITE_P(
    Engine, Runs,
    ::testing::Values(
        Ran{"LineAfterExitWordDoesNothing", "begin init\nexit\nstring name=after text=1\nend\n", {{"after", "1"}}},
        Ran{"AssignmentsDefineStrings", "begin init\na=5 b=\"x y\" c=(2+3*2) d=(a+1) e=($a+1)\nend\n",
            {{"a", "5"}, {"b", "x y"}, {"c", "10"}, {"d", "1"}, {"e", "6"}}},
        Ran{"StringStatementKeepsReferencesAsWritten", "begin init\nt=9\nstring name=s text=$t\nstring name=u\nend\n",
            {{"s", "$t"}, {"u", "<none>"}}},
        Ran{"GotoAbandonsTheRestOfTheBody", "begin init\na=1\ngoto name=other\nb=1\nend\nbegin other\nc=1\nend\n",
            {{"a", "1"}, {"b", "<none>"}, {"c", "1"}}},
        Ran{"GotoReachesLabelLinesInAnyFunction", "begin init\ngoto name=Here\nx=1\nend\nbegin f\nskipped=1\nhere:\ny=1\nend\n",
            {{"x", "<none>"}, {"skipped", "<none>"}, {"y", "1"}}},
        Ran{"GotoToNowhereEndsTheRunQuietly", "begin init\ngoto name=nowhere\nx=1\nend\n", {{"x", "<none>"}}},
        Ran{"LabelLinesDoNothing", "begin init\nstart:\nx=1\nend\n", {{"x", "1"}}},
        Ran{"IfPrefersGotoOverCall", "begin init\nif name=1 goto=a call=b\nafter=1\nend\nbegin a\nwentA=1\nend\nbegin b\nranB=1\nend\n",
            {{"wentA", "1"}, {"ranB", "<none>"}, {"after", "<none>"}}},
        Ran{"CallsPassArgumentsAndReturn", "begin init\nshow2 x=1 y=\"a b\"\nafter=$r\nend\nbegin show2\nr=($x+2)\nend\n",
            {{"x", "1"}, {"y", "a b"}, {"after", "$r"}, {"r", "3"}}},  // assignments keep the text as written
        Ran{"AShortenedFunctionNameRunsNothing", "begin init\nshow x=1\nsho x=2\nend\nbegin show2\nran=1\nend\n",
            {{"ran", "<none>"}, {"x", "<none>"}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Engine, PropertyRecordHoldsNotSetMarkersForWhatTheLineOmits) {
    const PropertyRecord r = record("rect name=\"a b\" width=2+3*4 innerColor=#FF0000 nosuch=1");
    EXPECT_EQ(r.text(kwName), "a b");
    EXPECT_EQ(r.number(kwWidth), 20);
    EXPECT_EQ(r.colour(kwInnerColor), 0xFFu);
    EXPECT_EQ(r.number(kwHeight), PropertyRecord::kNumberNotSet);
    EXPECT_EQ(r.colour(kwOuterColor), PropertyRecord::kColourNotSet);
    EXPECT_FALSE(r.given(kwSource));
    EXPECT_TRUE(r.given(kwWidth));
}

TEST_F(Engine, BareKeywordGetsTheAllZeroRecord) {
    EXPECT_EQ(record("rect").number(kwHeight), 0);
    EXPECT_EQ(record("rect").colour(kwOuterColor), 0u);
    EXPECT_EQ(record("rect ").number(kwHeight), PropertyRecord::kNumberNotSet);
}

TEST_F(Engine, RecordsOfOddlyWrittenLines) {
    EXPECT_EQ(record("rect name\nwidth=3").text(kwName), "width=3");  // the next line's first word
    const PropertyRecord spaced = record("rect name = x width== 4 text=");
    EXPECT_EQ(spaced.text(kwName), "x");
    EXPECT_EQ(spaced.number(kwWidth), 4);
    EXPECT_EQ(spaced.text(kwText), "");
    const std::string overlong = "rect name=" + std::string(1500, 'v') + " " + std::string(150, 'w') + "=1";
    EXPECT_EQ(record(overlong).text(kwName)->size(), PropertyRecord::kMaxValue);
}

TEST_F(Engine, IfJumpsOrCallsOnANonZeroCondition) {
    load("begin init\nif name=0 goto=t\nif name=$count goto=t\nno=1\nend\nbegin t\nyes=1\nend\n");
    let("count", "0");
    run("init");
    EXPECT_EQ(str("no"), "1");
    EXPECT_EQ(str("yes"), "<none>");
    let("count", "3");
    run("init");
    EXPECT_EQ(str("yes"), "1");
}

TEST_F(Engine, KeywordsBeatFunctionsOnStatementLinesButNotInLabelRuns) {
    load("begin rect\nran=1\nend\nbegin init\nrect name=a\nend\n");
    run("init");
    EXPECT_EQ(str("ran"), "<none>");
    EXPECT_EQ(records.size(), 1u);
    run("rect");
    EXPECT_EQ(str("ran"), "1");
}

TEST_F(Engine, EndlessRecursionEndsTheRunQuietly) {
    load("begin init\nloop\nend\nbegin loop\nn=1\nloop\nafter=1\nend\n");
    EXPECT_EQ(run("init"), 0);
    EXPECT_TRUE(engine.lastRunCut());
    EXPECT_EQ(str("after"), "<none>");  // the whole run ended, not only the deepest call
    load("begin again\nok=1\nend\n");
    run("again");
    EXPECT_FALSE(engine.lastRunCut());
    EXPECT_EQ(str("ok"), "1");
}

TEST_F(Engine, StepBudgetEndsEndlessGotoLoops) {
    load("begin init\ntop:\ngoto name=top\nend\n");
    engine.setStepBudget(1000);
    run("init");
    EXPECT_TRUE(engine.lastRunCut());
    EXPECT_EQ(engine.stepsTaken(), 1001u);
}

TEST_F(Engine, NonStatementKeywordsAndReloadAreNoStatements) {
    load("begin f\nx=1\nend\n");
    const ScriptFunction* f = functions.find("f");
    std::string target;
    for (const char* line : {"call name=f", "reload", "end", "width=3"}) {
        FunctionList one;
        one.add("l", line);
        const int expected = std::string_view(line).find('=') < std::string_view(line).find(' ') ? 0 : -1;
        EXPECT_EQ(engine.executeLine(one.all()[0], 0, target), expected) << line;
    }
    EXPECT_EQ(engine.executeLine(*f, 0, target), 0);
}

TEST_F(Engine, LineHookSeesEveryExecutedLine) {
    load("begin init\na=1\nlbl:\nb=2\nend\n");
    std::vector<int> lines;
    engine.setLineHook([&](const ScriptFunction& f, std::size_t offset) { lines.push_back(f.sourceLine(offset)); });
    run("init");
    EXPECT_EQ(lines, (std::vector<int>{2, 3, 4}));
}

}  // namespace
}  // namespace lv
