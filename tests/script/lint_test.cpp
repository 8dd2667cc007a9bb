#include "script/lint.h"

#include <gtest/gtest.h>

#include "script/keywords.h"
#include "script/stand_in_controls.h"
#include "script_fixture.h"

namespace lv {
namespace {

class Lint : public ScriptFixture {
protected:
    // The messages of the lint of one file's text, as "line: message".
    std::vector<std::string> lint(const std::string& text) {
        LoadReport report;
        addScriptText(functions, text, "f.scr", &report);
        std::vector<std::string> lines;
        for (const LintFinding& f : lintScript(functions, report, {{"f.scr", text}}))
            lines.push_back(std::to_string(f.line) + ": " + f.message);
        return lines;
    }
    using Lines = std::vector<std::string>;
};

TEST_F(Lint, CleanScriptsGiveNothing) {
    EXPECT_EQ(lint("begin init\nif name=1 goto=there call=exit\ngoto name=$x\nrect name=a width=1\nend\n"
                   "begin f\nthere:\nx=\"a b\"\nend\n"),
              Lines{});
}

// Missing targets and unknown properties: tool.script.lint on lint_samples.
// Here a quote is balanced on one line or on none, never across two.
TEST_F(Lint, KeywordNamesQuotesAndUnclosedBlocks) {
    EXPECT_EQ(lint("begin viewer\nend\nx \"y\n\"\nbegin open\na\n"),
              (Lines{"1: function name 'viewer' is a keyword", "3: unbalanced double quotes",
                     "4: unbalanced double quotes", "5: begin 'open' without end"}));
}

class StandIns : public ScriptFixture {
protected:
    StandIns() {
        registerStandInControls(objects);
        objects.define("button", "b", "");
    }
};

TEST_F(StandIns, KeepPropertiesAndReportTheirRectangle) {
    objects.set("b", kwTrigger, "go");
    objects.set("b", kwLeft, "10");
    objects.set("b", kwTop, "20");
    objects.set("b", kwWidth, "30");
    objects.set("b", kwBottom, "25");
    EXPECT_EQ(objects.get("b", kwTrigger), "go");
    EXPECT_EQ(objects.get("b.windowright", kwNone), "40");
    EXPECT_EQ(objects.get("b", kwWindowbottom), "25");
    EXPECT_EQ(objects.get("b", kwWindowheight), "5");
    EXPECT_EQ(objects.get("b", kwHwnd), std::nullopt);
    EXPECT_EQ(objects.get("b", kwText), std::nullopt);
}

}  // namespace
}  // namespace lv
