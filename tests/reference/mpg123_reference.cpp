#include "mpg123_reference.h"

#include <gtest/gtest.h>
#include <mpg123.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "encoded_files.h"

namespace lv::audio::reference {

Pcm decodeWithMpg123(const std::string& path) {
    Pcm pcm;
    static const bool initialised = mpg123_init() == MPG123_OK;
    if (!initialised) return pcm;
    int error = 0;
    mpg123_handle* handle = mpg123_new(nullptr, &error);
    if (!handle) return pcm;
    mpg123_param(handle, MPG123_REMOVE_FLAGS, MPG123_GAPLESS, 0.0);
    mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
    if (mpg123_open(handle, path.c_str()) == MPG123_OK) {
        int encoding = 0;
        mpg123_getformat(handle, &pcm.rate, &pcm.channels, &encoding);
        mpg123_format_none(handle);
        mpg123_format(handle, pcm.rate, pcm.channels, MPG123_ENC_SIGNED_16);
        std::vector<unsigned char> buffer(65536);
        for (;;) {
            size_t done = 0;
            const int status = mpg123_read(handle, buffer.data(), buffer.size(), &done);
            const auto* samples = reinterpret_cast<const int16_t*>(buffer.data());
            pcm.samples.insert(pcm.samples.end(), samples, samples + done / 2);
            if (status != MPG123_OK && status != MPG123_NEW_FORMAT) break;
        }
        mpg123_close(handle);
    }
    mpg123_delete(handle);
    return pcm;
}

Difference compare(const std::vector<int16_t>& ours, const std::vector<int16_t>& theirs, int channels,
                   int64_t maxOffset) {
    Difference best;
    const auto frames = [&](const std::vector<int16_t>& v) { return static_cast<int64_t>(v.size()) / channels; };
    const int64_t probe = 20000;
    double bestError = -1;
    for (int64_t offset = 0; offset <= maxOffset && offset < frames(ours); ++offset) {
        const int64_t n = std::min({frames(ours) - offset, frames(theirs), probe}) * channels;
        double error = 0;
        for (int64_t i = 0; i < n; i += 3) {
            const double d = ours[static_cast<size_t>(offset * channels + i)] - theirs[static_cast<size_t>(i)];
            error += d * d;
        }
        if (bestError < 0 || error < bestError) bestError = error, best.offset = offset;
    }
    const int64_t n = std::min(frames(ours) - best.offset, frames(theirs));
    if (n <= 0) return best;
    double sum = 0;
    for (int64_t i = 0; i < n * channels; ++i) {
        const int d = ours[static_cast<size_t>(best.offset * channels + i)] - theirs[static_cast<size_t>(i)];
        sum += static_cast<double>(d) * d;
        best.maxAbs = std::max(best.maxAbs, std::abs(d));
    }
    best.compared = n;
    best.rms = std::sqrt(sum / static_cast<double>(n * channels));
    return best;
}

void printDifference(const std::string& path, const Difference& d) {
    std::printf("[ rms      ] %s: %.4f LSB, max %d, %lld samples per channel\n",
                std::filesystem::path(path).filename().string().c_str(), d.rms, d.maxAbs,
                static_cast<long long>(d.compared));
}

void expectMatchesMpg123(const std::string& path, bool layer12) {
    const HandleOutput ours = decodeThroughHandle(path);
    const Pcm theirs = decodeWithMpg123(path);
    ASSERT_TRUE(ours.format.valid) << path;
    ASSERT_FALSE(theirs.samples.empty()) << path;
    EXPECT_EQ(static_cast<long>(ours.format.sampleRate), theirs.rate);
    ASSERT_EQ(static_cast<int>(ours.format.channels), layer12 ? 2 : theirs.channels);
    std::vector<int16_t> samples = ours.samples;
    if (layer12 && theirs.channels == 1) {
        samples.clear();
        for (size_t i = 0; i + 1 < ours.samples.size(); i += 2) {
            ASSERT_EQ(ours.samples[i], ours.samples[i + 1]) << "mono differs between channels at " << i;
            samples.push_back(ours.samples[i]);
        }
    }
    const Difference d = compare(samples, theirs.samples, theirs.channels, layer12 ? 0 : 2304);
    EXPECT_LE(d.rms, 1.0) << path << ": offset " << d.offset << ", max " << d.maxAbs;
    printDifference(path, d);
    const int64_t theirFrames = static_cast<int64_t>(theirs.samples.size()) / theirs.channels;
    if (layer12)
        EXPECT_EQ(d.compared, theirFrames) << path;
    else
        EXPECT_GE(d.compared + 1152, theirFrames) << path;
}

}  // namespace lv::audio::reference
