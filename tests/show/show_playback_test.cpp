// Show playback in the viewer, driven through a fake viewer on a fake clock
// with a memory display: shows of flat-colour cells, chosen by typed number,
// keys and clicks, played through real transition runs.
#include "show/show_playback.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "display/back_buffer_display.h"
#include "show/menu_definition.h"
#include "menu_samples.h"
#include "show_samples.h"

namespace lv::test {
namespace {

constexpr std::uint32_t kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000;  // 0x00BBGGRR

// The viewer as playback sees it; records what playback asked of it.
class FakeViewer final : public PlaybackHost {
public:
    explicit FakeViewer(SetClock& clock) : clock_(clock) {}

    struct Shown {
        std::string name;
        std::uint32_t at;
    };
    std::vector<Shown> shown;
    std::vector<std::string> restored;
    std::string path = "photo.jpg";
    bool promptAnswer = true;
    int prompts = 0, beeps = 0, quits = 0;
    bool ticking = false;
    BackBufferDisplay* display = nullptr;

    std::uint32_t now() override { return clock_.now; }
    PictureSize size{64, 48};
    PictureSize drawingSize() override { return size; }
    std::function<void()> onShow;  // what a script label run from the viewer might do
    void showPicture(BitmapPtr, const std::string& name) override {
        shown.push_back({name, clock_.now});
        path = name;
        if (onShow) onShow();
    }
    bool hasBasePicture() override { return true; }
    PictureSize currentPictureSize() override { return {32, 24}; }
    std::string picturePath() override { return path; }
    void restorePicture(const std::string& p) override {
        restored.push_back(p);
        path = p;
    }
    void refitZoom() override {}
    void updateWindow() override {}
    void beep() override { ++beeps; }
    void postQuit() override { ++quits; }
    bool savePrompt() override {
        ++prompts;
        return promptAnswer;
    }
    std::unique_ptr<Display> makeDisplay() override {
        auto made = std::make_unique<BackBufferDisplay>(64, 48);
        display = made.get();
        return made;
    }
    void startTick() override { ticking = true; }
    void stopTick() override { ticking = false; }

    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const Shown& s : shown) out.push_back(s.name);
        return out;
    }
    std::uint32_t shownAt(const std::string& name) const {
        for (const Shown& s : shown)
            if (s.name == name) return s.at;
        return 0;
    }

private:
    SetClock& clock_;
};

ShowCell colourCell(std::string name, std::uint32_t colour, int displayMs, int transition, int transitionMs) {
    ShowCell c;
    c.imageFile = std::move(name);  // no image: the name only labels the picture
    c.background = 1;
    c.backgroundColour = colour;
    c.displayMs = displayMs;
    c.transition = transition;
    c.transitionMs = transitionMs;
    return c;
}

class PlaybackTest : public ::testing::Test {
protected:
    TempFolder folder;
    SetClock clock{100000};
    FakeViewer viewer{clock};
    Registry registry;
    std::unique_ptr<ShowPlayer> player;
    std::unique_ptr<PlaybackStage> stage;
    std::unique_ptr<ShowPlayback> playback;

    void SetUp() override { registry.build(RegistryConditions{}); }
    // Shows 0 ... count - 1 of one cell each, "s<i>", and a short intro.
    void writeShows(int count) {
        for (int i = 0; i < count; ++i) {
            Show show;
            show.cells = {colourCell("s" + std::to_string(i), kGreen, 500, 171, 200)};
            if (i == 0) show.furtherShows = count - 1;
            writeShow(i, show);
        }
        Show intro;
        intro.cells = {colourCell("intro", kBlue, 300, 1, 0)};
        writeShow(kIntroShow, intro);
    }
    void writeShow(int number, const Show& show) {
        const std::string name = showFileName(folder.folder(), number);
        writeBytes(folder, name.substr(folder.folder().size()), encodeShow(show));
    }
    void writeMenu(int places) { writeBytes(folder, "menudef", encodeMenuDefinition(sampleMenu(places))); }
    // Shows 0 ... shows - 1 as writeShows makes them, a menu of `menuPlaces`
    // (none below 0), and playback set up.
    void begin(int shows, int menuPlaces = 4) {
        writeShows(shows);
        if (menuPlaces >= 0) writeMenu(menuPlaces);
        begin();
    }
    void begin() {
        player = std::make_unique<ShowPlayer>(folder.folder(), CellRenderer{}, &clock);
        RunOptions options;
        options.refreshHz = 30;
        options.now = [] { return 0.0; };
        stage = std::make_unique<PlaybackStage>(*player, folder.folder(), &registry, options);
        stage->setMenuRenderer(MenuRenderer(folder.folder(), [](const std::string&) {
            return createBitmap("back", 80, 60, 24);
        }));
        stage->setUp();
        playback = std::make_unique<ShowPlayback>(*stage, viewer);
    }
    // The viewer's timers for `ms`: the class timer and the playback tick.
    void run(int ms) {
        for (int t = 0; t < ms; t += kPlaybackTickMs) {
            clock.now += kPlaybackTickMs;
            playback->checkTypedNumber();
            stage->tickPlaying();
        }
    }
    void type(const std::string& digits) {
        for (char c : digits) playback->key(kKeyDigit0 + (c - '0'));
        run(600);
    }
    std::uint32_t centre() const {
        const auto pixels = viewer.display->snapshot();
        return pixels[static_cast<std::size_t>(24 * 64 + 32)];
    }
    bool named(const std::string& name) const {
        const auto names = viewer.names();
        return std::find(names.begin(), names.end(), name) != names.end();
    }
};

