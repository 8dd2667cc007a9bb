// Layer III decoding speed: ours against libmpg123 on the same files in the
// same run, as multiples of real time, and their ratio (ours / mpg123; above
// 1 means we are faster). Ours runs with the widest kernels the processor
// has, with SSE2 at most (what the Windows build uses) and with the plain
// kernels; the ratio is for the first.
//
//     mp3_bench [FILE.mp3 ...]   (default: the shared music and voice, else the test sounds)
#include <mpg123.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "audio/mp3_decoder.h"
#include "audio/polyphase_synthesis.h"

namespace {

using Clock = std::chrono::steady_clock;

std::vector<uint8_t> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Seconds of audio decoded and seconds spent.
struct Run {
    double audio = 0;
    double spent = 0;
};

Run runOurs(const std::vector<uint8_t>& bytes) {
    const auto start = Clock::now();
    lv::audio::Layer3Decoder decoder(std::make_unique<lv::audio::MemoryByteSource>(bytes));
    const auto format = decoder.format();
    std::vector<uint8_t> chunk(decoder.largestChunk());
    uint64_t produced = 0;
    while (!decoder.atEnd()) produced += decoder.read(chunk);
    Run run;
    run.spent = std::chrono::duration<double>(Clock::now() - start).count();
    if (format.valid) run.audio = static_cast<double>(produced) / format.bytesPerSecond;
    return run;
}

Run runMpg123(const std::string& path) {
    const auto start = Clock::now();
    Run run;
    int error = 0;
    mpg123_handle* h = mpg123_new(nullptr, &error);
    mpg123_param(h, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
    if (mpg123_open(h, path.c_str()) == MPG123_OK) {
        long rate = 0;
        int channels = 0, encoding = 0;
        mpg123_getformat(h, &rate, &channels, &encoding);
        mpg123_format_none(h);
        mpg123_format(h, rate, channels, MPG123_ENC_SIGNED_16);
        std::vector<unsigned char> buffer(65536);
        size_t done = 0, total = 0;
        int status;
        while ((status = mpg123_read(h, buffer.data(), buffer.size(), &done)) == MPG123_OK || status == MPG123_NEW_FORMAT)
            total += done;
        total += done;
        run.audio = static_cast<double>(total) / (rate * channels * 2.0);
        mpg123_close(h);
    }
    mpg123_delete(h);
    run.spent = std::chrono::duration<double>(Clock::now() - start).count();
    return run;
}

void limitKernels(lv::audio::KernelLevel level) {
    lv::audio::PolyphaseSynthesis::limitKernels(level);
}

// The fastest of `repeats` runs of each contender, the contenders taking
// turns so that a slow spell of the shared machine hits them alike.
struct Runs {
    Run ours, sse2, plain, theirs;
};

Runs fastest(int repeats, const std::vector<uint8_t>& bytes, const std::string& path) {
    const auto keep = [](Run& best, const Run& r) {
        if (best.spent == 0 || r.spent < best.spent) best = r;
    };
    Runs runs;
    for (int i = 0; i < repeats; ++i) {
        limitKernels(lv::audio::KernelLevel::avx);
        keep(runs.ours, runOurs(bytes));
        keep(runs.theirs, runMpg123(path));
        limitKernels(lv::audio::KernelLevel::sse2);
        keep(runs.sse2, runOurs(bytes));
        limitKernels(lv::audio::KernelLevel::plain);
        keep(runs.plain, runOurs(bytes));
    }
    limitKernels(lv::audio::KernelLevel::avx);
    return runs;
}

double speed(const Run& r) { return r.audio / r.spent; }

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> files(argv + 1, argv + argc);
    if (files.empty()) {
        const char* env = std::getenv("LUMAVINE_SHARED_DIR");
        const std::filesystem::path shared =
            std::filesystem::path(env ? env : LUMAVINE_SOURCE_DIR "/../shared") / "media" / "audio";
        for (const char* name : {"music.mp3", "voice.mp3"})
            if (std::filesystem::exists(shared / name)) files.push_back((shared / name).string());
        if (files.empty()) files.push_back(LUMAVINE_SOURCE_DIR "/tests/data/audio/joint_128k_44k.mp3");
    }
    mpg123_init();
    std::printf("%-24s %12s %12s %12s %14s %8s\n", "file", "ours (x rt)", "SSE2 only", "vector off", "mpg123 (x rt)",
                "ratio");
    for (const std::string& file : files) {
        const std::vector<uint8_t> bytes = readFile(file);
        const Runs runs = fastest(7, bytes, file);
        std::printf("%-24s %12.1f %12.1f %12.1f %14.1f %8.2f\n", std::filesystem::path(file).filename().string().c_str(),
                    speed(runs.ours), speed(runs.sse2), speed(runs.plain), speed(runs.theirs),
                    speed(runs.ours) / speed(runs.theirs));
    }
    return 0;
}
