// The music of a playing show, as the show player drives it. The soundtrack
// (the show's sound records laid out and mixed at 44100 Hz in stereo) and
// the sound output live in the audio subsystem; the player only makes these
// three calls, so that shows play silently until a real one is plugged in.
//
//     player.setMusic(&soundtrackMusic);  // else SilentShowMusic
//
// start: build the soundtrack of the show with its length in seconds, open
//   the sound output with the soundtrack's format in 16 bits, prefill it and
//   start the 20 ms top-up timer (resolution 5 ms, kill-synchronous).
// beginTiming: start the output playing (the first picture is up).
// stop: kill the timer first, then stop, close and destroy the output, then
//   the soundtrack. Safe to call when nothing was started.
// None reports failure: without a sound device the music steps do nothing
// and the pictures keep their own timing.
#pragma once

#include "show/show_file.h"

namespace lv {

class ShowMusic {
public:
    virtual ~ShowMusic() = default;
    // The show stays alive and in place until stop(); the soundtrack may keep
    // its working values in it.
    virtual void start(Show& show, double lengthSeconds) = 0;
    virtual void beginTiming() = 0;
    virtual void stop() = 0;
};

// Plays nothing.
class SilentShowMusic final : public ShowMusic {
public:
    void start(Show&, double) override {}
    void beginTiming() override {}
    void stop() override {}
};

}  // namespace lv
