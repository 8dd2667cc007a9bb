#include "render/shape_geometry.h"

#include <cstdint>

namespace lv {

IntRect shapeRectangle(int pictureWidth, int pictureHeight, const EdgeProperties& p) {
    IntRect r{0, 0, pictureWidth, pictureHeight};
    std::optional<int> left = p.left, top = p.top, right = p.right, bottom = p.bottom;
    if (p.width) {
        if (left)
            right = *left + *p.width;
        else if (right)
            left = *right - *p.width;
    }
    if (p.height) {
        if (top)
            bottom = *top + *p.height;
        else if (bottom)
            top = *bottom - *p.height;
    }
    if (left) r.left = *left;
    if (top) r.top = *top;
    if (right) r.right = *right;
    if (bottom) r.bottom = *bottom;
    if (p.width) r.right = r.left + *p.width;
    if (p.height) r.bottom = r.top + *p.height;
    return r;
}

Size fitInto(int width, int height, int boxWidth, int boxHeight) {
    if (width <= 0 || height <= 0) return Size{};
    const std::int64_t w = width, h = height;
    std::int64_t q = (std::int64_t{boxWidth} * 65536 + w / 2) / w;
    const std::int64_t fittedHeight = (q * h + 32768) / 65536;
    if (fittedHeight <= boxHeight) return Size{boxWidth, static_cast<int>(fittedHeight)};
    q = (std::int64_t{boxHeight} * 65536 + h / 2) / h;
    return Size{static_cast<int>((q * w + 32768) / 65536), boxHeight};
}

std::optional<Size> scaledSize(int width, int height, std::optional<int> wantedWidth, std::optional<int> wantedHeight) {
    constexpr int kLongSide = 10000;
    if (wantedWidth && wantedHeight) return Size{*wantedWidth, *wantedHeight};
    if (wantedHeight) return Size{fitInto(width, height, kLongSide, *wantedHeight).width, *wantedHeight};
    if (wantedWidth) return Size{*wantedWidth, fitInto(width, height, *wantedWidth, kLongSide).height};
    return std::nullopt;
}

}  // namespace lv
