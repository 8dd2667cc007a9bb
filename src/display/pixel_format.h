// Pixel formats of the display's outputs and the conversion of the engine's
// 32-bit pixels (0x00RRGGBB, bytes blue, green, red, 0) into them.
//
// A format is known by its code, found from the bits per pixel and the three
// channel masks:
//
//     pixelFormatCode(32, 0xFF0000, 0xFF00, 0xFF)  -> 2
//     pixelFormatCode(16, 0xF800, 0x7E0, 0x1F)     -> 6 (channels 5, 6, 5)
//
// The two 32-bit layouts with the channels in the upper three bytes are told
// apart: red in the top byte is code 4, blue in the top byte code 5. Any other
// layout is code 9, unsupported; a device of that format is not used.
#pragma once

#include <array>
#include <cstdint>

namespace lv {

namespace pixel_code {
inline constexpr int kBgr24 = 0;        // 24 bits, red 0xFF0000
inline constexpr int kRgb24 = 1;        // 24 bits, red 0xFF
inline constexpr int kXrgb32 = 2;       // 32 bits, red 0xFF0000 (bytes B, G, R, 0)
inline constexpr int kXbgr32 = 3;       // 32 bits, red 0xFF
inline constexpr int kRgbx32 = 4;       // 32 bits, red 0xFF000000
inline constexpr int kBgrx32 = 5;       // 32 bits, blue 0xFF000000
inline constexpr int kHigh16 = 6;       // 16 bits, any masks, through tables
inline constexpr int kUnsupported = 9;
}  // namespace pixel_code

// Bit count and shift of one channel mask: the shift is the first set bit
// from bit 0, the count the run of set bits that follows.
struct ChannelBits {
    int count = 0;
    int shift = 0;
};
ChannelBits channelBits(std::uint32_t mask);

int pixelFormatCode(int bitsPerPixel, std::uint32_t red, std::uint32_t green, std::uint32_t blue);

// One output's format with its per-channel tables (used for 16 bits):
// entry v of a channel is v >> (8 - bits) << shift.
struct PixelFormat {
    int code = pixel_code::kBgr24;
    int bytesPerPixel = 3;
    ChannelBits red{8, 16}, green{8, 8}, blue{8, 0};
    std::array<std::uint16_t, 256> redTable{}, greenTable{}, blueTable{};

    // A format from a device's description; code 9 when unsupported.
    static PixelFormat fromMasks(int bitsPerPixel, std::uint32_t red, std::uint32_t green, std::uint32_t blue);
    bool supported() const { return code != pixel_code::kUnsupported; }
};

// Stores `count` engine pixels (0x00RRGGBB) at `out` in the format.
void storePixels(const PixelFormat& format, const std::uint32_t* pixels, int count, std::uint8_t* out);
// Reads `count` pixels of the format back as engine pixels (channels widened
// by repeating their top bits, so 8-bit channels come back unchanged).
void loadPixels(const PixelFormat& format, const std::uint8_t* in, int count, std::uint32_t* pixels);

}  // namespace lv
