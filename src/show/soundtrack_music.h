// The show's music through the audio graph: the ShowMusic that the player
// uses when sound is wanted. start() lays out the show's soundtrack (music
// list and cell sounds, Soundtrack in audio/soundtrack.h), makes its
// ComplexMixer the root stream, opens the sound output with the root's
// format in 16 bits, prefills it and starts the 20 ms top-up timer
// (SoundPlayback in audio/sound_feed.h). Sound files are opened by name
// through the file services, relative to the set's folder.
//
//     SoundtrackMusic music(programFolder, initialisingWindow);
//     player.setMusic(&music);
//
// Without a sound device the output stays closed and every call does
// nothing; the pictures keep their own timing.
#pragma once

#include <memory>
#include <string>

#include "audio/sound_feed.h"
#include "audio/sound_output.h"
#include "platform/clock.h"
#include "show/show_music.h"

namespace lv {

class SoundtrackMusic final : public ShowMusic {
public:
    explicit SoundtrackMusic(std::string folder, void* window = nullptr,
                             audio::SoundDeviceAcquirer acquire = audio::acquirePlatformSoundDevice,
                             Clock& clock = systemClock());
    ~SoundtrackMusic() override;

    void start(Show& show, double lengthSeconds) override;
    void beginTiming() override;
    void stop() override;

    // True while an output is open (a device was found and the show has sound).
    bool sounding() const { return sounding_; }

private:
    std::string folder_;
    void* window_;
    audio::SoundDeviceAcquirer acquire_;
    Clock& clock_;
    std::unique_ptr<audio::SoundPlayback> playback_;
    bool sounding_ = false;
};

}  // namespace lv
