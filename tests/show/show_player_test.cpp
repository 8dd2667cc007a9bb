// The show player's state, timing values, advance, play modes and music calls.
#include "show/show_player.h"

#include <gtest/gtest.h>

#include "show/show_end.h"
#include "show_samples.h"

namespace lv::test {
namespace {

class RecordingMusic final : public ShowMusic {
public:
    std::vector<std::string> calls;
    double seconds = -1;
    void start(Show&, double lengthSeconds) override {
        calls.push_back("start");
        seconds = lengthSeconds;
    }
    void beginTiming() override { calls.push_back("begin"); }
    void stop() override { calls.push_back("stop"); }
};

Show plainShow(int cells) {
    Show s;
    for (int i = 0; i < cells; ++i) {
        ShowCell c;
        c.imageFile = "cell" + std::to_string(i) + ".jpg";
        c.displayMs = 1000 * (i + 1);
        c.transition = 100 + i;
        c.transitionMs = 10 * (i + 1);
        s.cells.push_back(c);
    }
    return s;
}

class ShowPlayerTest : public ::testing::Test {
protected:
    TempFolder folder;
    SetClock clock{50000};
    RecordingMusic music;
    std::unique_ptr<ShowPlayer> player;
    ViewerPlayback viewer;

    void SetUp() override {
        player = std::make_unique<ShowPlayer>(folder.folder(), CellRenderer{}, &clock);
        player->setMusic(&music);
    }
    void writeShow(const std::string& name, const Show& show) { writeBytes(folder, name, encodeShow(show)); }
    void loadCells(int cells) {
        writeShow("slyde0", plainShow(cells));
        ASSERT_TRUE(player->load(0));
    }
};

TEST_F(ShowPlayerTest, TimingValuesFollowTheCellAndEndOnBlack) {
    loadCells(3);
    EXPECT_EQ(player->nextPictureName(), "cell0.jpg");
    EXPECT_EQ(player->displayTime(), 1000);
    EXPECT_EQ(player->transitionNumber(), 100);
    EXPECT_EQ(player->transitionTime(), 10);
    player->advance(2);
    EXPECT_EQ(player->displayTime(), 3000);
    player->advance(1);  // position = cell count: black
    EXPECT_EQ(player->cellPosition(), 3);
    EXPECT_FALSE(player->hasEnded());
    EXPECT_EQ(player->nextPictureName(), "");
    EXPECT_EQ(player->displayTime(), 0);
    EXPECT_EQ(player->transitionNumber(), 1);
    EXPECT_EQ(player->transitionTime(), 0);
    const auto black = player->nextPicture(640, 480);
    ASSERT_TRUE(black);
    EXPECT_EQ(black->width, 4);
    player->advance(1);
    EXPECT_TRUE(player->hasEnded());
}

TEST_F(ShowPlayerTest, AdvanceWrapsBothWays) {
    loadCells(3);
    player->advance(-1);
    EXPECT_EQ(player->cellPosition(), 2);
    player->advance(3);  // 5 = count + 2: back by the count
    EXPECT_EQ(player->cellPosition(), 2);
    player->advance(-1000000);
    EXPECT_GE(player->cellPosition(), 0);
    EXPECT_LT(player->cellPosition(), 3);
    player->advance(2000000000);
    EXPECT_LT(player->cellPosition(), 5);
}

TEST_F(ShowPlayerTest, AdvanceInAShowOfNoCellsEndsItWithoutLooping) {
    loadCells(0);
    EXPECT_FALSE(player->hasEnded());
    player->advance(1);
    EXPECT_TRUE(player->hasEnded());
    player->advance(-1);
    EXPECT_TRUE(player->hasEnded());
    EXPECT_EQ(player->nextPictureName(), "");
}

TEST_F(ShowPlayerTest, WithoutAShowEveryValueIsTheNoShowValue) {
    EXPECT_FALSE(player->load(7));
    EXPECT_EQ(player->nextPictureName(), "");
    EXPECT_EQ(player->displayTime(), 1000);
    EXPECT_EQ(player->transitionNumber(), 1);
    EXPECT_EQ(player->transitionTime(), 1000);
    EXPECT_TRUE(player->hasEnded());
    EXPECT_FALSE(player->nextPicture(100, 100));
    player->advance(5);
    EXPECT_EQ(player->cellPosition(), 0);
}

TEST_F(ShowPlayerTest, SetUpKeepsShowZeroSettingsAndMakesTheIntroCurrent) {
    Show zero = plainShow(1);
    zero.furtherShows = 11;
    zero.maskFolder = "masks/";
    zero.bandTiming = 1;
    writeShow("slyde0", zero);
    Show intro = plainShow(2);
    intro.title = "intro";
    writeShow("intro", intro);
    player->setUp([] { return 5; });
    EXPECT_EQ(player->numberOfShows(), 12);
    EXPECT_EQ(player->pageCount(), (11 + 5) / 5);
    EXPECT_EQ(player->maskFolder(), "masks/");
    EXPECT_EQ(player->bandTiming(), 1);
    EXPECT_EQ(player->playingState(), kPlayerReady);
    EXPECT_EQ(player->showNumber(), kIntroShow);
    ASSERT_TRUE(player->show());
    EXPECT_EQ(player->show()->title, "intro");
}

TEST_F(ShowPlayerTest, NoMenuFlagLeavesThePageCountAtZeroAndNegativeFurtherShowsCountAsNone) {
    Show zero = plainShow(1);
    zero.furtherShows = -5;
    zero.noMenu = 1;
    writeShow("slyde0", zero);
    bool menuRead = false;
    player->setUp([&] { menuRead = true; return 5; });
    EXPECT_FALSE(menuRead);
    EXPECT_EQ(player->pageCount(), 0);
    EXPECT_TRUE(player->noMenu());
    EXPECT_EQ(player->numberOfShows(), 1);
}

TEST_F(ShowPlayerTest, StartResetsTheViewerAndStartsTheMusicWithTheShowLength) {
    loadCells(2);
    player->advance(1);
    player->start(viewer, kPlayAllOnce);
    EXPECT_EQ(player->cellPosition(), 0);
    EXPECT_EQ(player->playMode(), kPlayAllOnce);
    ASSERT_TRUE(viewer.currentFrame);
    EXPECT_EQ(viewer.currentFrame->width, 4);
    EXPECT_EQ(viewer.pictureTime, 100);
    EXPECT_TRUE(viewer.firstPicture);
    EXPECT_EQ(viewer.lastChange, clock.now);
    EXPECT_EQ(music.calls, (std::vector<std::string>{"start"}));
    EXPECT_DOUBLE_EQ(music.seconds, (1000 + 10 + 2000 + 20) * 0.001);
    clock.now += 700;
    player->beginTiming();
    EXPECT_EQ(player->timeBase(), clock.now - 100);
    player->start(viewer, kPlayOneShow);  // stops the earlier music first
    player->freeShow();
    EXPECT_EQ(music.calls, (std::vector<std::string>{"start", "begin", "stop", "start", "stop"}));
}

TEST_F(ShowPlayerTest, ScreenSaverPlaysSilently) {
    loadCells(1);
    player->setScreenSaver(true, false);
    player->start(viewer, kPlayAllLooped);
    player->beginTiming();
    EXPECT_TRUE(music.calls.empty());
    EXPECT_EQ(player->timeBase(), clock.now - 100);
}

TEST_F(ShowPlayerTest, BannerIsNotDrawnOnTheIntro) {
    Show banner = plainShow(1);
    banner.cells[0].hasImage = 0;
    banner.banner = 1;
    writeShow("intro", banner);
    writeShow("slyde1", banner);
    const int y = 480 * 34 / 40 - 480 / 40;
    ASSERT_TRUE(player->load(kIntroShow));
    EXPECT_EQ(player->nextPicture(640, 480)->rows[static_cast<std::size_t>(y)][0], 0);
    ASSERT_TRUE(player->load(1));
    EXPECT_NE(player->nextPicture(640, 480)->rows[static_cast<std::size_t>(y)][0], 0);
}

// --- Play modes ---

using Step = ShowEndStep;
constexpr auto kMenu = ShowEndStep::Kind::Menu;
constexpr auto kPlay = ShowEndStep::Kind::Play;

// One show goes back to the menu, or without it plays all; all once stops
// after the last, looped starts over.
TEST(ShowEnd, NextStepOfEachPlayMode) {
    EXPECT_EQ(stepAfterShowEnds(kIntroShow, kPlayOneShow, 5, false), (Step{kMenu, 0, 0}));
    EXPECT_EQ(stepAfterShowEnds(2, kPlayOneShow, 5, false), (Step{kMenu, 0, 0}));
    EXPECT_EQ(stepAfterShowEnds(2, kPlayOneShow, 5, true), (Step{kPlay, 0, kPlayAllLooped}));
    EXPECT_EQ(stepAfterShowEnds(0, kPlayAllOnce, 3, false), (Step{kPlay, 1, kPlayAllOnce}));
    EXPECT_EQ(stepAfterShowEnds(2, kPlayAllOnce, 3, false), (Step{kMenu, 0, 0}));
    EXPECT_EQ(stepAfterShowEnds(1, kPlayAllLooped, 3, false), (Step{kPlay, 2, kPlayAllLooped}));
    EXPECT_EQ(stepAfterShowEnds(2, kPlayAllLooped, 3, false), (Step{kPlay, 0, kPlayAllLooped}));
}

}  // namespace
}  // namespace lv::test
