// Tables of ITU-T T.81 shared by the decoder and the encoder.
#pragma once

#include <cstdint>

namespace lv::codec {

// Natural (row-major) index of the k-th coefficient in zig-zag order.
inline constexpr std::uint8_t kZigzag[64] = {
    0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
    41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
    30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

// Marker codes (the byte after 0xFF).
namespace marker {
inline constexpr int kSof0 = 0xC0;  // baseline sequential
inline constexpr int kSof1 = 0xC1;  // extended sequential, Huffman
inline constexpr int kSof2 = 0xC2;  // progressive, Huffman
inline constexpr int kDht = 0xC4;
inline constexpr int kJpg = 0xC8;
inline constexpr int kDac = 0xCC;
inline constexpr int kRst0 = 0xD0;
inline constexpr int kRst7 = 0xD7;
inline constexpr int kSoi = 0xD8;
inline constexpr int kEoi = 0xD9;
inline constexpr int kSos = 0xDA;
inline constexpr int kDqt = 0xDB;
inline constexpr int kDri = 0xDD;
inline constexpr int kApp0 = 0xE0;
inline constexpr int kApp14 = 0xEE;
inline constexpr int kCom = 0xFE;
}  // namespace marker

}  // namespace lv::codec
