// Show playback in the viewer: the viewer's playback fields and the rules
// that drive the show player from the viewer's messages. While no show
// plays, the viewer shows the show menu and takes a choice by click, typed
// number or keys; while one plays, a 50 ms tick puts picture after picture
// up at its time through a transition and moves on to the next show or
// back to the menu when a show ends.
//
//     PlaybackStage stage(player, folder, &registry, runOptions);  // one per program
//     stage.setUp();                                               // show 0's settings, the intro
//     ShowPlayback playback(stage, viewerHost);                    // one per viewer
//     playback.setActive(1);        // the script's ssActive: the intro plays, then the menu
//     ... every 50 ms: stage.tickPlaying(); playback.checkTypedNumber();
//
// Who calls what (all on the user-interface thread):
//   property get/set of ssActive, ssDelay, ssPause, ssOrder, fade -> the setters and getters;
//   WM_KEYDOWN -> key() (in screen-saver mode the viewer ends the program instead);
//   WM_LBUTTONDOWN with no show playing -> click();
//   the viewer class's 50 ms timer -> checkTypedNumber() of the viewer;
//   the 50 ms playback tick (host startTick/stopTick) -> PlaybackStage::tickPlaying();
//   WM_PAINT of the screen-saver child -> repaintTransition(), else the current picture;
//   the viewer's destruction (and the screen saver's end) -> destroy the ShowPlayback,
//     which forgets itself as the playing viewer, so nothing points at it afterwards.
//
// Failures: a chosen number that names no show, or a show that does not
// load, beeps and leaves the menu up with show 0 loaded again. A menu that
// cannot be rendered leaves the viewer showing what it showed; a missing
// menu definition means no menu, and the shows then play all in a loop.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "show/menu_page.h"
#include "show/picture_change.h"
#include "show/playback_host.h"
#include "show/show_player.h"
#include "show/typed_number.h"
#include "transition/registry.h"
#include "transition/run.h"

namespace lv {

class ShowPlayback;

inline constexpr std::int32_t kPlaybackTickMs = 50;
inline constexpr std::int32_t kTickBudgetMs = 49;
inline constexpr int kScreenSaverJitter = 5;  // pixels of pointer x that keep a saver running
inline constexpr char kMenuPictureName[] = "menu";

// The program-wide side: the show player, the transition engine, the menu,
// the playing viewer, the once-only first start and the tick's re-entrancy
// counter.
class PlaybackStage {
public:
    // `registry` null: no transition engine (pictures change without transitions).
    PlaybackStage(ShowPlayer& player, std::string programFolder, Registry* registry, RunOptions runOptions = {});
    PlaybackStage(const PlaybackStage&) = delete;
    PlaybackStage& operator=(const PlaybackStage&) = delete;

    // Start-up: the show player's set-up with the menu definition's items per page.
    void setUp();
    // The program runs as a screen saver (shows silent; preview: no banner).
    void setScreenSaver(bool screenSaver, bool preview);
    bool screenSaver() const { return screenSaver_; }
    bool preview() const { return preview_; }

    // The playback tick timer's callback: one tick of the playing viewer;
    // nothing when none plays or a tick is already running.
    void tickPlaying();
    // The viewer that plays shows, null when none.
    ShowPlayback* playingViewer() const { return playing_; }

    // Screen-saver mode: the first pointer move is recorded; true when a
    // later one moved more than 5 pixels in x (the program then ends).
    bool pointerMoveEnds(int x, int y);

    // The menu is offered after a single show: a definition was found and
    // show 0 does not ask to play all in a loop.
    bool menuOffered() const;

    ShowPlayer& player() { return player_; }
    Registry* registry() { return registry_; }
    const RunOptions& runOptions() const { return runOptions_; }
    const std::string& programFolder() const { return programFolder_; }
    const MenuRenderer& menuRenderer() const { return menu_; }
    void setMenuRenderer(MenuRenderer renderer) { menu_ = std::move(renderer); }

private:
    friend class ShowPlayback;

    ShowPlayer& player_;
    std::string programFolder_;
    Registry* registry_;
    RunOptions runOptions_;
    MenuRenderer menu_;
    bool screenSaver_ = false, preview_ = false;
    ShowPlayback* playing_ = nullptr;
    bool firstStart_ = true;   // the once-only flag: the intro plays at the first start
    int tickDepth_ = 0;
    int pointerX_ = -1, pointerY_ = -1;
};

// What one tick did, for the bench and the tests.
struct TickReport {
    int picturesShown = 0;
    int picturesLate = 0;  // shown more than one tick past their due time
    bool budgetSpent = false;
};

// The viewer's playback fields and rules.
class ShowPlayback {
public:
    ShowPlayback(PlaybackStage& stage, PlaybackHost& host);
    ~ShowPlayback();
    ShowPlayback(const ShowPlayback&) = delete;
    ShowPlayback& operator=(const ShowPlayback&) = delete;

