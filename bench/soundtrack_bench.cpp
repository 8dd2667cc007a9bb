// Soundtrack rendering speed: a show of two MP3 songs and three WAV cell
// sounds rendered offline through the ComplexMixer, its fades and ducking,
// as a multiple of real time; beside it our decoding of the same two songs
// alone and libmpg123 decoding them, in the same run. The mix is what the
// render costs beyond decoding the songs: (render - decode) / decode is its
// share (it includes reading the WAV cells, resampling, fading, ducking,
// mixing and the 16-bit output).
//
//     soundtrack_bench [--render-only N] [SONG1.mp3 SONG2.mp3 CELL.wav ...]
//     (--render-only: N renders and nothing else, for a profiler)
//     (default: the shared music, voice and chime, else the test sounds)
#include <mpg123.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <ctime>
#include <vector>

#include "bench_clock.h"
#include "audio/byte_source.h"
#include "audio/mp3_decoder.h"
#include "audio/soundtrack.h"

namespace {

using namespace lv::audio;

std::vector<uint8_t> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

using Clock = ThreadClock;
double seconds(Clock::time_point since) { return secondsSince(since); }

// Seconds of sound in an MP3 file, decoded by us.
double decodeOurs(const std::vector<uint8_t>& bytes, double& audio) {
    const auto start = Clock::now();
    Layer3Decoder decoder(MemoryByteSource::view(bytes));
    const auto f = decoder.format();
    std::vector<uint8_t> chunk(decoder.largestChunk());
    uint64_t produced = 0;
    while (!decoder.atEnd()) produced += decoder.read(chunk);
    audio = f.valid ? static_cast<double>(produced) / f.bytesPerSecond : 0;
    return seconds(start);
}

double decodeMpg123(const std::string& path) {
    const auto start = Clock::now();
    int error = 0;
    mpg123_handle* h = mpg123_new(nullptr, &error);
    mpg123_param(h, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
    if (mpg123_open(h, path.c_str()) == MPG123_OK) {
        std::vector<unsigned char> buffer(65536);
        size_t done = 0;
        int status;
        while ((status = mpg123_read(h, buffer.data(), buffer.size(), &done)) == MPG123_OK || status == MPG123_NEW_FORMAT) {
        }
        mpg123_close(h);
    }
    mpg123_delete(h);
    return seconds(start);
}

struct Show {
    SoundtrackShow show;
    std::map<std::string, std::vector<uint8_t>> files;
};

Show makeShow(const std::vector<std::string>& songs, const std::vector<std::string>& cells, double length) {
    Show s;
    for (const std::string& path : songs) {
        SoundtrackSound m;
        m.fileName = path;
        m.fadeIn = 2000;
        m.fadeOut = 3000;
        m.volume = 80;
        s.show.music.push_back(m);
        s.files[path] = readFile(path);
    }
    const int cellMs = static_cast<int>(length * 1000 / 6);
    for (int i = 0; i < 6; ++i) {
        SoundtrackCell c{cellMs, 0, {}};
        if (i % 2 == 1 && !cells.empty()) {
            const std::string& path = cells[static_cast<size_t>(i / 2) % cells.size()];
            c.sound.fileName = path;
            c.sound.duckLevel = 30;
            c.sound.duckFadeDown = 500;
            c.sound.duckFadeUp = 800;
            c.sound.runOn = 1;
            s.files[path] = readFile(path);
        }
        s.show.cells.push_back(c);
    }
    s.show.singlePass = true;
    return s;
}

// FNV-1a over the rendered samples: a change in the mix shows as another hash.
void hashSamples(uint64_t& hash, const int16_t* samples, int32_t count) {
    for (int32_t i = 0; i < count; ++i) {
        hash = (hash ^ static_cast<uint16_t>(samples[i])) * 1099511628211ull;
    }
}

// `hash` null: the sink only counts (the timed runs).
double render(const Show& s, double length, int64_t& frames, uint64_t* hash) {
    const auto start = Clock::now();
    frames = 0;
    if (hash) *hash = 14695981039346656037ull;
    renderSoundtrack(
        s.show,
        // Views of the files read once: an open reads them where they lie,
        // as from the page cache, and does not copy them.
        [&](const std::string& name) -> std::unique_ptr<ByteSource> {
            auto it = s.files.find(name);
            return it == s.files.end() ? nullptr : MemoryByteSource::view(it->second, name);
        },
        length, [&](const int16_t* samples, int32_t n) {
            if (hash) hashSamples(*hash, samples, n * 2);
            frames += n;
            return true;
        });
    return seconds(start);
}

// The shared media: LUMAVINE_SHARED_DIR, else a folder "shared" beside the
// source tree or one level further up (a work tree in a folder of trees).
std::filesystem::path sharedAudio() {
    if (const char* env = std::getenv("LUMAVINE_SHARED_DIR")) return std::filesystem::path(env) / "media" / "audio";
    for (const char* up : {"/../shared", "/../../shared"}) {
        const auto folder = std::filesystem::path(std::string(LUMAVINE_SOURCE_DIR) + up) / "media" / "audio";
        if (std::filesystem::exists(folder / "music.mp3")) return folder;
    }
    return {};
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> songs, cells;
    int renderOnly = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--render-only" && i + 1 < argc) {
            renderOnly = std::atoi(argv[++i]);
            continue;
        }
        (arg.ends_with(".wav") ? cells : songs).push_back(arg);
    }
    if (songs.empty()) {
        const std::filesystem::path shared = sharedAudio();
        if (!shared.empty() && std::filesystem::exists(shared / "music.mp3")) {
            songs = {(shared / "music.mp3").string(), (shared / "voice.mp3").string()};
            cells = {(shared / "chime.wav").string(), (shared / "voice.wav").string(), (shared / "chime.wav").string()};
        } else {
            std::printf("no shared media (set LUMAVINE_SHARED_DIR): the test sounds, without cell sounds\n");
            songs = {LUMAVINE_SOURCE_DIR "/tests/data/audio/joint_128k_44k.mp3",
                     LUMAVINE_SOURCE_DIR "/tests/data/audio/mono_32k_44k.mp3"};
        }
    }
    if (renderOnly > 0) {
        double audio = 0;
        for (const std::string& song : songs) {
            double a = 0;
            decodeOurs(readFile(song), a);
            audio += a;
        }
        const Show show = makeShow(songs, cells, audio);
        int64_t frames = 0;
        double total = 0;
        for (int i = 0; i < renderOnly; ++i) total += render(show, audio, frames, nullptr);
        std::printf("%d renders, %.2f ms each\n", renderOnly, total / renderOnly * 1e3);
        return 0;
    }
    mpg123_init();
    double audio = 0, bestOurs = 1e9, bestTheirs = 1e9, bestRender = 1e9;
    int64_t frames = 0;
    uint64_t hash = 0;
    for (int repeat = 0; repeat < 15; ++repeat) {
        double ours = 0, theirs = 0;
        audio = 0;
        for (const std::string& song : songs) {
            double a = 0;
            ours += decodeOurs(readFile(song), a);
            audio += a;
            theirs += decodeMpg123(song);
        }
        bestOurs = std::min(bestOurs, ours);
        bestTheirs = std::min(bestTheirs, theirs);
        const Show show = makeShow(songs, cells, audio);
        bestRender = std::min(bestRender, render(show, audio, frames, nullptr));
    }
    int64_t hashed = 0;
    render(makeShow(songs, cells, audio), audio, hashed, &hash);
    const double rendered = static_cast<double>(frames) / 44100;
    const double mix = bestRender - bestOurs;
    std::printf("soundtrack of %zu songs and %zu cell sounds, %.1f s of music, %.1f s rendered\n", songs.size(),
                cells.size(), audio, rendered);
    std::printf("(processor time of the thread, best of 15 runs each; the mix is the render less our decoding)\n");
    std::printf("%-28s %10.1f x real time  (%.2f ms)\n", "our decoding of the songs", audio / bestOurs, bestOurs * 1e3);
    std::printf("%-28s %10.1f x real time  (%.2f ms)\n", "render (decode + mix)", rendered / bestRender,
                bestRender * 1e3);
    std::printf("%-28s %10.1f x real time  (%.2f ms)\n", "mix alone", mix > 0 ? rendered / mix : 0.0, mix * 1e3);
    std::printf("%-28s %10.1f x real time  (%.2f ms)\n", "mpg123 decoding the songs", audio / bestTheirs,
                bestTheirs * 1e3);
    std::printf("%-28s %9.1f %%  (goal: under 10 %%)\n", "mix share (render-dec)/dec", mix / bestOurs * 100);
    std::printf("%-28s %9.1f %%  (the same mix against the reference decoder)\n", "mix / mpg123 decoding",
                mix / bestTheirs * 100);
    std::printf("%-28s %10.2f\n", "render / mpg123 time", bestRender / bestTheirs);
    std::printf("%-28s %016llx\n", "rendered samples hash", static_cast<unsigned long long>(hash));
    return 0;
}
