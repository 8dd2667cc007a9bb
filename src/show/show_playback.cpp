#include "show/show_playback.h"

#include <cstdlib>

#include "render/bitmap_resize.h"
#include "show/show_end.h"

namespace lv {

// --- PlaybackStage ---

PlaybackStage::PlaybackStage(ShowPlayer& player, std::string programFolder, Registry* registry,
                             RunOptions runOptions)
    : player_(player),
      programFolder_(std::move(programFolder)),
      registry_(registry),
      runOptions_(std::move(runOptions)),
      menu_(programFolder_) {}

void PlaybackStage::setUp() {
    player_.setUp([this] { return menuItemsPerPage(programFolder_); });
}

void PlaybackStage::setScreenSaver(bool screenSaver, bool preview) {
    screenSaver_ = screenSaver;
    preview_ = preview;
    player_.setScreenSaver(screenSaver, preview);
}

void PlaybackStage::tickPlaying() {
    // A tick that arrives while one runs (a label pumping messages) returns at once.
    if (!playing_ || tickDepth_ > 0) return;
    ++tickDepth_;
    playing_->tick();
    --tickDepth_;
}

bool PlaybackStage::pointerMoveEnds(int x, int y) {
    if (pointerX_ == -1 && pointerY_ == -1) {
        pointerX_ = x;
        pointerY_ = y;
        return false;
    }
    return std::abs(x - pointerX_) > kScreenSaverJitter;
}

bool PlaybackStage::menuOffered() const { return !player_.noMenu() && player_.pageCount() > 0; }

// --- ShowPlayback: properties ---

ShowPlayback::ShowPlayback(PlaybackStage& stage, PlaybackHost& host)
    : stage_(stage), host_(host), player_(stage.player_) {
    timing_.pictureTime = 6000;
    transitionsWanted_ = stage.registry_ != nullptr && stage.registry_->size() > 0;
}

// The viewer is going away (its window destroyed, or the screen saver
// ending): nothing may point at it afterwards. The host is not called, as
// it may be half destroyed; it kills its tick timer itself.
ShowPlayback::~ShowPlayback() {
    if (stage_.playing_ == this) {
        stage_.playing_ = nullptr;
        player_.stop();
    }
    change_.release();
}

int ShowPlayback::setActive(int value) {
    if (stage_.screenSaver_ && value != 0) {
        if (stage_.preview_) player_.load(0);
        // A screen saver plays on for ever: its mode-2 start is the first one.
        stage_.firstStart_ = false;
        startPlayer(kPlayAllLooped);
    }
    if (value != 0)
        startPlayback(value, false);
    else
        stopPlayback();
    return 0;
}

void ShowPlayback::makeNextDueNow() { timing_.lastChange = host_.now() - timing_.pictureTime - 1; }

int ShowPlayback::setDelay(int value) {
    timing_.pictureTime = value;
    if (stage_.playing_) stage_.playing_->makeNextDueNow();
    return 0;
}

int ShowPlayback::setPause(int value) {
    pause_ = value;
    if (stage_.playing_) stage_.playing_->makeNextDueNow();
    return 0;
}

int ShowPlayback::setOrder(int value) {
    order_ = value;
    if (stage_.playing_ && stage_.playing_->timing_.lastChange != 0) stage_.playing_->makeNextDueNow();
    return 0;
}

int ShowPlayback::setFade(int value) {
    fade_ = value;
    return 0;
}

// --- starting and stopping ---

void ShowPlayback::startPlayer(int mode) {
    player_.start(timing_, mode);
    shownSinceStart_ = 0;
}

void ShowPlayback::startPlayback(int value, bool prompted) {
    if (!host_.hasBasePicture() || value == active_) return;
    // The show paints over the viewer's picture: unsaved edits are offered
    // for saving first, and a cancel leaves everything as it was.
    if (!prompted && !host_.savePrompt()) return;
    active_ = value;
    savedPath_ = host_.picturePath();
    stage_.playing_ = this;
    if (!pause_) {
        // A black picture in place of the viewer's: its base picture (and any
        // edits in it) stays untouched while shows play.
        const PictureSize size = host_.currentPictureSize();
        BitmapPtr black = createBitmap("bitmap", std::max(size.width, 1), std::max(size.height, 1), 24);
        if (black) host_.showPicture(std::move(black), savedPath_);
    }
    pictureShown_ = false;
    listPosition_ = 0;
    if (stage_.firstStart_) {
        stage_.firstStart_ = false;
        if (player_.show()) startPlayer(kPlayOneShow);
    }
    host_.startTick();
}

void ShowPlayback::stopPlayback() {
    player_.stop();
    host_.stopTick();
    change_.release();
    timing_.currentFrame.reset();
    active_ = 0;
    if (stage_.playing_ == this) stage_.playing_ = nullptr;
    if (!savedPath_.empty()) {
        const std::string path = std::move(savedPath_);
        savedPath_.clear();
        host_.restorePicture(path);
    }
}

// After a stop with show 0 loaded: the menu, or all shows in a loop when
// there is no menu.
void ShowPlayback::restartAfterStop() {
    if (stage_.menuOffered()) {
        showMenu();
        return;
    }
    startPlayback(1, true);
    if (active_) startPlayer(kPlayAllLooped);
}

bool ShowPlayback::startChosenShow(std::int64_t n) {
    const std::optional<ShowChoice> choice = chooseShow(n, player_.numberOfShows());
    if (!choice) {
        // The menu stays up with show 0 behind it.
        if (!active_) player_.load(0);
        return false;
    }
    if (!host_.savePrompt()) return true;
    if (!player_.load(choice->show)) {
        player_.load(0);
        return false;
    }
    startPlayback(1, true);
    if (!active_) return false;
    startPlayer(choice->mode);
    return true;
}

void ShowPlayback::showMenu() {
    MenuPageRequest request;
    request.current = player_.show();
    request.showCount = player_.numberOfShows();
    request.page = player_.menuPage();
    request.menuBrightness = player_.show() && player_.showNumber() == 0 ? player_.show()->menuBrightness : 0;
    BitmapPtr page = stage_.menu_.render(request);
    if (!page) return;
    host_.showPicture(std::move(page), kMenuPictureName);
    host_.refitZoom();
}

// --- input ---

bool ShowPlayback::key(int virtualKey) {
    if (typed_.key(virtualKey, host_.now())) return true;
    switch (virtualKey) {
    case kKeyEscape: escape(); return true;
    case kKeyPageUp: active_ ? pageShow(-1) : pageMenu(-1); return true;
    case kKeyPageDown: active_ ? pageShow(1) : pageMenu(1); return true;
    default: return false;
    }
}

void ShowPlayback::escape() {
    typed_.clear();
    if (!active_) {
        host_.postQuit();
        return;
    }
    stopPlayback();
    player_.load(0);
    restartAfterStop();
}

void ShowPlayback::pageShow(int delta) {
    stopPlayback();
    const int next = stepShowIndex(player_.showNumber(), player_.numberOfShows(), delta);
    if (!player_.load(next)) return;
    const int mode = player_.playMode();
    startPlayback(1, true);
    if (active_) startPlayer(mode);
}

void ShowPlayback::pageMenu(int delta) {
    if (player_.pageCount() <= 0) return;
    player_.setMenuPage(stepMenuPage(player_.menuPage(), player_.pageCount(), delta));
    showMenu();
}

void ShowPlayback::click(int x, int y, int drawnWidth, int drawnHeight) {
    if (active_) return;
    const auto menu = loadMenuDefinition(stage_.programFolder_, drawnWidth, drawnHeight);
    const int choice = menu ? hitTestMenu(*menu, player_.numberOfShows(), player_.menuPage(), x, y).choice : -1;
    if (choice < 0) {
        host_.beep();
        return;
    }
    typed_.set(choice + 1, host_.now());
    if (!startChosenShow(typed_.take())) host_.beep();
}

void ShowPlayback::checkTypedNumber() {
    if (!typed_.due(host_.now())) return;
    if (!startChosenShow(typed_.take())) host_.beep();
}

// --- the playback tick ---

std::int32_t ShowPlayback::elapsed() const { return elapsedMs(timing_.lastChange, host_.now()); }

TickReport ShowPlayback::tick() {
    TickReport report;
    const std::uint32_t began = host_.now();
    while (active_) {
        const bool firstAtRoundStart = timing_.firstPicture;
        change_.advanceTo(host_.now());
        change_.settle();
        if (timing_.currentFrame) {
            if (change_.running()) break;
            fitPrepared();
            // The prepared picture waits for its time; the show's end comes
            // only after its last (black) picture went up.
            if (pause_ || elapsed() < timing_.pictureTime) break;
            putUpPrepared(report, firstAtRoundStart);
        }
        if (player_.playingState() == kPlayerReady && player_.hasEnded()) {
            if (change_.running()) break;
            followShowEnd();
            break;
        }
        if (!prepareNext()) break;
        if (elapsedMs(began, host_.now()) >= kTickBudgetMs) {
            report.budgetSpent = true;
            break;
        }
    }
    change_.advanceTo(host_.now());
    pictureShown_ = true;
    return report;
}

void ShowPlayback::fitPrepared() {
    Bitmap& picture = *timing_.currentFrame;
    const PictureSize window = host_.drawingSize();
    if (window.width <= 0 || window.height <= 0) return;
    if (picture.width == window.width || picture.height == window.height) return;
    const PictureSize fitted = fitSize({picture.width, picture.height}, window);
    if (BitmapPtr resized = resizeBitmap(picture, std::max(fitted.width, 1), std::max(fitted.height, 1)))
        timing_.currentFrame = std::move(resized);
}

void ShowPlayback::putUpPrepared(TickReport& report, bool firstAtRoundStart) {
    const std::int32_t late = elapsed() - timing_.pictureTime;
    ++report.picturesShown;
    if (late > kPlaybackTickMs) ++report.picturesLate;
    BitmapPtr picture = std::move(timing_.currentFrame);
    changePicture(*picture, late);
    host_.showPicture(std::move(picture), nextName_);
    // The first real picture of a show is up: its music starts and the
    // pictures count from now.
    if (firstAtRoundStart && shownSinceStart_ > 0) {
        host_.updateWindow();
        player_.beginTiming();
        timing_.firstPicture = false;
        timing_.lastChange = host_.now();
    }
    ++shownSinceStart_;
}

void ShowPlayback::changePicture(const Bitmap& picture, std::int32_t late) {
    TransitionRequest request;
    request.fade = transitionsWanted_ ? fade_ : kFadeNone;
    request.number = timing_.currentTransition;
    request.timeMs = timing_.currentTransitionMs;
    request.lateMs = late;
    request.previousPicture = shownSinceStart_ > 0;
    const TransitionChoice choice = chooseTransition(request);
    lastTransition_ = stage_.registry_
                          ? change_.start(*stage_.registry_, host_, picture, choice, stage_.runOptions_, host_.now())
                          : 0;
    lastTransitionMs_ = choice.timeMs;
    // The schedule follows the show's own times, so the pictures stay with
    // the music however the change was made.
    timing_.pictureTime += timing_.currentTransitionMs;
}

bool ShowPlayback::prepareNext() {
    const PictureSize window = host_.drawingSize();
    nextName_ = player_.nextPictureName();
    timing_.currentFrame = player_.nextPicture(window.width, window.height);
    if (!timing_.currentFrame) return false;
    timing_.pictureTime += timing_.displayTime;
    timing_.currentTransition = timing_.nextTransition = player_.transitionNumber();
    timing_.currentTransitionMs = timing_.nextTransitionMs = player_.transitionTime();
    timing_.displayTime = player_.displayTime();
    player_.advance(1);
    return true;
}

void ShowPlayback::followShowEnd() {
    const int finished = player_.showNumber();
    const int mode = player_.playMode();
    const ShowEndStep step = stepAfterShowEnds(finished, mode, player_.numberOfShows(), !stage_.menuOffered());
    player_.setShowNumber(finished + 1);
    const bool backToStart = mode == kPlayOneShow || step.kind == ShowEndStep::Kind::Menu ||
                             (step.show == 0 && mode != kPlayAllLooped);
    if (backToStart || !player_.load(step.show)) {
        stopPlayback();
        player_.load(0);
        restartAfterStop();
        return;
    }
    startPlayer(step.mode);
}

bool ShowPlayback::repaintTransition() { return change_.repaint(); }

}  // namespace lv
