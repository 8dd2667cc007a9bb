#include "show/cell_geometry.h"

#include <algorithm>
#include <cstdint>

namespace lv {

namespace {

// One axis of the source rectangle, in picture pixels, and its drawing length.
struct Span {
    std::int64_t start = 0;
    std::int64_t length = 0;
    std::int64_t drawLength = 0;
};

struct Chosen {
    Span x, y;
};

Span centred(std::int64_t length, std::int64_t pictureLength, std::int64_t drawLength) {
    return Span{(pictureLength - length) / 2, length, drawLength};
}

Chosen choosePart(PictureSize p, PictureSize f, std::int32_t fitMode) {
    const std::int64_t w = p.width, h = p.height, W = f.width, H = f.height;
    switch (fitMode) {
    case 0:  // natural size
        return {centred(W, w, W), centred(H, h, H)};
    case 1: {  // fit inside: the frame's proportions around the whole picture
        std::int64_t sw = w, sh = h;
        if (H * w <= W * h) sw = std::max<std::int64_t>(1, W * h / H);  // H/h <= W/w
        else sh = std::max<std::int64_t>(1, H * w / W);
        const PictureSize draw = fitSize({static_cast<int>(sw), static_cast<int>(sh)}, f);
        return {centred(sw, w, draw.width), centred(sh, h, draw.height)};
    }
    case 2: {  // fill: the frame's proportions inside the picture
        const PictureSize part = fitSize(f, p);
        return {centred(std::max(1, part.width), w, W), centred(std::max(1, part.height), h, H)};
    }
    default:  // stretch
        return {Span{0, w, W}, Span{0, h, H}};
    }
}

// Zoom about the centre: each half-extent divided by zoom / 10000.
void zoomSpan(Span& s, std::int32_t zoom) {
    const std::int64_t centreTwice = 2 * s.start + s.length;
    s.length = std::max<std::int64_t>(1, s.length * 10000 / zoom);
    s.start = (centreTwice - s.length) / 2;
}

// Clips the span to the picture; the drawing loses the cut parts, scaled to
// drawing pixels, and moves by half their difference. False when nothing is left.
bool clipSpan(Span& s, std::int64_t pictureLength, int& shift) {
    const std::int64_t cutLow = std::max<std::int64_t>(0, -s.start);
    const std::int64_t cutHigh = std::max<std::int64_t>(0, s.start + s.length - pictureLength);
    if (cutLow + cutHigh >= s.length) return false;
    const std::int64_t drawLow = cutLow * s.drawLength / s.length;
    const std::int64_t drawHigh = cutHigh * s.drawLength / s.length;
    s.drawLength = std::max<std::int64_t>(1, s.drawLength - drawLow - drawHigh);
    shift = static_cast<int>((drawLow - drawHigh) / 2);
    s.start += cutLow;
    s.length -= cutLow + cutHigh;
    return true;
}

}  // namespace

CellPlacement placeCellPicture(PictureSize picture, PictureSize frame, const ShowCell& cell) {
    CellPlacement out;
    if (picture.width < 1 || picture.height < 1 || frame.width < 1 || frame.height < 1) return out;
    Chosen c = choosePart(picture, frame, cell.fitMode);
    // A zoom of 0 or below would divide by nothing or turn the picture inside out.
    if (cell.zoom > 0 && cell.zoom != 10000) {
        zoomSpan(c.x, cell.zoom);
        zoomSpan(c.y, cell.zoom);
    }
    c.x.start -= c.x.length * cell.panX / 10000;
    c.y.start -= c.y.length * cell.panY / 10000;
    int shiftX = 0, shiftY = 0;
    if (!clipSpan(c.x, picture.width, shiftX) || !clipSpan(c.y, picture.height, shiftY)) return out;
    out.visible = true;
    out.source = IntRect{static_cast<int>(c.x.start), static_cast<int>(c.y.start),
                         static_cast<int>(c.x.start + c.x.length), static_cast<int>(c.y.start + c.y.length)};
    out.drawWidth = static_cast<int>(std::min<std::int64_t>(c.x.drawLength, Bitmap::kMaxSide));
    out.drawHeight = static_cast<int>(std::min<std::int64_t>(c.y.drawLength, Bitmap::kMaxSide));
    out.left = (frame.width - out.drawWidth) / 2 + shiftX;
    out.top = (frame.height - out.drawHeight) / 2 + shiftY;
    return out;
}

}  // namespace lv
