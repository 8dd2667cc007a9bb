// Bitmap: the one in-memory image type of the program.
//
// A Bitmap is a named rectangle of 8-bit (palette index) or 24-bit (bytes
// blue, green, red) pixels. Row 0 is the top row. All rows lie in one pixel
// block, row i at byte i * stride, with no padding between rows and 3 spare
// bytes after the last row so that kernels may read 4 bytes at the last pixel.
// Kernels walk rows through `rows`, never by multiplying.
//
// Every Bitmap that exists is listed in one process-wide registry, in creation
// order. Only registered Bitmaps are ever freed, so freeing a pointer twice,
// or one that never was a Bitmap, does nothing. The registry is not locked:
// Bitmaps are created and freed on the user-interface thread only.
//
// Ownership: whoever creates a Bitmap owns it until it frees it or hands it to
// a script object. BitmapPtr holds that ownership and frees on destruction;
// release() hands it on.
//
// Size limits: each side at most kMaxSide, and the pixel block at most
// kMaxPixelBytes, so no header or script can ask for more than that.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace lv {

// Palette entries are red first, the reverse of a 24-bit pixel's byte order.
struct PaletteEntry {
    std::uint8_t red = 0, green = 0, blue = 0, zero = 0;
    bool operator==(const PaletteEntry&) const = default;
};
using Palette = std::array<PaletteEntry, 256>;

const Palette& greyRamp();

class Bitmap {
public:
    static constexpr int kMaxSide = 65535;
    static constexpr std::size_t kMaxPixelBytes = std::size_t{1} << 30;
    static constexpr int kSpareBytes = 3;

    std::string name;
    std::vector<std::uint8_t*> rows;  // rows[i] points at the first byte of row i
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t depth = 0;   // 8 or 24
    std::int32_t stride = 0;  // width for 8 bits, 3 * width for 24 bits
    Palette palette{};        // meaningful for 8 bits only

    std::uint8_t* pixels() { return block_.get(); }
    const std::uint8_t* pixels() const { return block_.get(); }
    std::size_t pixelBytes() const { return static_cast<std::size_t>(height) * stride; }

    // The pixel block with its row pointers; replaces the current one.
    struct Storage {
        std::unique_ptr<std::uint8_t[]> block;
        std::vector<std::uint8_t*> rows;
    };
    static bool allocate(int width, int height, int depth, Storage& out, bool zeroed = true);
    void install(Storage&& storage, int width, int height);

private:
    std::unique_ptr<std::uint8_t[]> block_;
};

struct BitmapFreer {
    void operator()(Bitmap* bitmap) const;
};
using BitmapPtr = std::unique_ptr<Bitmap, BitmapFreer>;

// Null for a negative side, a side above kMaxSide, a depth other than 8 or 24,
// a block above kMaxPixelBytes, or an exhausted allocation. The pixels are
// zero; a new 8-bit Bitmap has the grey ramp, a 24-bit one an all-zero palette.
BitmapPtr createBitmap(std::string_view name, int width, int height, int depth);
// The same with the pixels left unwritten, for a decoder that fills every
// row before anyone reads it (and drops the Bitmap when it cannot): a large
// picture is not cleared only to be overwritten.
BitmapPtr createBitmapToFill(std::string_view name, int width, int height, int depth);

// Removes a registered Bitmap from the registry and releases it; ignores
// any other pointer (including null and already freed ones).
void freeBitmap(Bitmap* bitmap);

// Same name, size, depth and pixels. The palette is not copied: a copy of an
// 8-bit Bitmap has the grey ramp.
BitmapPtr copyBitmap(const Bitmap& source);

// Crops in place to the rectangle clamped to the image; 0 on success, -1 when
// nothing of it lies inside (the Bitmap is then unchanged) or memory ran out.
int cropBitmap(Bitmap& bitmap, int left, int top, int right, int bottom);

// A 24-bit Bitmap of the same name and size with each 8-bit pixel replaced by
// its palette colour; null for a Bitmap that is not 8-bit.
BitmapPtr expandTo24(const Bitmap& source);

// The registry, in creation order.
const std::vector<Bitmap*>& bitmapRegistry();
bool isRegisteredBitmap(const Bitmap* bitmap);

// Device-bitmap row alignment reported by the platform at start-up: true when
// rows of a 24-bit device bitmap are padded to 4 bytes (the usual case).
bool deviceRowsPadded();
void setDeviceRowsPadded(bool padded);

}  // namespace lv
