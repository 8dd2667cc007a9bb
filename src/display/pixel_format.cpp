#include "display/pixel_format.h"

#include <cstring>

#include "display/cpu_features.h"
#include "display/pack_kernels.h"

namespace lv {

ChannelBits channelBits(std::uint32_t mask) {
    ChannelBits bits;
    if (mask == 0) return bits;
    while (((mask >> bits.shift) & 1u) == 0) ++bits.shift;
    while (bits.shift + bits.count < 32 && ((mask >> (bits.shift + bits.count)) & 1u) != 0) ++bits.count;
    return bits;
}

namespace {

struct KnownLayout {
    int bits;
    std::uint32_t red, green, blue;
    int code;
};

// The layouts that the display writes directly, as data.
constexpr KnownLayout kKnownLayouts[] = {
    {24, 0xFF0000, 0xFF00, 0xFF, pixel_code::kBgr24},
    {24, 0xFF, 0xFF00, 0xFF0000, pixel_code::kRgb24},
    {32, 0xFF0000, 0xFF00, 0xFF, pixel_code::kXrgb32},
    {32, 0xFF, 0xFF00, 0xFF0000, pixel_code::kXbgr32},
    {32, 0xFF000000, 0xFF0000, 0xFF00, pixel_code::kRgbx32},
    {32, 0xFF00, 0xFF0000, 0xFF000000, pixel_code::kBgrx32},
};

std::uint32_t widen(std::uint32_t value, const ChannelBits& bits) {
    if (bits.count <= 0) return 0;
    std::uint32_t v = (value >> bits.shift) & ((1u << bits.count) - 1u);
    if (bits.count >= 8) return v >> (bits.count - 8);
    // A short channel repeats its top bits below itself (5 bits abcde -> abcdeabc).
    const std::uint32_t high = v << (8 - bits.count);
    return 2 * bits.count >= 8 ? (high | (v >> (2 * bits.count - 8))) : high;
}

}  // namespace

int pixelFormatCode(int bitsPerPixel, std::uint32_t red, std::uint32_t green, std::uint32_t blue) {
    if (bitsPerPixel == 16) return pixel_code::kHigh16;
    for (const KnownLayout& layout : kKnownLayouts) {
        if (layout.bits == bitsPerPixel && layout.red == red && layout.green == green && layout.blue == blue) {
            return layout.code;
        }
    }
    return pixel_code::kUnsupported;
}

PixelFormat PixelFormat::fromMasks(int bitsPerPixel, std::uint32_t red, std::uint32_t green, std::uint32_t blue) {
    PixelFormat format;
    format.code = pixelFormatCode(bitsPerPixel, red, green, blue);
    format.bytesPerPixel = bitsPerPixel / 8;
    format.red = channelBits(red);
    format.green = channelBits(green);
    format.blue = channelBits(blue);
    auto fill = [](std::array<std::uint16_t, 256>& table, const ChannelBits& bits) {
        for (int v = 0; v < 256; ++v) {
            const int kept = bits.count >= 8 ? v : (v >> (8 - bits.count));
            table[v] = static_cast<std::uint16_t>(bits.count > 0 && bits.shift < 16 ? (kept << bits.shift) : 0);
        }
    };
    fill(format.redTable, format.red);
    fill(format.greenTable, format.green);
    fill(format.blueTable, format.blue);
    return format;
}

void storePixels(const PixelFormat& format, const std::uint32_t* pixels, int count, std::uint8_t* out) {
    switch (format.code) {
    case pixel_code::kXrgb32:
        std::memcpy(out, pixels, static_cast<std::size_t>(count) * 4);
        return;
    case pixel_code::kBgr24: {
        static const PackRowKernel pack = packRow24Kernel(processorRecord());
        pack(pixels, count, out);
        return;
    }
    case pixel_code::kRgb24:
        for (int i = 0; i < count; ++i, out += 3) {
            const std::uint32_t p = pixels[i];
            out[0] = static_cast<std::uint8_t>(p >> 16);
            out[1] = static_cast<std::uint8_t>(p >> 8);
            out[2] = static_cast<std::uint8_t>(p);
        }
        return;
    case pixel_code::kHigh16:
        for (int i = 0; i < count; ++i, out += 2) {
            const std::uint32_t p = pixels[i];
            const std::uint16_t v = static_cast<std::uint16_t>(format.redTable[(p >> 16) & 0xFF] +
                                                               format.greenTable[(p >> 8) & 0xFF] +
                                                               format.blueTable[p & 0xFF]);
            std::memcpy(out, &v, 2);
        }
        return;
    default:
        break;
    }
    // The other 32-bit layouts: each channel to its byte.
    const int rs = format.red.shift, gs = format.green.shift, bs = format.blue.shift;
    for (int i = 0; i < count; ++i, out += 4) {
        const std::uint32_t p = pixels[i];
        const std::uint32_t v = (((p >> 16) & 0xFF) << rs) | (((p >> 8) & 0xFF) << gs) | ((p & 0xFF) << bs);
        std::memcpy(out, &v, 4);
    }
}

void loadPixels(const PixelFormat& format, const std::uint8_t* in, int count, std::uint32_t* pixels) {
    for (int i = 0; i < count; ++i) {
        std::uint32_t v = 0;
        std::memcpy(&v, in + static_cast<std::size_t>(i) * format.bytesPerPixel, static_cast<std::size_t>(format.bytesPerPixel));
        pixels[i] = (widen(v, format.red) << 16) | (widen(v, format.green) << 8) | widen(v, format.blue);
    }
}

}  // namespace lv
