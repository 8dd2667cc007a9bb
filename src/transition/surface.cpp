#include "transition/surface.h"

#include <algorithm>

#include "render/bitmap.h"

namespace lv {

namespace {
constexpr std::int64_t kMaxPixels = std::int64_t{1} << 28;
}

SurfacePtr createSurface(std::int32_t width, std::int32_t height) {
    if (width <= 0 || height <= 0 || width > 65535 || height > 65535) return nullptr;
    if (std::int64_t{width} * height > kMaxPixels) return nullptr;
    auto surface = std::make_unique<Surface>();
    surface->width = width;
    surface->height = height;
    surface->stride = width;
    surface->pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    surface->picture = Rect{0, 0, width, height};
    return surface;
}

SurfacePtr surfaceFromBitmap(const Bitmap& bitmap, std::int32_t width, std::int32_t height, std::int32_t left,
                             std::int32_t top) {
    if (bitmap.depth != 8 && bitmap.depth != 24) return nullptr;
    SurfacePtr surface = createSurface(width, height);
    if (!surface) return nullptr;
    surface->picture = Rect{left, top, bitmap.width, bitmap.height};
    const Rect part = intersect(surface->picture, Rect{0, 0, width, height});
    for (std::int32_t y = part.top; y < part.bottom(); ++y) {
        const std::uint8_t* in = bitmap.rows[static_cast<std::size_t>(y - top)];
        std::uint32_t* out = surface->row(y);
        for (std::int32_t x = part.left; x < part.right(); ++x) {
            const std::int32_t bx = x - left;
            if (bitmap.depth == 24) {
                const std::uint8_t* p = in + static_cast<std::size_t>(bx) * 3;
                out[x] = static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
                         (static_cast<std::uint32_t>(p[2]) << 16);
            } else {
                const PaletteEntry& e = bitmap.palette[in[bx]];
                out[x] = static_cast<std::uint32_t>(e.blue) | (static_cast<std::uint32_t>(e.green) << 8) |
                         (static_cast<std::uint32_t>(e.red) << 16);
            }
        }
    }
    return surface;
}

CommonSize commonSize(std::int32_t width1, std::int32_t height1, std::int32_t width2, std::int32_t height2) {
    CommonSize size;
    size.width = std::max(width1, width2);
    size.height = std::max(height1, height2);
    size.firstLeft = (size.width - width1) / 2;
    size.firstTop = (size.height - height1) / 2;
    size.secondLeft = (size.width - width2) / 2;
    size.secondTop = (size.height - height2) / 2;
    return size;
}

}  // namespace lv