// --- choosing ---

struct TypedCase {
    std::string digits;
    int show, mode, beeps;
};
class TypedChoiceTest : public PlaybackTest, public ::testing::WithParamInterface<TypedCase> {};

TEST_P(TypedChoiceTest, TypedNumberStartsItsShow) {
    begin(5);
    type(GetParam().digits);
    EXPECT_EQ(viewer.beeps, GetParam().beeps);
    EXPECT_EQ(playback->active(), GetParam().beeps ? 0 : 1);
    EXPECT_EQ(player->showNumber(), GetParam().show);
    EXPECT_EQ(player->playMode(), GetParam().mode);
}

INSTANTIATE_TEST_SUITE_P(FiveShows, TypedChoiceTest,
                         ::testing::Values(TypedCase{"3", 2, 0, 0}, TypedCase{"6", 0, 2, 0}, TypedCase{"7", 0, 1, 0},
                                           TypedCase{"8", 0, 0, 1}, TypedCase{"0", 0, 0, 1}));

TEST_F(PlaybackTest, ClickOnAMenuItemStartsThatShow) {
    begin(3);
    playback->click(150, 40, 800, 600);  // the second place
    EXPECT_EQ(player->showNumber(), 1);
    EXPECT_EQ(playback->active(), 1);
    playback->key(kKeyEscape);
    playback->click(790, 590, 800, 600);  // nothing there
    EXPECT_EQ(viewer.beeps, 1);
}

// --- playing ---

TEST_F(PlaybackTest, CellsGoUpInOrderAtTheirTimesThroughTransitions) {
    Show show;
    show.cells = {colourCell("a", kRed, 1000, 1, 0), colourCell("b", kBlue, 800, 171, 600),
                  colourCell("c", kGreen, 500, 171, 400)};
    writeShow(0, show);
    begin(0);
    type("1");
    run(800);
    EXPECT_EQ(centre(), 0xFF0000u);  // a is up (engine pixels are 0x00RRGGBB)
    run(700);                        // b, due 100 + 1000 ms after a, comes in over 600 ms
    EXPECT_TRUE(playback->transitionRunning());
    EXPECT_EQ(playback->lastTransition(), 171);
    const std::uint32_t mid = centre();
    EXPECT_GT(mid >> 16 & 0xFF, 0u);
    EXPECT_LT(mid >> 16 & 0xFF, 255u);
    EXPECT_GT(mid & 0xFF, 0u);
    run(350);
    EXPECT_FALSE(playback->transitionRunning());
    EXPECT_EQ(centre(), 0x0000FFu);  // the last frame is b itself
    run(3000);
    const auto names = viewer.names();
    const auto a = std::find(names.begin(), names.end(), "a");
    ASSERT_LE(std::distance(a, names.end()), 5);
    const std::vector<std::string> cells(a, names.end());
    EXPECT_EQ(cells, (std::vector<std::string>{"a", "b", "c", "", "menu"}));
    // c is due 600 + 800 ms after b: b's transition and time on screen.
    EXPECT_NEAR(static_cast<double>(viewer.shownAt("c") - viewer.shownAt("b")), 1400.0, kPlaybackTickMs);
}

TEST_F(PlaybackTest, ThePreparedPictureFollowsTheWindowSize) {
    Show show;
    show.cells = {colourCell("a", kRed, 1000, 1, 0), colourCell("b", kBlue, 1000, 1, 0)};
    writeShow(0, show);
    begin(0);
    type("1");
    run(300);
    ASSERT_EQ(viewer.names().back(), "a");
    viewer.size = {40, 20};
    run(50);
    ASSERT_NE(playback->preparedPicture(), nullptr);
    EXPECT_EQ(playback->preparedPicture()->width, 27);  // 64 x 48 fitted into 40 x 20
    EXPECT_EQ(playback->preparedPicture()->height, 20);
}

TEST_F(PlaybackTest, TheIntroPlaysFirstThenTheMenu) {
    begin(2);
    playback->setActive(1);
    run(2000);
    EXPECT_TRUE(named("intro"));
    EXPECT_FALSE(named("s0"));
    EXPECT_EQ(viewer.names().back(), kMenuPictureName);
}

