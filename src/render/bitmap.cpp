#include "render/bitmap.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace lv {

namespace {

std::vector<Bitmap*>& registry() {
    static std::vector<Bitmap*> bitmaps;
    return bitmaps;
}

bool deviceRowsPaddedFlag = true;

int strideFor(int width, int depth) { return depth == 24 ? 3 * width : width; }

bool validShape(int width, int height, int depth) {
    if (width < 0 || height < 0 || width > Bitmap::kMaxSide || height > Bitmap::kMaxSide) return false;
    if (depth != 8 && depth != 24) return false;
    const std::size_t bytes = static_cast<std::size_t>(strideFor(width, depth)) * static_cast<std::size_t>(height);
    return bytes <= Bitmap::kMaxPixelBytes;
}

}  // namespace

const Palette& greyRamp() {
    static const Palette ramp = [] {
        Palette p{};
        for (int i = 0; i < 256; ++i) {
            const auto v = static_cast<std::uint8_t>(i);
            p[i] = PaletteEntry{v, v, v, 0};
        }
        return p;
    }();
    return ramp;
}

bool Bitmap::allocate(int width, int height, int depth, Storage& out, bool zeroed) {
    if (!validShape(width, height, depth)) return false;
    const std::size_t stride = static_cast<std::size_t>(strideFor(width, depth));
    const std::size_t bytes = stride * static_cast<std::size_t>(height) + kSpareBytes;
    try {
        out.block.reset(zeroed ? new (std::nothrow) std::uint8_t[bytes]() : new (std::nothrow) std::uint8_t[bytes]);
        if (!out.block) return false;
        if (!zeroed) std::memset(out.block.get() + bytes - kSpareBytes, 0, kSpareBytes);  // kernels read past the end
        out.rows.resize(static_cast<std::size_t>(height));
    } catch (const std::bad_alloc&) {
        out.block.reset();
        return false;
    }
    for (std::size_t i = 0; i < out.rows.size(); ++i) out.rows[i] = out.block.get() + i * stride;
    return true;
}

void Bitmap::install(Storage&& storage, int newWidth, int newHeight) {
    block_ = std::move(storage.block);
    rows = std::move(storage.rows);
    width = newWidth;
    height = newHeight;
    stride = strideFor(newWidth, depth);
}

void BitmapFreer::operator()(Bitmap* bitmap) const { freeBitmap(bitmap); }

namespace {

BitmapPtr newBitmap(std::string_view name, int width, int height, int depth, bool zeroed) {
    Bitmap::Storage storage;
    if (!Bitmap::allocate(width, height, depth, storage, zeroed)) return nullptr;
    try {
        auto bitmap = std::make_unique<Bitmap>();
        bitmap->name = std::string(name);
        bitmap->depth = depth;
        bitmap->install(std::move(storage), width, height);
        if (depth == 8) bitmap->palette = greyRamp();
        registry().push_back(bitmap.get());
        return BitmapPtr(bitmap.release());
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

}  // namespace

BitmapPtr createBitmap(std::string_view name, int width, int height, int depth) {
    return newBitmap(name, width, height, depth, true);
}

BitmapPtr createBitmapToFill(std::string_view name, int width, int height, int depth) {
    return newBitmap(name, width, height, depth, false);
}

void freeBitmap(Bitmap* bitmap) {
    auto& bitmaps = registry();
    const auto it = std::find(bitmaps.begin(), bitmaps.end(), bitmap);
    if (it == bitmaps.end()) return;
    bitmaps.erase(it);
    delete bitmap;
}

BitmapPtr copyBitmap(const Bitmap& source) {
    BitmapPtr copy = createBitmap(source.name, source.width, source.height, source.depth);
    if (!copy) return nullptr;
    for (int y = 0; y < source.height; ++y) std::memcpy(copy->rows[y], source.rows[y], source.stride);
    return copy;
}

int cropBitmap(Bitmap& bitmap, int left, int top, int right, int bottom) {
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, bitmap.width);
    bottom = std::min(bottom, bitmap.height);
    if (left >= right || top >= bottom) return -1;

    const int newWidth = right - left;
    const int newHeight = bottom - top;
    Bitmap::Storage storage;
    if (!Bitmap::allocate(newWidth, newHeight, bitmap.depth, storage)) return -1;
    const int bytesPerPixel = bitmap.depth / 8;
    const std::size_t rowBytes = static_cast<std::size_t>(newWidth) * bytesPerPixel;
    for (int y = 0; y < newHeight; ++y)
        std::memcpy(storage.rows[y], bitmap.rows[top + y] + static_cast<std::size_t>(left) * bytesPerPixel, rowBytes);
    bitmap.install(std::move(storage), newWidth, newHeight);
    return 0;
}

BitmapPtr expandTo24(const Bitmap& source) {
    if (source.depth != 8) return nullptr;
    BitmapPtr result = createBitmap(source.name, source.width, source.height, 24);
    if (!result) return nullptr;
    for (int y = 0; y < source.height; ++y) {
        const std::uint8_t* in = source.rows[y];
        std::uint8_t* out = result->rows[y];
        for (int x = 0; x < source.width; ++x, out += 3) {
            const PaletteEntry& colour = source.palette[in[x]];
            out[0] = colour.blue;
            out[1] = colour.green;
            out[2] = colour.red;
        }
    }
    return result;
}

const std::vector<Bitmap*>& bitmapRegistry() { return registry(); }

bool isRegisteredBitmap(const Bitmap* bitmap) {
    const auto& bitmaps = registry();
    return std::find(bitmaps.begin(), bitmaps.end(), bitmap) != bitmaps.end();
}

bool deviceRowsPadded() { return deviceRowsPaddedFlag; }
void setDeviceRowsPadded(bool padded) { deviceRowsPaddedFlag = padded; }

}  // namespace lv
