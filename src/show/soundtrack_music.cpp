#include "show/soundtrack_music.h"

#include <utility>

#include "audio/show_soundtrack.h"
#include "audio/soundtrack.h"

namespace lv {

SoundtrackMusic::SoundtrackMusic(std::string folder, void* window, audio::SoundDeviceAcquirer acquire, Clock& clock)
    : folder_(std::move(folder)), window_(window), acquire_(std::move(acquire)), clock_(clock) {}

SoundtrackMusic::~SoundtrackMusic() { stop(); }

void SoundtrackMusic::start(Show& show, double /*lengthSeconds: the layout sums the cells itself*/) {
    stop();
    audio::SoundtrackShow input = audio::soundtrackInput(show);
    // The soundtrack counts its time from the tick at which the music starts.
    input.startTick = input.tickOffset = clock_.milliseconds();
    auto track = std::make_shared<audio::Soundtrack>(std::move(input), audio::fileServicesOpener(folder_), clock_);
    track->layOut();
    std::unique_ptr<audio::AudioStream> root = audio::createSoundtrackRoot(track);
    if (!root) return;
    playback_ = std::make_unique<audio::SoundPlayback>(std::move(root), acquire_);
    sounding_ = playback_->start(window_);
    if (!sounding_) playback_.reset();
}

void SoundtrackMusic::beginTiming() {
    if (playback_) playback_->beginTiming();
}

void SoundtrackMusic::stop() {
    // SoundPlayback kills its timer before the output and the graph go.
    if (playback_) playback_->stop();
    playback_.reset();
    sounding_ = false;
}

}  // namespace lv
