#include "script/control_statements.h"

#include <array>
#include <map>

#include "script/keywords.h"
#include "script/stand_in_controls.h"
#include "script/values.h"
#include "script_fixture.h"
#include "shell/process.h"

namespace lv {
namespace {

struct RecordedControl final : ObjectInstance {
    std::map<int, std::string> properties;
};

// A control type that keeps what is set and logs each set in order.
class LoggingControlType final : public ObjectType {
public:
    LoggingControlType(std::string_view name, std::vector<std::string>& log) : ObjectType(name), log_(log) {}
    std::unique_ptr<ObjectInstance> create(std::string_view) override { return nullptr; }
    std::optional<std::string> get(ObjectInstance& instance, int property) override {
        const auto& props = static_cast<RecordedControl&>(instance).properties;
        const auto found = props.find(property);
        return found == props.end() ? std::nullopt : std::optional(found->second);
    }
    int set(std::unique_ptr<ObjectInstance>& slot, int property, std::string_view value) override {
        log_.push_back(std::string(keywordInfo(property).text) + "=" + std::string(value));
        static_cast<RecordedControl&>(*slot).properties[property] = std::string(value);
        return 0;
    }

private:
    std::vector<std::string>& log_;
};

class RecordingPlatform final : public ControlPlatform {
public:
    struct Made {
        ControlClass kind;
        std::intptr_t parent;
        std::optional<std::string> caption;
        int resizable;
    };
    std::vector<Made> made;
    std::vector<std::intptr_t> raised;
    std::vector<std::string> started;
    std::optional<std::string> browser;
    unsigned startResult = 42;

    std::unique_ptr<ObjectInstance> createControl(ControlClass kind, std::intptr_t parent,
                                                  const std::optional<std::string>& caption, int resizable) override {
        made.push_back({kind, parent, caption, resizable});
        return std::make_unique<RecordedControl>();
    }
    void raise(std::intptr_t window) override { raised.push_back(window); }
    void messageBox(std::intptr_t owner, std::string_view text, std::string_view caption) override {
        host().messageBox(std::string(text) + " @" + std::to_string(owner), caption, Host::kOk);
    }
    void beep() override { host().beep(0xFFFFFFFFu); }
    unsigned startProgram(std::string_view line) override {
        started.emplace_back(line);
        return startResult;
    }
    std::optional<std::string> browserCommand() override { return browser; }
};

class ControlStatements : public ScriptFixture {
protected:
    ControlStatements() {
        for (auto& type : types) objects.registerType(type);
        installControlStatements(engine, platform);
        StartupArgs args;
        args.loaderPath = "C:\\shows\\";
        setStartupArgs(args);
    }
    ~ControlStatements() override {
        for (auto& type : types) objects.unregisterType(type);
    }
    std::string sets() {
        std::string all;
        for (const auto& s : log) all += s + " ";
        log.clear();
        return all;
    }

