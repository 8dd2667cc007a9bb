#include "audio/sound_output.h"

#include <gtest/gtest.h>

#include <cstring>

#include "audio/recording_sound_device.h"
#include "audio/sound_feed.h"
#include "audio/soundtrack.h"
#include "audio_graph_fixture.h"

namespace lv::audio {
namespace {

using namespace test;

struct OutputCase : ::testing::Test {
    std::shared_ptr<RecordingSoundDevice> device = std::make_shared<RecordingSoundDevice>();
    SoundOutput out{[this](void*) { return device; }};
    void SetUp() override { ASSERT_TRUE(out.open(nullptr, 2, 44100, 16)); }
    void writeZeros(uint32_t bytes) {
        std::vector<uint8_t> z(bytes, 0);
        ASSERT_GE(out.write(z.data(), bytes), 0);
    }
};

// One second of buffer with its guard; volume is attenuation in hundredths
// of a decibel; half speed halves the frequency.
TEST_F(OutputCase, BufferVolumeAndSpeed) {
    EXPECT_EQ(out.bufferSize(), 176400u);
    EXPECT_EQ(out.freeSpace(), 168208);
    for (uint32_t volume : {65535u, 0u}) {
        out.setVolume(volume);
        EXPECT_EQ(out.volume(), volume);
    }
    out.setVolume(32768);
    EXPECT_EQ(out.volume(), 32767u);  // -2500 back
    out.setSpeed(50);
    EXPECT_EQ(out.frequency(), 22050u);
}

// Played bytes keep growing across the buffer's wrap (the position is asked
// at least once per turn, as the 20 ms top-up does). Done only once the end
// mark has played; a second mark changes nothing.
TEST_F(OutputCase, PlayedBytesGrowAcrossTheWrapAndDoneOnlyOnceTheEndMarkHasPlayed) {
    out.play();
    for (uint32_t turn = 1; turn <= 5; ++turn) {
        writeZeros(100000);
        device->advance(turn < 5 ? 100000 : 99999);
        EXPECT_EQ(out.playedBytes(), turn * 100000u - (turn == 5));
    }
    EXPECT_EQ(out.freeSpace(), 176400 - 8192 - 1);
    EXPECT_EQ(out.markEnd(), 500000u);
    EXPECT_FALSE(out.isDone());
    device->advance(1);
    writeZeros(1000);
    EXPECT_EQ(out.markEnd(), 501000u);
    EXPECT_TRUE(out.isDone());
    SoundOutput other{[this](void*) { return device; }};
    EXPECT_FALSE(other.open(nullptr, 2, 44100, 16));  // the one buffer is taken
}

TEST_F(OutputCase, ALostBufferIsRestoredAndAFailedWriteIsReportedAndNotCounted) {
    const uint8_t bytes[4] = {1, 2, 3, 4};
    device->loseBuffer();
    EXPECT_EQ(out.write(bytes, 4), 4);
    device->failWrites = true;
    EXPECT_LT(out.write(bytes, 4), 0);
    EXPECT_EQ(out.writtenBytes(), 4u);
}

TEST(SoundOutputWithoutDevice, StaysClosedAndQuiet) {
    SoundOutput out{[](void*) { return SoundDeviceHandle(); }};
    EXPECT_FALSE(out.open(nullptr, 2, 44100, 16));
    EXPECT_EQ(out.freeSpace(), 0);
    EXPECT_TRUE(out.isDone());
    const uint8_t b[4] = {};
    EXPECT_LT(out.write(b, 4), 0);
    out.play();
    out.fillSilence();
}

// ---- The output plays what the offline render gives ----------------------

struct PlaybackCase : ::testing::Test {
    MemoryFiles files;
    SoundtrackShow show;
    void SetUp() override {
        files.files["m"] = wav16(44100, 2, ramp(2 * 44100));
        files.files["v"] = wav16(22050, 1, sine(11025, 440, 22050));
        SoundtrackSound m;
        m.fileName = "m";
        m.fileLength = 1;
        m.fadeIn = 200;
        m.fadeOut = 300;
        show.music.push_back(m);
        SoundtrackSound v;
        v.fileName = "v";
        v.fileLength = 0.5;
        v.duckLevel = 30;
        v.duckFadeDown = 100;
        v.duckFadeUp = 100;
        show.cells.push_back({700, 0, {}});
        show.cells.push_back({800, 0, v});
        show.singlePass = true;
    }
    SoundFileOpener opener() {
        return [this](const std::string& n) { return files.open(n); };
    }
};

TEST_F(PlaybackCase, TheOutputPlaysTheRenderedSamplesThenSilenceAndStops) {
    std::vector<uint8_t> rendered;
    renderSoundtrack(show, opener(), 10, [&](const int16_t* f, int32_t n) {
        const auto* b = reinterpret_cast<const uint8_t*>(f);
        rendered.insert(rendered.end(), b, b + n * 4);
        return true;
    });
    ASSERT_GT(rendered.size(), 44100u * 4);

    auto device = std::make_shared<RecordingSoundDevice>();
    SampleClock clock;
    auto track = std::make_shared<Soundtrack>(show, opener(), clock);
    track->layOut();
    auto root = createSoundtrackRoot(track);
    SoundOutput out{[&](void*) { return device; }};
    ASSERT_TRUE(out.open(nullptr, 2, 44100, 16));
    SoundFeed feed(out, *root);
    feed.topUp();  // prefill
    out.play();
    for (int tick = 0; tick < 1000 && device->playing(); ++tick) {
        device->advance(882 * 4);  // 20 ms
        clock.set(static_cast<uint32_t>(device->played().size() / 4 * 1000 / 44100));
        feed.tick();
    }
    EXPECT_FALSE(device->playing());  // stopped once the end had played
    const auto& played = device->played();
    ASSERT_GE(played.size(), rendered.size());
    EXPECT_TRUE(std::equal(rendered.begin(), rendered.end(), played.begin()));
    // After the end only silence: the last second is never played again.
    EXPECT_TRUE(std::all_of(played.begin() + static_cast<std::ptrdiff_t>(rendered.size()), played.end(),
                            [](uint8_t b) { return b == 0; }));
}

}  // namespace
}  // namespace lv::audio
