#include "show/show_player.h"

#include <algorithm>
#include <climits>

namespace lv {

namespace {

constexpr int kNoShowDisplayMs = 1000;
constexpr int kNoShowTransitionMs = 1000;
constexpr int kFirstPictureMs = 100;

}  // namespace

ShowPlayer::ShowPlayer(std::string programFolder, CellRenderer renderer, Clock* clock)
    : programFolder_(std::move(programFolder)), renderer_(std::move(renderer)), clock_(clock) {}

ShowPlayer::~ShowPlayer() { stop(); }

void ShowPlayer::setMusic(ShowMusic* music) {
    stop();
    music_ = music ? music : &silence_;
}

void ShowPlayer::setScreenSaver(bool screenSaver, bool preview) {
    screenSaver_ = screenSaver;
    preview_ = preview;
}

void ShowPlayer::setUp(const MenuItemsPerPage& menuItemsPerPage) {
    freeShow();
    if (load(0)) {
        bandTiming_ = show_->bandTiming;
        maskFolder_ = show_->maskFolder;
        // The count comes from a file: a negative one means no further shows,
        // and the set's size must stay a positive int.
        const int further = std::clamp(show_->furtherShows, 0, INT_MAX - 1);
        numberOfShows_ = further + 1;
        menuPage_ = 0;
        noMenu_ = show_->noMenu != 0;
        if (!noMenu_ && menuItemsPerPage) {
            const int perPage = menuItemsPerPage();
            if (perPage > 0) pageCount_ = static_cast<int>((std::int64_t{further} + perPage) / perPage);
        }
    }
    load(kIntroShow);
    playingState_ = kPlayerReady;
    cellPosition_ = 0;
}

bool ShowPlayer::load(int number) {
    freeShow();
    show_ = loadShow(programFolder_, number);
    showNumber_ = number;
    return show_ != nullptr;
}

void ShowPlayer::freeShow() {
    stop();
    show_.reset();
}

int ShowPlayer::cellCount() const { return show_ ? static_cast<int>(show_->cells.size()) : 0; }

const ShowCell* ShowPlayer::currentCell() const {
    if (!show_ || cellPosition_ < 0 || cellPosition_ >= cellCount()) return nullptr;
    return &show_->cells[static_cast<std::size_t>(cellPosition_)];
}

std::string ShowPlayer::nextPictureName() const {
    const ShowCell* cell = currentCell();
    return cell ? cell->imageFile : std::string();
}

BitmapPtr ShowPlayer::nextPicture(int width, int height) const {
    if (!show_) return nullptr;
    CellRenderOptions options;
    options.bannerAllowed = showNumber_ != kIntroShow;
    options.screenSaverPreview = preview_;
    return renderer_.render(*show_, cellPosition_, width, height, options);
}

int ShowPlayer::displayTime() const {
    if (!show_) return kNoShowDisplayMs;
    const ShowCell* cell = currentCell();
    return cell ? cell->displayMs : 0;
}

int ShowPlayer::transitionNumber() const {
    const ShowCell* cell = currentCell();
    return cell ? cell->transition : kTransitionNone;
}

int ShowPlayer::transitionTime() const {
    if (!show_) return kNoShowTransitionMs;
    const ShowCell* cell = currentCell();
    return cell ? cell->transitionMs : 0;
}

void ShowPlayer::advance(int n) {
    if (!show_) {
        cellPosition_ = 0;
        return;
    }
    const std::int64_t count = cellCount();
    // A show of no cells has nothing to wrap round: it has ended.
    if (count == 0) {
        cellPosition_ = 1;
        return;
    }
    std::int64_t p = std::int64_t{cellPosition_} + n;
    // The wrap of the position: below 0 adds the count, at count + 2 or more
    // subtracts it, in one step each instead of a loop.
    if (p < 0) p += ((-p + count - 1) / count) * count;
    if (p >= count + 2) p -= ((p - (count + 2)) / count + 1) * count;
    cellPosition_ = static_cast<int>(p);
}

bool ShowPlayer::hasEnded() const { return !show_ || cellPosition_ >= cellCount() + 1; }

void ShowPlayer::start(ViewerPlayback& viewer, int playMode) {
    stop();
    playMode_ = playMode;
    viewer.currentFrame = createBitmap("frame", 4, 3, 24);
    viewer.lastChange = clock().milliseconds();
    viewer.pictureTime = kFirstPictureMs;
    viewer.currentTransition = viewer.nextTransition = kTransitionNone;
    viewer.currentTransitionMs = viewer.nextTransitionMs = 0;
    viewer.displayTime = 0;
    viewer.firstPicture = true;
    cellPosition_ = 0;
    // A screen saver plays its shows silently.
    if (show_ && !screenSaver_) {
        music_->start(*show_, static_cast<double>(show_->lengthMs()) * 0.001);
        musicStarted_ = true;
        timeBase_ = clock().milliseconds();
    }
}

void ShowPlayer::beginTiming() {
    if (musicStarted_) music_->beginTiming();
    timeBase_ = clock().milliseconds() - kFirstPictureMs;
}

void ShowPlayer::stop() {
    if (!musicStarted_) return;
    musicStarted_ = false;
    music_->stop();
}

}  // namespace lv
