#include "show/cell_render.h"

#include <algorithm>
#include <cstring>

#include "codec/jpeg.h"
#include "render/bitmap_resize.h"
#include "render/image_ops.h"
#include "render/paint.h"
#include "shell/file_services.h"
#include "show/caption_draw.h"
#include "show/cell_geometry.h"
#include "show/tint.h"

namespace lv {

namespace {

constexpr int kToneScale = 1000;

BitmapPtr solidPicture(int width, int height, std::uint32_t colour) {
    BitmapPtr b = createBitmap("cell", width, height, 24);
    if (!b) return nullptr;
    const std::uint8_t px[3] = {static_cast<std::uint8_t>(colour >> 16), static_cast<std::uint8_t>(colour >> 8),
                                static_cast<std::uint8_t>(colour)};
    if (colour & 0xFFFFFF) {
        std::uint8_t* row0 = b->rows[0];
        for (int x = 0; x < width; ++x) std::memcpy(row0 + 3 * x, px, 3);
        for (int y = 1; y < height; ++y) std::memcpy(b->rows[static_cast<std::size_t>(y)], row0, b->stride);
    }
    return b;
}

bool toneWanted(const ShowCell& c, bool includeExtra) {
    return c.brightness || c.blackPoint || c.whitePoint || (includeExtra && c.toneExtra);
}

void applyToneAndTint(Bitmap& picture, const ShowCell& cell, bool includeExtra) {
    if (cell.tint) tintBitmap(picture, cell.tintColour);
    if (toneWanted(cell, includeExtra))
        adjustBitmap(picture, cell.brightness * 255 / kToneScale, 0, cell.blackPoint * 255 / kToneScale,
                     cell.whitePoint * 255 / kToneScale);
}

// 24 bits, turned and mirrored as the cell says.
BitmapPtr orientPicture(BitmapPtr picture, const ShowCell& cell) {
    if (picture->depth != 24) {
        picture = expandTo24(*picture);
        if (!picture) return nullptr;
    }
    if (cell.rotation == 90 || cell.rotation == 180 || cell.rotation == 270) {
        if (BitmapPtr turned = rotateBitmap(*picture, cell.rotation)) picture = std::move(turned);
    }
    if (cell.mirrorLeftRight || cell.mirrorTopBottom) {
        if (BitmapPtr flipped = flipBitmap(*picture, cell.mirrorLeftRight != 0, cell.mirrorTopBottom != 0))
            picture = std::move(flipped);
    }
    return picture;
}

// Draws the prepared picture at (left, top) with the opacity. Opaque rows
// are copied: the painter would store the same bytes.
void drawPicture(Bitmap& frame, const Bitmap& picture, int left, int top, int opacity) {
    if (opacity >= 255) {
        const int x0 = std::max(left, 0), x1 = std::min(left + picture.width, frame.width);
        const int y0 = std::max(top, 0), y1 = std::min(top + picture.height, frame.height);
        for (int y = y0; y < y1; ++y)
            if (x1 > x0)
                std::memcpy(frame.rows[static_cast<std::size_t>(y)] + 3 * x0,
                            picture.rows[static_cast<std::size_t>(y - top)] + 3 * (x0 - left),
                            static_cast<std::size_t>(x1 - x0) * 3);
        return;
    }
    Paint image;
    image.pattern = &picture;
    image.patternX = left;
    image.patternY = top;
    image.opacity = opacity;
    Paint nothing;
    nothing.opacity = 0;
    paintShape(frame, Shape{left, top, left + picture.width, top + picture.height}, image, nothing);
}

}  // namespace

BitmapPtr decodeCellPicture(const std::string& fileName) {
    if (fileName.empty()) return nullptr;
    const StreamPtr stream = openWithPackedFiles(fileName, OpenMode::kRead);
    if (!stream) return nullptr;
    return codec::decodeJpeg(*stream, 0, 0);
}

std::uint32_t cellBackground(const Show& show, const ShowCell& cell) {
    if (!cell.background) return 0;
    return cell.useShowBackground ? show.backgroundColour : cell.backgroundColour;
}

BitmapPtr CellRenderer::renderPicture(const Show& show, const ShowCell& cell, int width, int height) const {
    BitmapPtr frame = solidPicture(width, height, cellBackground(show, cell));
    if (!frame || !cell.hasImage) return frame;
    BitmapPtr picture = pictures_ ? pictures_(cell.imageFile) : nullptr;
    if (!picture) return frame;  // unreadable: the background alone
    picture = orientPicture(std::move(picture), cell);
    if (!picture) return frame;

    const CellPlacement place = placeCellPicture({picture->width, picture->height}, {width, height}, cell);
    if (!place.visible) return frame;
    const IntRect& s = place.source;
    if (s.left != 0 || s.top != 0 || s.right != picture->width || s.bottom != picture->height) {
        if (cropBitmap(*picture, s.left, s.top, s.right, s.bottom) != 0) return frame;
    }
    const bool enlarging = std::int64_t{picture->width} * picture->height <
                           std::int64_t{place.drawWidth} * place.drawHeight;
    if (enlarging) applyToneAndTint(*picture, cell, false);
    if (picture->width != place.drawWidth || picture->height != place.drawHeight) {
        BitmapPtr sized = resizeBitmap(*picture, place.drawWidth, place.drawHeight);
        if (!sized) return frame;
        picture = std::move(sized);
    }
    if (!enlarging) applyToneAndTint(*picture, cell, true);
    drawPicture(*frame, *picture, place.left, place.top, std::clamp(cell.imageOpacity, 0, 255));
    return frame;
}

BitmapPtr CellRenderer::render(const Show& show, int position, int width, int height,
                               const CellRenderOptions& options) const {
    if (position < 0 || static_cast<std::size_t>(position) >= show.cells.size() || width < 1 || height < 1)
        return solidPicture(4, 3, 0);
    const ShowCell& cell = show.cells[static_cast<std::size_t>(position)];
    BitmapPtr frame = renderPicture(show, cell, width, height);
    if (!frame) return nullptr;
    for (const ShowCaption& caption : cell.captions) drawCaption(*frame, caption, fonts());
    if (options.bannerAllowed && show.banner && !options.screenSaverPreview)
        drawBanner(*frame, show.bannerText, show.bannerMiddle != 0, fonts());
    return frame;
}

}  // namespace lv
