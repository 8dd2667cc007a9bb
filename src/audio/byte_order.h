// Little- and big-endian field reads for the file formats of audio.
#pragma once

#include <cstdint>

namespace lv::audio {

inline uint32_t readLe16(const uint8_t* p) { return p[0] | p[1] << 8; }
inline uint32_t readLe32(const uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}
inline uint32_t readBe32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3];
}

}  // namespace lv::audio
