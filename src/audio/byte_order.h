// Little- and big-endian field reads for the file formats of audio.
#pragma once

#include <bit>
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

}  // namespace lv::audio
