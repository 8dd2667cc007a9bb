// Little- and big-endian field reads for the file formats of audio, and
// 16-bit samples stored little-endian.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace lv::audio {

inline uint32_t readLe16(const uint8_t* p) { return p[0] | p[1] << 8; }
inline uint32_t readLe32(const uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}
inline uint32_t readBe32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3];
}
inline uint64_t readBe64(const uint8_t* p) {
    uint64_t v;
    std::memcpy(&v, p, sizeof v);
    if constexpr (std::endian::native == std::endian::little) v = __builtin_bswap64(v);
    return v;
}

// 16-bit samples as little-endian bytes (the decoders' PCM, WAV data),
// whatever the machine's order: a copy where it is little-endian.
inline void storeLe16Samples(const int16_t* samples, size_t count, uint8_t* out) {
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(out, samples, count * 2);
    } else {
        for (size_t i = 0; i < count; ++i) {
            const auto v = static_cast<uint16_t>(samples[i]);
            out[2 * i] = static_cast<uint8_t>(v & 0xFF);
            out[2 * i + 1] = static_cast<uint8_t>(v >> 8);
        }
    }
}

}  // namespace lv::audio
