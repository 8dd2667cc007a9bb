#include "audio/show_soundtrack.h"

#include <gtest/gtest.h>

#include "audio_graph_fixture.h"
#include "shell/temp_folder.h"
#include "show/show_writer.h"

namespace lv::audio {
namespace {

using namespace test;

std::string_view asText(const std::vector<uint8_t>& bytes) { return {reinterpret_cast<const char*>(bytes.data()), bytes.size()}; }

Show twoCellShow() {
    Show show;
    show.soundOn = 1;
    show.volume = 100;
    ShowSound song;
    song.fileName = "song.wav";
    song.volume = 50;
    song.delayMs = 250;
    song.fileSeconds = 1;
    show.sounds.push_back(song);
    ShowCell first, second;
    first.displayMs = 1500;
    first.transitionMs = 500;
    second.displayMs = 1000;
    second.sound.fileName = "voice.wav";
    second.sound.volume = 100;
    second.sound.fileSeconds = 0.5;
    show.cells = {first, second};
    return show;
}

TEST(ShowSoundtrack, AShowFileOnDiskRendersItsSoundsInPlace) {
    lv::test::TempFolder dir;
    dir.write("song.wav", asText(wav16(44100, 2, constant(2 * 44100, 8000))));
    dir.write("voice.wav", asText(wav16(44100, 1, constant(22050, 3000))));
    dir.write("slyde1", asText(encodeShow(twoCellShow())));
    const auto show = loadShow(dir.folder(), 1);
    ASSERT_TRUE(show);
    SoundtrackShow input = soundtrackInput(*show);
    input.singlePass = true;
    std::vector<int16_t> left;
    ASSERT_TRUE(renderSoundtrack(input, fileServicesOpener(dir.folder()), 3, [&](const int16_t* f, int32_t n) {
        for (int32_t i = 0; i < n; ++i) left.push_back(f[2 * i]);
        return true;
    }));
    ASSERT_GE(left.size(), 88200u + 22050);
    // The song's delay of 250 ms and its volume of 50 (the mixer's gain and
    // the fader's level both apply); the voice after the first cell's display
    // and transition times.
    EXPECT_EQ(left[11024], 0);
    EXPECT_EQ(left[11025], 2000);
    EXPECT_EQ(left[88200], 3000);
}

}  // namespace
}  // namespace lv::audio
