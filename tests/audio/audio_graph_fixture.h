// Helpers for the audio graph tests: WAV files with known samples made in
// memory, file sources over them, and draining a stream to its end.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

#include "audio/audio_stream.h"
#include "audio/byte_source.h"
#include "audio/file_source.h"
#include "audio/graph_nodes.h"
#include "audio/wav_writer.h"

namespace lv::audio::test {

// A WAV file of any width: `samples` interleaved, each given as a 32-bit
// left-justified value of which the top `bits` are written.
inline std::vector<uint8_t> makeWav(uint32_t rate, uint16_t channels, uint16_t bits, const std::vector<int32_t>& samples) {
    const uint32_t width = bits / 8u;
    const auto dataSize = static_cast<uint32_t>(samples.size() * width);
    // Laid out in place rather than appended: GCC 12 warns falsely on
    // inserting a list into an empty vector.
    std::vector<uint8_t> b(44 + size_t{dataSize});
    size_t at = 0;
    auto le = [&](uint32_t v, int n) {
        for (int i = 0; i < n; ++i) b[at++] = static_cast<uint8_t>(v >> (8 * i));
    };
    auto tag = [&](const char* fourCc) {
        for (int i = 0; i < 4; ++i) b[at++] = static_cast<uint8_t>(fourCc[i]);
    };
    tag("RIFF");
    le(36 + dataSize, 4);
    tag("WAVE");
    tag("fmt ");
    le(16, 4);
    le(1, 2);
    le(channels, 2);
    le(rate, 4);
    le(rate * channels * width, 4);
    le(channels * width, 2);
    le(bits, 2);
    tag("data");
    le(dataSize, 4);
    for (int32_t s : samples) {
        uint32_t v = static_cast<uint32_t>(s) >> (32 - bits);
        if (bits == 8) v ^= 0x80;  // 8-bit WAV is unsigned
        le(v, static_cast<int>(width));
    }
    return b;
}

inline std::vector<uint8_t> wav16(uint32_t rate, uint16_t channels, const std::vector<int16_t>& samples) {
    std::vector<int32_t> wide;
    for (int16_t s : samples) wide.push_back(fromSample16(s));
    return makeWav(rate, channels, 16, wide);
}

inline std::unique_ptr<AudioStream> wavStream(uint32_t rate, uint16_t channels, const std::vector<int16_t>& samples) {
    return openSource(kindWavSource, std::make_unique<MemoryByteSource>(wav16(rate, channels, samples)));
}

// n samples of one constant value, or of a ramp.
inline std::vector<int16_t> constant(size_t n, int16_t value) { return std::vector<int16_t>(n, value); }
inline std::vector<int16_t> ramp(size_t n) {
    std::vector<int16_t> v(n);
    for (size_t i = 0; i < n; ++i) v[i] = static_cast<int16_t>(static_cast<int32_t>(i % 30000) - 15000);
    return v;
}
inline std::vector<int16_t> sine(size_t n, double frequency, double rate, double amplitude = 16000) {
    std::vector<int16_t> v(n);
    for (size_t i = 0; i < n; ++i)
        v[i] = static_cast<int16_t>(std::lround(amplitude * std::sin(2 * std::numbers::pi * frequency * static_cast<double>(i) / rate)));
    return v;
}

// Pumps and reads the whole stream (16-bit, interleaved) from its first
// retained position until it finishes; at most `limit` frames.
inline std::vector<int16_t> drain(AudioStream& s, int64_t limit = 10'000'000) {
    std::vector<int16_t> out;
    int64_t at = -1;
    for (int idle = 0; idle < 2000; ++idle) {
        if (at < 0 && s.validEnd() > s.firstRetained()) at = s.firstRetained();
        if (at >= 0 && s.validEnd() > at) {
            const auto n = static_cast<int32_t>(std::min<int64_t>(s.validEnd() - at, limit - static_cast<int64_t>(out.size() / s.channels())));
            std::vector<int16_t> piece(static_cast<size_t>(n) * s.channels());
            if (n > 0 && s.readInterleaved(piece.data(), n, at, 16) == n) out.insert(out.end(), piece.begin(), piece.end());
            at += n;
            s.release(at);
            idle = 0;
            if (static_cast<int64_t>(out.size() / s.channels()) >= limit) break;
        }
        if (s.finished() && (at < 0 || at >= s.validEnd())) break;
        s.pump();
    }
    return out;
}

// A file service over named byte arrays, read where they lie (the files
// outlive what is opened on them).
struct MemoryFiles {
    std::map<std::string, std::vector<uint8_t>> files;
    std::unique_ptr<ByteSource> open(const std::string& name) const {
        auto it = files.find(name);
        if (it == files.end()) return nullptr;
        return MemoryByteSource::view(it->second, name);
    }
};

}  // namespace lv::audio::test
