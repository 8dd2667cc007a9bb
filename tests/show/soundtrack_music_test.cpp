// The show's music through the audio graph: what the sound output is given
// is what the offline render of the same show gives.
#include "show/soundtrack_music.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "../audio/audio_graph_fixture.h"
#include "audio/recording_sound_device.h"
#include "audio/show_soundtrack.h"
#include "audio/soundtrack.h"
#include "show_samples.h"

namespace lv::test {
namespace {

struct SoundtrackMusicTest : ::testing::Test {
    TempFolder folder;
    Show show;
    SetClock clock;
    std::shared_ptr<audio::RecordingSoundDevice> device = std::make_shared<audio::RecordingSoundDevice>();

    void SetUp() override {
        writeBytes(folder, "song.wav", audio::test::wav16(44100, 2, audio::test::ramp(2 * 44100)));
        ShowSound song;
        song.fileName = "song.wav";
        song.fileSeconds = 1;
        song.fadeInMs = 200;
        show.sounds.push_back(song);
        show.soundOn = 1;
        ShowCell cell;
        cell.displayMs = 1000;
        show.cells.push_back(cell);
    }
    std::vector<std::uint8_t> rendered(double seconds) {
        std::vector<std::uint8_t> bytes;
        audio::renderSoundtrack(audio::soundtrackInput(show), audio::fileServicesOpener(folder.folder()), seconds,
                                [&](const std::int16_t* f, std::int32_t n) {
                                    const auto* b = reinterpret_cast<const std::uint8_t*>(f);
                                    bytes.insert(bytes.end(), b, b + n * 4);
                                    return true;
                                });
        return bytes;
    }
};

TEST_F(SoundtrackMusicTest, TheOutputPlaysWhatTheOfflineRenderGives) {
    SoundtrackMusic music(folder.folder(), nullptr, [this](void*) { return device; }, clock);
    music.start(show, 1.0);
    ASSERT_TRUE(music.sounding());
    music.beginTiming();
    device->advance(4410 * 4);  // the first 100 ms, all of it from the prefill
    music.stop();
    EXPECT_FALSE(music.sounding());

    const std::vector<std::uint8_t> expected = rendered(0.1);
    const auto& played = device->played();
    ASSERT_EQ(played.size(), expected.size());
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), played.begin()));
    EXPECT_TRUE(std::any_of(played.begin(), played.end(), [](std::uint8_t b) { return b != 0; }));
}

TEST_F(SoundtrackMusicTest, WithoutASoundDeviceEveryCallDoesNothing) {
    SoundtrackMusic music(folder.folder(), nullptr, [](void*) { return audio::SoundDeviceHandle{}; }, clock);
    music.start(show, 1.0);
    EXPECT_FALSE(music.sounding());
    music.beginTiming();
    music.stop();
    EXPECT_FALSE(music.sounding());
}

}  // namespace
}  // namespace lv::test