    // --- properties (get returns the stored value) ---
    // ssActive: non-zero starts playback (only with a base picture, after
    // the save prompt; in screen-saver mode the shows then play all in a
    // loop, the preview reloading show 0 first), 0 stops it.
    int setActive(int value);
    int active() const { return active_; }
    // ssDelay is the picture time; setting it (or ssPause, or ssOrder once a
    // picture went up) makes the next picture due at once.
    int setDelay(int value);
    int delay() const { return timing_.pictureTime; }
    int setPause(int value);
    int pause() const { return pause_; }
    int setOrder(int value);
    int order() const { return order_; }
    // fade: 0 the show's own transitions, -1 none, other values the cross-fade
    // only. It decides per picture, so setting it back restores the others.
    int setFade(int value);
    int fade() const { return fade_; }

    // --- input ---
    // WM_KEYDOWN with the virtual key; true when it was one of playback's
    // keys (digits, keypad digits, Enter, Escape, Page Up, Page Down).
    bool key(int virtualKey);
    // WM_LBUTTONDOWN while no show plays: the point relative to the picture
    // rectangle and the picture's drawn size; chooses a show or beeps.
    void click(int x, int y, int drawnWidth, int drawnHeight);
    // The class's 50 ms timer: takes a typed number once it is due.
    void checkTypedNumber();

    // --- playing ---
    // Start a chosen show: typed or clicked number n (1 ... N a show, N + 1
    // "Loop All", N + 2 "Play All"). False when it names no show or the show
    // does not load (show 0 is then loaded again); true also when the save
    // prompt was cancelled (nothing happens then).
    bool startChosenShow(std::int64_t n);
    // Renders the current menu page at 800 x 600 and shows it as "menu".
    void showMenu();
    // One playback tick (the stage's tickPlaying calls it for the playing viewer).
    TickReport tick();
    // The screen-saver child's WM_PAINT: repaints the running transition's
    // last frame; false when none runs (paint the current picture then).
    bool repaintTransition();

    // --- state, for the viewer and the tests ---
    bool playing() const { return stage_.playing_ == this; }
    bool pictureShown() const { return pictureShown_; }
    const std::string& savedPath() const { return savedPath_; }
    const std::string& nextPictureName() const { return nextName_; }
    const Bitmap* preparedPicture() const { return timing_.currentFrame.get(); }
    bool transitionRunning() const { return change_.running(); }
    // The last full frame put up by a transition (the incoming surface).
    const Surface* lastFrame() const { return change_.target(); }
    Display* display() const { return change_.display(); }
    // The transition number that brought the last picture in (0: none).
    int lastTransition() const { return lastTransition_; }
    std::int32_t lastTransitionMs() const { return lastTransitionMs_; }
    const ViewerPlayback& timing() const { return timing_; }
    std::uint32_t lastChange() const { return timing_.lastChange; }
    const TypedNumber& typedNumber() const { return typed_; }

private:
    void startPlayback(int value, bool prompted);
    void startPlayer(int mode);
    void stopPlayback();
    void restartAfterStop();
    void pageShow(int delta);
    void pageMenu(int delta);
    void escape();
    void fitPrepared();
    void putUpPrepared(TickReport& report, bool firstAtRoundStart);
    void changePicture(const Bitmap& picture, std::int32_t late);
    bool prepareNext();
    void followShowEnd();
    void makeNextDueNow();
    std::int32_t elapsed() const;

    PlaybackStage& stage_;
    PlaybackHost& host_;
    ShowPlayer& player_;

    int active_ = 0;
    int pause_ = 0;
    int order_ = 1;
    int fade_ = kFadeOwn;
    bool pictureShown_ = false;
    std::string savedPath_;
    std::string nextName_;
    int listPosition_ = 0;
    bool transitionsWanted_ = true;
    PictureChange change_;
    ViewerPlayback timing_;  // its current frame is the prepared next picture
    TypedNumber typed_;
    int shownSinceStart_ = 0;  // pictures up since the show player's last start
    int lastTransition_ = 0;
    std::int32_t lastTransitionMs_ = 0;
};

}  // namespace lv
