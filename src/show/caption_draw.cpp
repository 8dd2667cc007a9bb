#include "show/caption_draw.h"

#include <algorithm>
#include <cstdint>

#include "render/bitmap_resize.h"
#include "render/image_ops.h"
#include "render/paint.h"
#include "render/text_mask.h"

namespace lv {

namespace {

FontDescription captionFont(const CaptionFont& font, int frameHeight) {
    FontDescription d;
    d.height = static_cast<int>(std::int64_t{font.height} * frameHeight / 20000);
    d.width = 0;
    d.weight = font.weight;
    d.italic = font.italic != 0;
    d.underline = font.underline != 0;
    d.strikeOut = font.strikeOut != 0;
    if (!font.face.empty()) d.face = font.face;
    return d;
}

}  // namespace

BitmapPtr outlineMask(const Bitmap& text) {
    BitmapPtr ring = createBitmap("outline", text.width + 2, text.height + 2, 8);
    if (!ring) return nullptr;
    for (int dy = 0; dy <= 2; ++dy)
        for (int dx = 0; dx <= 2; ++dx)
            if (dx != 1 || dy != 1) paintThroughMask(*ring, text, dx, dy, 0xFF, 255);
    return ring;
}

void drawCaption(Bitmap& frame, const ShowCaption& caption, FontRasteriser& fonts) {
    if (caption.text.empty() || frame.depth != 24) return;
    const FontDescription font = captionFont(caption.font, frame.height);
    if (font.height == 0) return;
    BitmapPtr text = renderTextMask(font, caption.text, true, fonts);
    if (!text) return;
    BitmapPtr ring = caption.outline ? outlineMask(*text) : nullptr;
    const Bitmap& letters = ring ? *ring : *text;  // what the shadow follows

    int boxWidth = letters.width, boxHeight = letters.height;
    const int margin = caption.shadow ? std::max(1, (boxHeight / 10 + 1) / 2) : 0;
    boxWidth += 2 * margin;
    boxHeight += 2 * margin;

    int left = static_cast<int>(std::int64_t{caption.anchorX} * frame.width / 10000);
    const int top = static_cast<int>(std::int64_t{caption.anchorY} * frame.height / 10000) - boxHeight / 2;
    if (caption.alignment == static_cast<std::int32_t>(CaptionAlign::Right)) left -= boxWidth;
    else if (caption.alignment == static_cast<std::int32_t>(CaptionAlign::Centre)) left -= boxWidth / 2;

    if (caption.shadow) {
        BitmapPtr grown = createBitmap("shadow", boxWidth, boxHeight, 8);
        if (grown) {
            paintThroughMask(*grown, letters, margin, margin, 0xFF, 255);
            const int radius = std::min(margin, 3);
            // The blur pads by its radius; the padding goes up and left so
            // the shadow stays where the grown box put it.
            if (BitmapPtr soft = blurBitmap(*grown, radius))
                paintThroughMask(frame, *soft, left - radius, top - radius, 0, caption.shadowOpacity);
        }
    }
    if (ring) paintThroughMask(frame, *ring, left, top, caption.outlineColour, caption.textOpacity);
    const int inset = ring ? 1 : 0;
    paintThroughMask(frame, *text, left + inset, top + inset, caption.textColour, caption.textOpacity);
}

BannerBand bannerBand(int width, int height, bool middle) {
    BannerBand b{};
    b.boxLeft = width / 10;
    b.boxRight = 9 * width / 10;
    b.boxTop = middle ? height * 19 / 40 : height * 34 / 40;
    b.boxBottom = middle ? height * 21 / 40 : height * 36 / 40;
    b.bandTop = b.boxTop - height / 40;
    b.bandBottom = b.boxBottom + height / 40;
    return b;
}

void drawBanner(Bitmap& frame, std::string_view text, bool middle, FontRasteriser& fonts) {
    if (frame.depth != 24) return;
    const BannerBand b = bannerBand(frame.width, frame.height, middle);
    Paint band;
    band.colour = kBannerBandColour;
    band.opacity = kBannerBandOpacity;
    Paint nothing;
    nothing.opacity = 0;
    paintShape(frame, Shape{0, b.bandTop, frame.width, b.bandBottom}, band, nothing);

    const int boxWidth = b.boxRight - b.boxLeft, boxHeight = b.boxBottom - b.boxTop;
    if (text.empty() || boxWidth < 1 || boxHeight < 1) return;
    FontDescription font;
    font.face = "Arial";
    font.weight = 700;
    font.height = (b.boxTop - b.boxBottom) * 2;  // negative: a character height
    BitmapPtr mask = renderTextMask(font, text, false, fonts);
    if (!mask) return;
    BitmapPtr fitted = resizeBitmap(*mask, boxWidth, boxHeight);
    if (fitted) paintThroughMask(frame, *fitted, b.boxLeft, b.boxTop, kBannerTextColour, 255);
}

}  // namespace lv
