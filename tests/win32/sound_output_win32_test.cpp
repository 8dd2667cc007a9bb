// DirectSound under Wine without a sound device: the output opens or says
// there is no sound, and every step of a show's music runs on and ends.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "audio/graph_nodes.h"
#include "audio/sound_feed.h"
#include "audio/sound_output.h"
#include "platform/periodic_timer.h"

namespace lv::audio {
namespace {

TEST(DirectSoundOutput, OpensOrReportsNoSound) {
    SoundOutput out;
    const bool opened = out.open(nullptr, 2, 44100, 16);
    if (opened) {
        EXPECT_EQ(out.bufferSize(), 176400u);
        EXPECT_GT(out.freeSpace(), 0);
    } else {
        EXPECT_EQ(out.freeSpace(), 0);
        EXPECT_TRUE(out.isDone());
    }
    out.close();
}

TEST(DirectSoundOutput, AShowsMusicStartsAndStopsWithoutHanging) {
    const auto begin = std::chrono::steady_clock::now();
    SoundPlayback playback(createSilence(3 * 44100, 44100, 2));
    playback.start(nullptr);
    playback.beginTiming();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    playback.stop();
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(10));
}

TEST(MultimediaTimer, TicksAndStopsSynchronously) {
    std::atomic<int> ticks{0};
    PeriodicTimer timer;
    ASSERT_TRUE(timer.start(20, [&] { ++ticks; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    timer.stop();
    const int seen = ticks;
    EXPECT_GE(seen, 3);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(ticks, seen);
}

}  // namespace
}  // namespace lv::audio
