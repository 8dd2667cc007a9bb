#include "render/shape_geometry.h"


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

std::optional<PictureSize> scaledSize(int width, int height, std::optional<int> wantedWidth, std::optional<int> wantedHeight) {
    constexpr int kLongSide = 10000;
    if (wantedWidth && wantedHeight) return PictureSize{*wantedWidth, *wantedHeight};
    if (width < 1 || height < 1) return std::nullopt;
    const PictureSize picture{width, height};
    if (wantedHeight) return PictureSize{fitSize(picture, {kLongSide, *wantedHeight}).width, *wantedHeight};
    if (wantedWidth) return PictureSize{*wantedWidth, fitSize(picture, {*wantedWidth, kLongSide}).height};
    return std::nullopt;
}

}  // namespace lv