// A single show that ends, or one stopped by Escape, gives back the menu and
// the viewer's picture; Escape on the menu quits.
TEST_F(PlaybackTest, EndOfAShowOrEscapeReturnsToTheMenuAndThePicture) {
    begin(2);
    type("2");
    run(3000);
    EXPECT_EQ(playback->active(), 0);
    EXPECT_EQ(viewer.names().back(), kMenuPictureName);
    EXPECT_EQ(viewer.restored, std::vector<std::string>{"photo.jpg"});
    EXPECT_EQ(player->showNumber(), 0);
    EXPECT_EQ(stage->playingViewer(), nullptr);
    type("1");
    run(300);
    playback->key(kKeyEscape);
    EXPECT_EQ(playback->active(), 0);
    EXPECT_FALSE(viewer.ticking);
    EXPECT_EQ(viewer.restored, (std::vector<std::string>{"photo.jpg", kMenuPictureName}));
    EXPECT_EQ(viewer.names().back(), kMenuPictureName);
    EXPECT_EQ(viewer.quits, 0);
    playback->key(kKeyEscape);
    EXPECT_EQ(viewer.quits, 1);
}

TEST_F(PlaybackTest, PageDownOnTheLastShowWrapsToTheFirst) {
    begin(3);
    type("3");
    playback->key(kKeyPageDown);
    EXPECT_EQ(player->showNumber(), 0);
    EXPECT_EQ(playback->active(), 1);
    playback->key(kKeyPageUp);
    EXPECT_EQ(player->showNumber(), 2);
}

// --- mended faults ---

TEST_F(PlaybackTest, ACancelledSavePromptStartsNothing) {
    begin(3);
    viewer.promptAnswer = false;
    type("2");
    playback->setActive(1);
    EXPECT_EQ(viewer.prompts, 2);
    EXPECT_EQ(playback->active(), 0);
    EXPECT_EQ(viewer.beeps, 0);
    EXPECT_EQ(player->showNumber(), kIntroShow);
    EXPECT_TRUE(viewer.shown.empty());  // nothing painted over the edits
}

TEST_F(PlaybackTest, FadeDecidesPerPictureAndGoesBack) {
    Show show;
    for (int i = 0; i < 8; ++i) show.cells.push_back(colourCell("c" + std::to_string(i), i * 0x101010u, 1000, 40, 500));
    writeShow(0, show);
    begin(0);
    type("1");
    run(1500);
    std::vector<int> used;
    for (int fade : {1, 0, -1, 0, 7}) {
        playback->setFade(fade);
        run(1500);
        used.push_back(playback->lastTransition());
    }
    EXPECT_EQ(used, (std::vector<int>{171, 40, 0, 40, 171}));
}

TEST_F(PlaybackTest, PagingWithoutMenuPagesDoesNothing) {
    begin(2, -1);  // no menu definition
    ASSERT_EQ(player->pageCount(), 0);
    playback->key(kKeyPageDown);
    playback->key(kKeyPageUp);
    EXPECT_TRUE(viewer.shown.empty());
    EXPECT_EQ(player->menuPage(), 0);
}

TEST_F(PlaybackTest, AShortMenuDefinitionMeansAllShowsInALoop) {
    writeShows(2);
    writeBytes(folder, "menudef", {0, 1, 2});
    begin();
    playback->setActive(1);
    run(6000);  // the intro, then shows 0, 1, 0 ...
    EXPECT_EQ(playback->active(), 1);
    EXPECT_EQ(player->playMode(), kPlayAllLooped);
    EXPECT_TRUE(named("s1"));
    EXPECT_FALSE(named(kMenuPictureName));
}

TEST_F(PlaybackTest, AMenuOfNoPlacesHasOneShowPerPage) {
    begin(3, 0);
    EXPECT_EQ(player->pageCount(), 3);
    playback->key(kKeyPageDown);
    EXPECT_EQ(player->menuPage(), 1);
}

TEST_F(PlaybackTest, ATickInsideATickReturnsAtOnce) {
    begin(2);
    type("1");
    int nestedWork = 0;
    viewer.onShow = [&] {
        stage->tickPlaying();
        if (playback->preparedPicture()) ++nestedWork;
    };
    run(1000);
    EXPECT_EQ(nestedWork, 0);
    EXPECT_TRUE(named("s0"));
}

TEST_F(PlaybackTest, ADestroyedPlayingViewerIsForgotten) {
    begin(2);
    type("1");
    ASSERT_EQ(stage->playingViewer(), playback.get());
    playback.reset();  // the screen saver's end: the viewer is destroyed
    EXPECT_EQ(stage->playingViewer(), nullptr);
    clock.now += kPlaybackTickMs;
    stage->tickPlaying();  // a tick still in the queue finds nothing to touch
}

TEST_F(PlaybackTest, AScreenSaverPlaysAllShowsOnWithoutTheMenu) {
    begin(2);
    stage->setScreenSaver(true, false);
    playback->setActive(1);
    run(6000);
    EXPECT_EQ(player->playMode(), kPlayAllLooped);
    EXPECT_TRUE(named("intro"));
    EXPECT_TRUE(named("s1"));
    EXPECT_FALSE(named(kMenuPictureName));
}

TEST_F(PlaybackTest, ScreenSaverPointerJitterOfFivePixelsKeepsIt) {
    begin(1, -1);
    EXPECT_FALSE(stage->pointerMoveEnds(100, 100));
    EXPECT_FALSE(stage->pointerMoveEnds(105, 300));
    EXPECT_TRUE(stage->pointerMoveEnds(94, 100));
}

}  // namespace
}  // namespace lv::test
