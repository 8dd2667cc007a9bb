#include "script/script_loader.h"

#include <gtest/gtest.h>

#include <map>

#include "script_fixture.h"

namespace lv {
namespace {

class Loading : public ScriptFixture {
protected:
    std::string body(std::string_view name) {
        const ScriptFunction* f = functions.find(name);
        return f ? f->body : "<none>";
    }
};

// A text, how many functions it defines, and the bodies of some of them
// ("<none>": no such function).
struct Loaded {
    const char* name;
    std::string text;
    std::size_t count;
    std::vector<std::pair<std::string, std::string>> bodies;
};

class LoadedTexts : public Loading, public ::testing::WithParamInterface<Loaded> {};

TEST_P(LoadedTexts, DefineTheirFunctions) {
    load(GetParam().text);
    EXPECT_EQ(functions.all().size(), GetParam().count);
    for (const auto& [name, text] : GetParam().bodies) EXPECT_EQ(body(name), text) << name;
    EXPECT_TRUE(host.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Loading, LoadedTexts,
    ::testing::Values(
        Loaded{"BlockWordsInAnyCaseNormalisedBodies", "comment\nBEGIN one\n  \tline a\n\n   line b\nEnd\nbegin two\nx\nend \n", 2,
               {{"one", "line a\nline b\n"}, {"TWO", "x\n"}}},
        Loaded{"NameOnTheNextLine", "begin\n  named\nbody\nend\n", 1, {{"named", "body\n"}}},
        Loaded{"BeginningAndEndingAreNoBlockWords", "beginning x\nbegin f\na\nending\nb\nend\n", 1, {{"f", "a\nending\nb\n"}}},
        Loaded{"EndAsTheVeryLastTextClosesNothing", "begin f\na\nend", 0, {}},
        Loaded{"NoNestingTheFirstEndCloses", "begin outer\nbegin inner\na\nend\nb\nend\n", 1,
               {{"outer", "begin inner\na\n"}, {"inner", "<none>"}}},
        Loaded{"FirstDefinitionWins", "begin f\nfirst\nend\nbegin F\nsecond\nend\n", 2, {{"f", "first\n"}}},
        Loaded{"QuotedNameAndLongNamesAreCut", "begin \"a b\"\nx\nend\nbegin " + std::string(80, 'n') + "\ny\nend\n", 2,
               {{"\"a b\"", "x\n"}, {std::string(51, 'n'), "y\n"}}},
        Loaded{"TextEndsAtAZero", std::string("begin f\na\nend\n\0begin g\nb\nend\n", 30), 1, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Loading, KeywordNamesAreReportedAndStillDefined) {
    load("begin rect\nx\nend\n");
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].caption, "FUNC=KEYWORD");
    EXPECT_EQ(host.boxes[0].text, "rect");
    EXPECT_EQ(host.boxes[0].flags, Host::kOk);
    EXPECT_EQ(body("rect"), "x\n");
}

TEST_F(Loading, CarriageReturnsAndSourceLinesAreKept) {
    load("\r\n\r\nbegin f\r\n\r\n  a\r\n  b\r\nend\r\n");
    const ScriptFunction* f = functions.find("f");
    ASSERT_TRUE(f);
    EXPECT_EQ(f->body, "a\nb\n");
    EXPECT_EQ(f->nameLine, 3);
    EXPECT_EQ(f->sourceLine(0), 5);
    EXPECT_EQ(f->sourceLine(2), 6);
}

// "end;" is no end word, so every block stays open: the search for ends
// must not walk the rest of the text for each one.
std::string unclosedBlocks(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += "begin f" + std::to_string(i) + "\nx=1\nend;\n";
    return text;
}

TEST_F(Loading, UnclosedBlocksAreFoundInOneWalk) {
    LoadReport report;
    addScriptText(functions, unclosedBlocks(4000), "f.scr", &report);
    EXPECT_EQ(report.unclosedBlocks.size(), 4000u);
    EXPECT_TRUE(functions.all().empty());
    EXPECT_LE(report.endSearchLines, 2u * 3u * 4000u);  // 3 lines a block
}

TEST_F(Loading, BlocksBeforeALaterEndStillClose) {
    LoadReport report;
    addScriptText(functions, "begin a\nend;\nbegin b\nend\nbegin c\nend;\nbegin\n\nbegin d\nend;\n", "f.scr", &report);
    EXPECT_EQ(body("a"), "end;\nbegin b\n");
    EXPECT_EQ(body("b"), "<none>");
    ASSERT_EQ(report.unclosedBlocks.size(), 3u);
    EXPECT_EQ(report.unclosedBlocks[0].name, "c");
    EXPECT_EQ(report.unclosedBlocks[0].line, 5);
    EXPECT_EQ(report.unclosedBlocks[1].name, "begin");
    EXPECT_EQ(report.unclosedBlocks[2].name, "d");
}

// Files as the file services would list and read them.
class FakeFiles final : public ScriptSourceFiles {
public:
    std::map<std::string, std::string> files;  // full path -> text
    std::vector<std::string> listScripts(std::string_view folder) override {
        std::vector<std::string> names;
        for (const auto& [path, text] : files)
            if (path.starts_with(folder) && path.ends_with(".scr") && path.find('\\', folder.size()) == std::string::npos)
                names.push_back(path.substr(folder.size()));
        sortNoCase(names);
        return names;
    }
    std::optional<std::string> readWhole(std::string_view path) override {
        const auto found = files.find(std::string(path));
        if (found == files.end() || found->second.empty()) return std::nullopt;
        return found->second;
    }
};

TEST_F(Loading, FolderScriptsInNameOrderThenTheLaunchersOwn) {
    FakeFiles disk;
    disk.files["C:\\p\\b.scr"] = "begin f\nfrom b\nend\nbegin onlyB\nx\nend\n";
    disk.files["C:\\p\\A.scr"] = "begin g\nfrom A\nend\n";
    disk.files["C:\\p\\c.scr"] = "begin f\nfrom c\nend\n";
    disk.files["C:\\l\\menu.scr"] = "begin f\nfrom menu\nend\nbegin own\nmine\nend\n";
    LoadReport report;
    loadScript(functions, disk, "C:\\p\\", "C:\\l\\menu.exe", &report);
    EXPECT_EQ(report.filesRead, (std::vector<std::string>{"C:\\p\\A.scr", "C:\\p\\b.scr", "C:\\p\\c.scr",
                                                           "C:\\l\\menu.scr"}));
    EXPECT_EQ(functions.find("f")->body, "from b\n");
    EXPECT_EQ(functions.find("own")->body, "mine\n");
}

TEST(LauncherScript, IsTheLauncherPathWithScr) {
    EXPECT_EQ(launcherScriptPath("C:\\x\\menu.exe"), "C:\\x\\menu.scr");
    EXPECT_EQ(launcherScriptPath("C:\\x.d\\menu"), "");
    EXPECT_EQ(launcherScriptPath("menu."), "menu.scr");
    EXPECT_EQ(launcherScriptPath(""), "");
}

}  // namespace
}  // namespace lv