    std::vector<std::string> log;
    std::array<LoggingControlType, 5> types{LoggingControlType("button", log), LoggingControlType("static", log),
                                           LoggingControlType("viewer", log), LoggingControlType("thumbArea", log),
                                           LoggingControlType("window", log)};
    RecordingPlatform platform;
};

// Script lines and the property sets they give, in order.
struct Sets {
    const char* name;
    const char* lines;
    const char* sets;
};

class SetOrder : public ControlStatements, public ::testing::WithParamInterface<Sets> {};

TEST_P(SetOrder, FollowsTheStatementsRules) {
    runLines(GetParam().lines);
    EXPECT_EQ(sets(), GetParam().sets);
}

// The normal picture fills every state not given and not yet reported,
// selected-down included; down then finds selected-down reported.
INSTANTIATE_TEST_SUITE_P(
    ControlStatements, SetOrder,
    ::testing::Values(
        Sets{"OnlyNormalGoesToEveryState", "button name=b normalstate=pic trigger=go",
             "trigger=go normalstate=pic overstate=pic downstate=pic seldownstate=pic visible=1 "},
        Sets{"NormalAndDownFillOverAndSelectedDown", "button name=b normalstate=n downstate=d",
             "normalstate=n overstate=n seldownstate=n downstate=d visible=1 "},
        Sets{"GeometryComesLastInItsOrder", "button name=b height=20 width=50 top=4 left=3 visible=0",
             "left=3 top=4 width=50 height=20 visible=0 "},
        Sets{"StaticSetsHorzAndColourAsNumber", "static name=s innerColor=#0000FF", "innerColor=16711680 horz=0 visible=1 "},
        Sets{"SizeShowHideAndTitle", "button name=b\nsize name=b left=9 width=2\nshow name=b\nhide name=b maximize=1\ntitle name=b text=Hello",
             "visible=1 left=9 width=2 visible=1 maximize=1 visible=0 title=Hello "}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ControlStatements, WindowTakesCaptionResizeAndCloseLabel) {
    runLines("window name=w text=Menu resize=0 close=exit width=640");
    ASSERT_EQ(platform.made.size(), 1u);
    EXPECT_EQ(platform.made[0].kind, ControlClass::Window);
    EXPECT_EQ(platform.made[0].caption, "Menu");
    EXPECT_EQ(platform.made[0].resizable, 0);
    EXPECT_EQ(sets(), "text=Menu close=exit visible=1 width=640 resize=0 ");
}

TEST_F(ControlStatements, ChildTakesItsParentsWindowAndNeedsAName) {
    runLines("window name=w");
    objects.set("w", kwHwnd, "777");
    runLines("button name=b parent=w\nbutton normalstate=x");
    ASSERT_EQ(platform.made.size(), 2u);
    EXPECT_EQ(platform.made.back().parent, 777);
}

TEST_F(ControlStatements, DereferencedNameGetsItsProperties) {
    let("id", "play");
    runLines("button name=$id left=4");
    runLines("size name=$id top=6");
    EXPECT_EQ(sets(), "visible=1 left=4 top=6 ");
    EXPECT_EQ(objects.get("play", kwTop), "6");
}

TEST_F(ControlStatements, TopRaisesOnlyAWindow) {
    runLines("button name=b");
    runLines("top name=b");
    EXPECT_TRUE(platform.raised.empty());
    objects.set("b", kwHwnd, "12");
    runLines("top name=b");
    EXPECT_EQ(platform.raised, std::vector<std::intptr_t>{12});
}

TEST_F(ControlStatements, MessageboxDereferencesTextAndCaption) {
    let("msg", "Hello there");
    runLines("messagebox name=Note text=$msg");
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].text, "Hello there @0");
    EXPECT_EQ(host.boxes[0].caption, "Note");
    runLines("messagebox name=Note");
    EXPECT_EQ(host.boxes.size(), 1u);
}

TEST_F(ControlStatements, ExecJoinsTheLoaderFolderAndDestination) {
    runLines("exec name=viewer.exe dest=pics");
    EXPECT_EQ(platform.started, std::vector<std::string>{"C:\\shows\\viewer.exe -folder=C:\\shows\\pics"});
}

TEST_F(ControlStatements, NetOpensTheBrowserWithTheLoaderPath) {
    platform.browser = "\"C:\\web\\browse.exe\" -nohome";
    runLines("net name=%loaderpath%help.html");
    EXPECT_EQ(platform.started,
              std::vector<std::string>{"\"C:\\web\\browse.exe\" -nohome \"C:\\shows\\help.html\""});
}

TEST_F(ControlStatements, NetFallsBackToNoBrowser) {
    load("begin noBrowser\nstring name=fell text=yes\nend\n");
    platform.browser = "browse.exe";
    runLines("net name=x.html bits=1");
    EXPECT_EQ(str("fell"), "yes");
    EXPECT_TRUE(platform.started.empty());

    objects.remove("fell");
    platform.startResult = 2;  // the browser failed to start
    runLines("net name=x.html");
    EXPECT_EQ(str("fell"), "yes");

    objects.remove("fell");
    platform.browser.reset();
    runLines("net name=x.html");
    EXPECT_EQ(str("fell"), "yes");
}

// The headless tool's platform: stand-ins that keep their geometry.
class StandInStatements : public ScriptFixture {
protected:
    StandInStatements() {
        registerStandInControls(objects);
        installControlStatements(engine, platform);
    }
    StandInControlPlatform platform;
};

TEST_F(StandInStatements, ControlsKeepTheirScriptedRectangle) {
    load("begin init\nwindow name=w left=1 top=2 width=30 height=40\nexec name=x.exe\nbeep\nend\n");
    run("init");
    EXPECT_EQ(objects.get("w", kwWindowleft), "1");
    EXPECT_EQ(objects.get("w", kwWindowbottom), "42");
    EXPECT_EQ(objects.get("w", kwVisible), "1");
    EXPECT_EQ(platform.started.size(), 1u);
    EXPECT_EQ(host.beeps, std::vector<unsigned>{0xFFFFFFFFu});  // the simple beep
    runLines("hide name=w");  // the window's visibility reads as one or zero
    EXPECT_EQ(integerValue(objects, "w.visible"), 0);
    runLines("show name=w");
    EXPECT_EQ(integerValue(objects, "w.visible"), 1);
}

// What the Win32 button does too: a missing state picture reads as nothing
// and is filled, and no picture overwrites the text.
TEST_F(StandInStatements, SelectedDownIsAPictureNotTheText) {
    runLines("button name=plain text=hello normalstate=up");
    EXPECT_EQ(objects.get("plain", kwSeldownstate), "up");
    EXPECT_EQ(objects.get("plain", kwText), "hello");
    runLines("button name=sel text=hi normalstate=up seldownstate=chosen");
    EXPECT_EQ(objects.get("sel", kwSeldownstate), "chosen");
    EXPECT_EQ(objects.get("sel", kwText), "hi");
    runLines("button name=bare text=x");
    EXPECT_FALSE(objects.get("bare", kwSeldownstate));
}

TEST(BrowserCommand, CleanedOfNoHomeAndQuotes) {
    EXPECT_EQ(cleanBrowserCommand("\"C:\\b.exe\" -nohome"), "C:\\b.exe");
    EXPECT_EQ(cleanBrowserCommand("\"C:\\b.exe\""), "C:\\b.exe");
    EXPECT_EQ(cleanBrowserCommand(" -nohome"), " -nohome");
    EXPECT_EQ(cleanBrowserCommand("C:\\b c.exe"), "C:\\b c.exe");
}

// The browsing statements: setViewer hands its settings on in order; the
// commands reach the platform (recorded by the stand-in platform).
class BrowseStatements : public ControlStatements {
protected:
    BrowseStatements() {
        installControlStatements(engine, standIn);
        runLines("viewer name=viewer");
        runLines("thumbArea name=thumbArea");
        log.clear();
    }
    std::string browsed() {
        std::string all;
        for (const auto& s : standIn.browsing) all += s + "; ";
        standIn.browsing.clear();
        return all;
    }
    StandInControlPlatform standIn;
};

// setViewer gives the trigger first. Crop of the viewer is the viewer's, any
// other the image statement's; save takes quality and prompt.
TEST_F(BrowseStatements, CommandsReachTheBrowser) {
    runLines("setViewer zoom=2000 angle=90 trigger=pick valid=ok bright=5");
    EXPECT_EQ(sets(), "setViewer=pick valid=ok bright=5 angle=90 zoom=2000 ");
    runLines("crop name=VIEWER\ncrop name=picture left=1\nsave key=90\nsave visible=0\nsave\nreadFiles name=pics\n"
             "readFiles\nrolls\nnextRoll\nprevRoll\nviewNext\nviewPrev\ncopy\nprint");
    EXPECT_EQ(browsed(), "crop viewer; save 90 dialog; save 75 prompt; save 0 prompt; readFiles C:\\shows\\pics; "
                         "readFiles C:\\shows\\; rolls; nextRoll; prevRoll; viewNext; viewPrev; copy; print; ");
}

}  // namespace
}  // namespace lv
