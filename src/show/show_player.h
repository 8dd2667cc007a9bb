// The show player: the set of shows, the current show and the cell to show
// next. The viewer asks it, on its playback tick, for the next picture at
// the window's size with its display time and transition, tells it to
// advance, and asks whether the show has ended (show_end.h says what comes
// next). It owns no window and no clock for pictures; its music runs behind
// the ShowMusic interface.
//
//     ShowPlayer player(programFolder);
//     player.setUp();                        // show 0's set-wide settings, then the intro
//     ViewerPlayback viewer;
//     player.start(viewer, kPlayOneShow);
//     BitmapPtr picture = player.nextPicture(1024, 768);
//     int shownFor = player.displayTime();
//     player.advance(1);
//
// Cell positions run from 0 to cell count + 1: the count itself renders
// black and count + 1 is the end, so a show ends on black. Without a show
// every value is its no-show value: empty name, 1000 ms, transition 1, ended.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/clock.h"
#include "render/bitmap.h"
#include "show/cell_render.h"
#include "show/show_file.h"
#include "show/show_music.h"

namespace lv {

inline constexpr int kPlayOneShow = 0;
inline constexpr int kPlayAllOnce = 1;
inline constexpr int kPlayAllLooped = 2;
inline constexpr int kPlayerReady = 2;  // the playing state once set up

inline constexpr int kTransitionNone = 1;
inline constexpr int kTransitionBlend = 171;

// The viewer's playback fields that a start sets.
struct ViewerPlayback {
    BitmapPtr currentFrame;
    std::uint32_t lastChange = 0;       // tick count
    std::int32_t pictureTime = 0;       // ms from the time base when the next picture is due
    int currentTransition = kTransitionNone, nextTransition = kTransitionNone;
    int currentTransitionMs = 0, nextTransitionMs = 0;
    int displayTime = 0;                // of the picture shown
    bool firstPicture = false;
};

// Items per page of the show menu, read from the menu definition at
// 100 x 100; 0 or less when there is none.
using MenuItemsPerPage = std::function<int()>;

class ShowPlayer {
public:
    explicit ShowPlayer(std::string programFolder, CellRenderer renderer = CellRenderer{}, Clock* clock = nullptr);
    ~ShowPlayer();
    ShowPlayer(const ShowPlayer&) = delete;
    ShowPlayer& operator=(const ShowPlayer&) = delete;

    // Null for silence (the default).
    void setMusic(ShowMusic* music);
    // Screen saver: no music at all; preview: no banner either.
    void setScreenSaver(bool screenSaver, bool preview);

    // Start-up: show 0's settings (number of shows, mask folder, band timing,
    // menu page count), then the intro as the current show.
    void setUp(const MenuItemsPerPage& menuItemsPerPage = {});

    // Frees the current show (stopping its music), then loads the show of the
    // number (kIntroShow for the intro); false leaves no current show.
    bool load(int number);
    void freeShow();
    const Show* show() const { return show_.get(); }

    std::string nextPictureName() const;
    BitmapPtr nextPicture(int width, int height) const;
    int displayTime() const;
    int transitionNumber() const;
    int transitionTime() const;
    void advance(int n);
    bool hasEnded() const;

    void start(ViewerPlayback& viewer, int playMode);
    void beginTiming();
    void stop();

    int showNumber() const { return showNumber_; }
    void setShowNumber(int number) { showNumber_ = number; }
    int numberOfShows() const { return numberOfShows_; }
    int menuPage() const { return menuPage_; }
    void setMenuPage(int page) { menuPage_ = page; }
    int pageCount() const { return pageCount_; }
    int cellPosition() const { return cellPosition_; }
    int playMode() const { return playMode_; }
    int playingState() const { return playingState_; }
    bool noMenu() const { return noMenu_; }
    const std::string& maskFolder() const { return maskFolder_; }
    std::uint8_t bandTiming() const { return bandTiming_; }
    std::uint32_t timeBase() const { return timeBase_; }

private:
    const ShowCell* currentCell() const;
    int cellCount() const;
    Clock& clock() const { return clock_ ? *clock_ : systemClock(); }

    std::string programFolder_;
    CellRenderer renderer_;
    Clock* clock_;
    SilentShowMusic silence_;
    ShowMusic* music_ = &silence_;
    bool musicStarted_ = false;
    bool screenSaver_ = false, preview_ = false;

    std::unique_ptr<Show> show_;
    int showNumber_ = kIntroShow;
    int numberOfShows_ = 1;
    int menuPage_ = 0;
    int pageCount_ = 0;
    int cellPosition_ = 0;
    int playMode_ = kPlayOneShow;
    int playingState_ = 0;
    bool noMenu_ = false;
    std::string maskFolder_;
    std::uint8_t bandTiming_ = 0;
    std::uint32_t timeBase_ = 0;
};

}  // namespace lv
