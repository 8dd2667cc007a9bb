#include "audio/soundtrack.h"

#include <gtest/gtest.h>

#include <cmath>

#include "audio_graph_fixture.h"

namespace lv::audio {
namespace {

using namespace test;

constexpr int rate = 44100;

// Shows over in-memory WAV files of constant samples, rendered offline.
struct SoundtrackCase : ::testing::Test {
    MemoryFiles files;
    SoundtrackShow show;

    // A stereo file of `seconds` at one value.
    std::string file(const std::string& name, double seconds, int16_t value) {
        files.files[name] = wav16(rate, 2, constant(static_cast<size_t>(seconds * rate) * 2, value));
        return name;
    }
    SoundtrackSound song(const std::string& name, double seconds, int16_t value) {
        SoundtrackSound s;
        s.fileName = file(name, seconds, value);
        s.fileLength = seconds;
        return s;
    }
    void cell(int32_t ms, SoundtrackSound sound = {}) { show.cells.push_back({ms, 0, std::move(sound)}); }

    SoundFileOpener opener() {
        return [this](const std::string& name) { return files.open(name); };
    }
    // Left channel of the render.
    std::vector<int16_t> render(double seconds) {
        std::vector<int16_t> left;
        renderSoundtrack(show, opener(), seconds, [&](const int16_t* f, int32_t n) {
            for (int32_t i = 0; i < n; ++i) left.push_back(f[2 * i]);
            return true;
        });
        return left;
    }
    static int16_t at(const std::vector<int16_t>& v, double seconds) {
        return v.at(static_cast<size_t>(seconds * rate));
    }
    SampleClock clock;
    Soundtrack laidOut() {
        Soundtrack t(show, opener(), clock);
        t.layOut();
        return t;
    }
};

// ---- Layout --------------------------------------------------------------

TEST_F(SoundtrackCase, ANegativeDelayOverlapsThePreviousSong) {
    show.music.push_back(song("a", 0.1, 1));
    show.music[0].fileLength = 60;
    show.music.push_back(song("b", 0.1, 1));
    show.music[1].fileLength = 60;
    show.music[1].delay = -2000;
    cell(1000);
    auto t = laidOut();
    ASSERT_EQ(t.musicEntries().size(), 2u);
    EXPECT_EQ(t.musicEntries()[1].start, 58000);
    EXPECT_EQ(t.musicLength(), 118000);
}

TEST_F(SoundtrackCase, ACellSoundLongerThanItsCellIsTrimmedUnlessItRunsOn) {
    SoundtrackSound s = song("v", 0.1, 1);
    s.fileLength = 12.5;
    cell(8000, s);
    s.runOn = 1;
    cell(8000, s);
    auto t = laidOut();
    EXPECT_EQ(t.show().cells[0].sound.trimmedLength, 8000);
    EXPECT_EQ(t.show().cells[1].sound.trimmedLength, 0);
    EXPECT_EQ(t.showLength(), 16000);
}

TEST_F(SoundtrackCase, CellSoundsAreOrderedByTheirRealStart) {
    SoundtrackSound late = song("v", 1, 1);
    late.delay = 6000;
    cell(10000, late);
    cell(10000, song("w", 1, 1));
    auto t = laidOut();
    ASSERT_EQ(t.cellEntries().size(), 2u);
    EXPECT_EQ(t.cellEntries()[0].index, 0);
    EXPECT_EQ(t.cellEntries()[0].start, 6000);
    EXPECT_EQ(t.cellEntries()[1].start, 10000);
}

TEST_F(SoundtrackCase, AnUnbelievableFileLengthFallsBackToTheDecoders) {
    show.music.push_back(song("a", 1, 1));
    show.music[0].fileLength = std::nan("");
    show.music.push_back(song("b", 1, 1));
    show.music[1].fileLength = 1e300;
    show.music.push_back(song("c", 1, 1));
    show.music[2].fileLength = -5;
    cell(1000);
    auto t = laidOut();
    ASSERT_EQ(t.musicEntries().size(), 3u);
    EXPECT_EQ(t.musicEntries()[1].start, 1000);
    EXPECT_EQ(t.musicEntries()[2].start, 2000);
    EXPECT_EQ(t.musicLength(), 3000);
}

TEST_F(SoundtrackCase, ALengthIsMeasuredOncePerFile) {
    show.music.push_back(song("a", 1, 1));
    show.music[0].fileLength = 0;
    show.music.push_back(show.music[0]);
    cell(1000);
    int opened = 0;
    Soundtrack t(show, [&](const std::string& name) { return ++opened, files.open(name); }, clock);
    t.layOut();
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(t.musicLength(), 2000);
}

// ---- Provider --------------------------------------------------------------

// The first sound should have started 10 s ago (more than 4 s late): it is
// passed over, and the second is still offered and plays at 12 s.
TEST_F(SoundtrackCase, AStaleCellSoundIsPassedOverAndTheNextStillPlays) {
    clock.set(10000);
    cell(12000, song("first", 1, 100));
    cell(12000, song("second", 1, 200));
    MixerEntry e;
    ASSERT_EQ(laidOut().provide(e), 1);
    EXPECT_EQ(e.identity, 1u);
    EXPECT_DOUBLE_EQ(e.startTime, 12.0);
    auto track = std::make_shared<Soundtrack>(show, opener(), clock);
    track->layOut();
    const auto out = drain(*createSoundtrackRoot(track), 13 * rate);
    ASSERT_EQ(out.size(), 2u * 13 * rate);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[2 * 12 * rate - 2], 0);
    EXPECT_EQ(out[2 * 12 * rate], 200);
}

TEST_F(SoundtrackCase, NoSoundFlagMeansNoEntries) {
    show.soundFlag = 0;
    show.music.push_back(song("a", 1, 1));
    cell(1000);
    auto t = laidOut();
    MixerEntry e;
    EXPECT_EQ(t.provide(e), 0);
}

TEST_F(SoundtrackCase, FarEntriesAreAnsweredWithAWait) {
    SoundtrackSound s = song("a", 1, 1);
    s.delay = 20000;
    show.music.push_back(s);
    cell(30000);
    auto t = laidOut();
    MixerEntry e;
    ASSERT_EQ(t.provide(e), 2);
    EXPECT_DOUBLE_EQ(e.startTime, 4.0);
}

// ---- Rendered soundtracks -------------------------------------------------

TEST_F(SoundtrackCase, SoundsLieAtTheirSamplePositions) {
    SoundtrackSound m = song("m", 1, 1000);
    m.delay = 500;
    show.music.push_back(m);
    show.singlePass = true;  // the music plays once
    cell(2000);
    cell(2000, song("v", 0.5, 3000));
    const auto out = render(3);
    ASSERT_EQ(out.size(), 88200u + rate / 2);  // it ends with the cell sound
    EXPECT_EQ(out[22049], 0);
    EXPECT_EQ(out[22050], 1000);
    EXPECT_EQ(out[22050 + rate - 1], 1000);
    EXPECT_EQ(out[22050 + rate], 0);
    EXPECT_EQ(out[88199], 0);
    EXPECT_EQ(out[88200], 3000);
}

TEST_F(SoundtrackCase, MusicLoopsByItsLength) {
    show.music.push_back(song("m", 1, 1000));
    cell(5000);
    const auto out = render(2.5);
    EXPECT_EQ(at(out, 1.5), 1000);
    EXPECT_EQ(at(out, 2.2), 1000);
}

// Fades reach half way at half their time; fades longer than the sound
// are scaled to fit (3000 + 3000 of 4 s: 2000 + 2000).
TEST_F(SoundtrackCase, FadesRampInAndOutAndAreScaledToFitTheSound) {
    for (double seconds : {3.0, 4.0}) {
        SoundtrackSound m = song("m", seconds, 10000);
        m.fadeIn = m.fadeOut = seconds == 3 ? 1000 : 3000;
        show.music = {m};
        show.cells.clear();
        cell(static_cast<int32_t>(seconds * 1000));
        const auto out = render(seconds);
        const double half = seconds == 3 ? 0.5 : 1.0;
        EXPECT_EQ(out[0], 0);
        EXPECT_NEAR(at(out, half), 5000, 20) << seconds;
        EXPECT_NEAR(at(out, seconds / 2), 10000, seconds == 3 ? 0 : 20) << seconds;
        EXPECT_NEAR(at(out, seconds - half), 5000, 20) << seconds;
    }
}

TEST_F(SoundtrackCase, MusicIsDuckedUnderACellSoundAndComesBackOverTheFadeUp) {
    show.music.push_back(song("m", 10, 10000));
    SoundtrackSound v = song("v", 2, 0);
    v.duckLevel = 50;
    v.duckFadeDown = 500;
    v.duckFadeUp = 1000;
    cell(4000);
    cell(6000, v);
    const auto out = render(8);
    EXPECT_NEAR(at(out, 3.4), 10000, 20);
    EXPECT_NEAR(at(out, 3.75), 7500, 40);
    EXPECT_NEAR(at(out, 5.0), 5000, 20);
    EXPECT_NEAR(at(out, 6.5), 7500, 40);  // half-way up the 1000 ms fade-up
    EXPECT_NEAR(at(out, 7.5), 10000, 20);
}

TEST_F(SoundtrackCase, ASongThatStartsDuringACellSoundIsDuckedToo) {
    show.music.push_back(song("m1", 1, 10000));
    show.music.push_back(song("m2", 5, 10000));
    SoundtrackSound v = song("v", 3, 0);
    v.startWithCell = 0;
    v.delay = 500;
    v.runOn = 1;
    v.duckLevel = 40;
    v.duckFadeDown = 100;
    v.duckFadeUp = 100;
    cell(6000, v);
    const auto out = render(5);
    EXPECT_NEAR(at(out, 0.2), 10000, 20);
    EXPECT_NEAR(at(out, 0.8), 4000, 20);
    EXPECT_NEAR(at(out, 2.0), 4000, 20);  // the second song, started at 1 s
    EXPECT_NEAR(at(out, 4.0), 10000, 20);
}

TEST_F(SoundtrackCase, TrimMusicCutsASongAtTheShowsEndAndStartsAgain) {
    SoundtrackSound m = song("m", 5, 10000);
    m.fadeOut = 1000;
    show.music.push_back(m);
    show.trimMusic = 1;
    cell(3000);
    auto t = laidOut();
    EXPECT_EQ(t.show().music[0].trimmedLength, 3000);
    EXPECT_EQ(t.musicLength(), 3000);
    const auto out = render(4);
    EXPECT_NEAR(at(out, 1.0), 10000, 20);
    EXPECT_NEAR(at(out, 2.5), 5000, 20);  // the fade-out ends at the cut
    EXPECT_NEAR(at(out, 2.99), 100, 100);
    EXPECT_NEAR(at(out, 3.5), 10000, 20);  // the next turn of the music
}

TEST_F(SoundtrackCase, AMissingFileEndsTheSoundtrack) {
    show.music.push_back(song("m", 1, 1000));
    show.music[0].fileName = "gone";
    cell(1000);
    EXPECT_EQ(render(1), std::vector<int16_t>{});
}

// ---- Dips -------------------------------------------------------------------

// A dip under 50 ms changes nothing, one of 50 ms does; down and up take their own times; fades
// that do not fit share the dip in proportion.
TEST(Dip, PointsOfShortLongAndCrowdedDips) {
    EXPECT_TRUE(dipPoints({0, 49, 20, 10, 10}, 100).empty());
    EXPECT_EQ(dipPoints({0, 50, 20, 10, 10}, 100).size(), 4u);
    const auto p = dipPoints({1000, 6000, 30, 500, 1500}, 100);
    ASSERT_EQ(p.size(), 4u);
    EXPECT_EQ(p[1].time, 1500);
    EXPECT_EQ(p[2].time, 4500);
    EXPECT_EQ(p[2].level, 30);
    const auto crowded = dipPoints({0, 100, 30, 100, 300}, 100);
    ASSERT_EQ(crowded.size(), 4u);
    EXPECT_EQ(crowded[1].time, 25);
    EXPECT_EQ(crowded[2].time, 26);  // 100 - 75 is not after 25 + 1
}

TEST(Dip, TheLowerOfEnvelopeAndDipIsKept) {
    const auto out = lowerEnvelope({{0, 80}, {10000, 80}}, {{1000, 100}, {2000, 40}, {3000, 40}, {4000, 100}});
    ASSERT_EQ(out.size(), 6u);
    EXPECT_EQ(out[1].time, 1000);
    EXPECT_EQ(out[1].level, 80);
    EXPECT_EQ(out[2].level, 40);
    EXPECT_EQ(out[5].level, 80);
}

}  // namespace
}  // namespace lv::audio
