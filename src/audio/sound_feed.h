// Feeding a sound output from the root audio stream of a show: prefill the
// buffer, then top it up on every tick of a 20 ms timer, in pieces of 2048
// frames; when the root has finished and everything is written, mark the
// end, write silence behind it and stop the buffer once the end has played
// (so the looping buffer never plays its last second again).
//
//     SoundPlayback music(std::move(root));            // opens the output
//     music.start(window);                             // prefill, timer
//     uint32_t timeBase = music.beginTiming();         // play; tick - 100
//     ...
//     music.stop();                                    // timer, output, root
//
// Without a sound device every step does nothing and beginTiming still
// gives the time base.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "audio/audio_stream.h"
#include "audio/sound_output.h"
#include "platform/periodic_timer.h"

namespace lv::audio {

class SoundFeed {
public:
    static constexpr int32_t pieceFrames = 2048;

    SoundFeed(SoundOutput& output, AudioStream& root);
    // The top-up of the prefill and of each tick; true while there is more.
    void topUp();
    // One timer tick: top up, then mark the end and drain when the root is used up.
    void tick();
    int64_t consumed() const { return consumed_; }

private:
    SoundOutput& output_;
    AudioStream& root_;
    int64_t consumed_ = 0;
    std::vector<int16_t> frames_;
    std::mutex mutex_;
};

class SoundPlayback {
public:
    static constexpr uint32_t tickMs = 20;

    explicit SoundPlayback(std::unique_ptr<AudioStream> root, SoundDeviceAcquirer acquire = acquirePlatformSoundDevice);
    ~SoundPlayback();
    // Opens the output (the root's format, 16 bits), prefills it and starts
    // the timer. False when there is no sound (the show plays silently).
    bool start(void* window);
    // Starts the buffer; the show's time base (tick count - 100).
    uint32_t beginTiming();
    void stop();
    SoundOutput& output() { return output_; }

private:
    std::unique_ptr<AudioStream> root_;
    SoundOutput output_;
    std::unique_ptr<SoundFeed> feed_;
    PeriodicTimer timer_;
};

}  // namespace lv::audio
